// One image attribute of a control. Most of them are never given, so a slot
// costs one pointer until a description arrives; an unset slot draws
// nothing, as an empty description does.
#pragma once
#include "ui/core/render/image_draw_info_ui.h"
#include "ui/core/values/wide_string.h"

#include <cstdint>
#include <memory>

namespace QuillUI {

class CImageSlotUI {
public:
    CImageSlotUI() = default;
    CImageSlotUI(const CImageSlotUI&) = delete;
    CImageSlotUI& operator=(const CImageSlotUI&) = delete;

    // Null while no description is held.
    ImageDrawInfoUI* Get() const { return info_.get(); }
    bool IsEmpty() const { return !info_ || info_->drawString.IsEmpty(); }
    // The description as written; empty when none.
    CWideString GetDescription() const { return info_ ? info_->drawString : CWideString(); }
    // The loaded image, null before the first draw or when none loads.
    ImageInfoUI* GetImage() const { return info_ ? info_->image : nullptr; }
    // The rule of every image setter: a description equal to the current one
    // whose image is loaded changes nothing; any other replaces it, to be
    // loaded at the next draw, and an empty one (or null) frees the record.
    // False when nothing changed; true also when no memory was left for the
    // description, which then reads as empty.
    bool Change(const wchar_t* description);
    void Reset() { info_.reset(); }
    // Drawing settings of a set slot; an unset one has nothing to draw.
    void SetFade(uint8_t fade) {
        if (info_) info_->fade = fade;
    }
    void SetDest(const CRectUI& dest) {
        if (info_) info_->dest = dest;
    }

private:
    std::unique_ptr<ImageDrawInfoUI> info_;
};

}  // namespace QuillUI
