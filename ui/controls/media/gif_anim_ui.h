// The control of the markup tag "GifAnim": an animated GIF read from the skin
// (its zip or its folder) or from a plain path, decoded with GDI+, and played
// on one control timer that is re-armed with each frame's own delay. It
// paints nothing but the current frame.
#pragma once
#include "common/win.h"
#include "ui/controls/media/gif_frames_ui.h"
#include "ui/controls/text/gdiplus_starter_ui.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/values/wide_string.h"

namespace QuillUI {

class CGifAnimUI : public CControlUI {
public:
    static const UINT kTimerId = 100;

    CGifAnimUI();
    ~CGifAnimUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    // Showing starts the animation, hiding stops it at frame 0.
    void SetVisible(bool visible = true) override;
    void DoInit() override;
    // Only the frame timer; every other event is ignored.
    void DoEvent(ControlEventUI& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // Loads the file first when nothing is loaded yet.
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;

    // A file name, not an image description: an item of the skin zip, a
    // file of the resource folder, or else a path. A new name stops and
    // drops the animation; the next paint loads it.
    void SetBkImage(const wchar_t* name);
    CWideString GetBkImage() const { return fileName_; }
    void SetAutoPlay(bool autoPlay) { autoPlay_ = autoPlay; }
    bool IsAutoPlay() const { return autoPlay_; }
    // Loading gives the control the image's size as its fixed size.
    void SetAutoSize(bool autoSize) { autoSize_ = autoSize; }
    bool IsAutoSize() const { return autoSize_; }

    // Plays only an image with frames and a frame-delay block, in a window.
    void StartAnimation();
    void StopAnimation();
    bool IsPlaying() const { return playing_; }
    bool HasImage() const { return frames_.IsLoaded(); }
    UINT GetFrameCount() const { return frames_.GetFrameCount(); }
    UINT GetCurrentFrame() const { return currentFrame_; }
    // How long the frame stays, in milliseconds: its delay, or 100 for a
    // delay of 0 or a frame without one.
    UINT GetFrameInterval(UINT frame) const;

private:
    void LoadAnimation();
    void FreeAnimation();
    void StepFrame();

    // First in and last out: the image goes before GDI+ may shut down.
    CGdiplusStarterUI gdiplus_;
    CGifFramesUI frames_;
    UINT currentFrame_ = 0;
    CWideString fileName_;
    bool autoPlay_ = true;
    bool autoSize_ = false;
    bool playing_ = false;
};

}  // namespace QuillUI
