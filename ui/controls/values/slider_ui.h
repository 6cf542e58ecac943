// The control of the markup tag "Slider": a progress bar with a thumb that
// the mouse drags. A press moves the thumb, the release (and with "imm"
// every move of the drag) and each wheel step send "valuechanged".
#pragma once
#include "common/win.h"
#include "ui/controls/values/progress_ui.h"
#include "ui/core/render/image_draw_info_ui.h"
#include "ui/core/values/wide_string.h"

#include <cstdint>

namespace QuillUI {

class CSliderUI : public CProgressUI {
public:
    CSliderUI();
    ~CSliderUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    // Tab stop and its own cursor while enabled.
    UINT GetControlFlags() const override;
    // Disabling clears the state word.
    void SetEnabled(bool enabled = true) override;
    void DoEvent(ControlEventUI& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // The progress bar, then the thumb in its state's image.
    void PaintStatusImage(HDC dc) override;

    // The thumb's rectangle in window client coordinates.
    RECT GetThumbRect() const;
    void SetThumbSize(int width, int height);
    int GetStep() const { return step_; }
    void SetStep(int step) { step_ = step; }
    // "valuechanged" on every move of a drag, not only at its release.
    bool IsImmediate() const { return immediate_; }
    void SetImmediate(bool immediate) { immediate_ = immediate; }
    CWideString GetThumbImage() const { return thumbImage_.GetDescription(); }
    void SetThumbImage(const wchar_t* description);
    CWideString GetThumbHotImage() const { return thumbHotImage_.GetDescription(); }
    void SetThumbHotImage(const wchar_t* description);
    CWideString GetThumbPushedImage() const { return thumbPushedImage_.GetDescription(); }
    void SetThumbPushedImage(const wchar_t* description);

    // ControlStateUI bits: only hot and captured.
    UINT GetState() const { return state_; }

protected:
    // The value under a mouse point: the ends within half a thumb of the
    // track's ends, proportional in between.
    int ValueFromPoint(POINT point) const;
    // Steps the value by the wheel and tells.
    void StepBy(int64_t delta);
    // One thumb image at the thumb (relative to the control); false when it
    // does not draw.
    bool DrawThumb(HDC dc, CImageSlotUI& image, const RECT& thumb);

    int thumbWidth_ = 10;
    int thumbHeight_ = 10;
    UINT state_ = 0;
    int step_ = 1;
    bool immediate_ = false;
    CImageSlotUI thumbImage_;
    CImageSlotUI thumbHotImage_;
    CImageSlotUI thumbPushedImage_;
};

}  // namespace QuillUI
