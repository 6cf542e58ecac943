// The control of the markup tag "Progress": a label that shows a value
// between a minimum and a maximum as the visible part of its fore image,
// from the left or, when vertical, from the bottom. Its text is drawn over
// the image.
#pragma once
#include "common/win.h"
#include "ui/controls/text/label_ui.h"
#include "ui/core/render/image_draw_info_ui.h"
#include "ui/core/values/wide_string.h"

#include <cstdint>

namespace QuillUI {

class CProgressUI : public CLabelUI {
public:
    CProgressUI();
    ~CProgressUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // Repairs an empty range (maximum = minimum + 1) and a value outside it,
    // then draws the fore image up to the value.
    void PaintStatusImage(HDC dc) override;

    bool IsHorizontal() const { return horizontal_; }
    void SetHorizontal(bool horizontal = true);
    // The value is left as it is; the next paint brings it into the range.
    int GetMin() const { return min_; }
    void SetMin(int min);
    int GetMax() const { return max_; }
    void SetMax(int max);
    int GetValue() const { return value_; }
    // Limited to the maximum first, then to the minimum.
    void SetValue(int value);
    CWideString GetForeImage() const { return foreImage_.GetDescription(); }
    void SetForeImage(const wchar_t* description);

protected:
    // Maximum - minimum, or 1 for a range that is empty or reversed, so
    // that the formulas never divide by zero.
    int64_t GetSpan() const;

    bool horizontal_ = true;
    int max_ = 100;
    int min_ = 0;
    int value_ = 0;
    CImageSlotUI foreImage_;
};

}  // namespace QuillUI
