// The separator strip of a stacking layout and its drag. In immediate mode
// the layout resizes with every move; in preview mode only a translucent
// strip moves, and the new size is committed when the button goes up.
#include "ui/controls/containers/stack_layout_ui.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <cstdlib>
#include <cwchar>

namespace QuillUI {

CStackLayoutUI::CStackLayoutUI(bool horizontal) : horizontal_(horizontal) {}

CStackLayoutUI::~CStackLayoutUI() = default;

void* CStackLayoutUI::GetInterface(const wchar_t* name) {
    // The layout's own name, also for classes that derive from it.
    if (name != nullptr && wcscmp(name, horizontal_ ? L"HorizontalLayout" : L"VerticalLayout") == 0) return this;
    return CContainerUI::GetInterface(name);
}

void CStackLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    if (wcscmp(name, horizontal_ ? L"sepwidth" : L"sepheight") == 0) {
        SetSeparatorSize(_wtoi(value));
    } else if (wcscmp(name, L"sepimm") == 0) {
        SetSepImmMode(IsTrueValue(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

UINT CStackLayoutUI::GetControlFlags() const {
    return IsEnabled() && separator_ != 0 ? ControlFlagSetCursor : 0;
}

void CStackLayoutUI::SetSepImmMode(bool immediate) {
    if (immediate_ == immediate) return;
    if (IsDragging() && !immediate_ && manager_ != nullptr) manager_->RemovePostPaint(this);
    immediate_ = immediate;
}

RECT CStackLayoutUI::GetThumbRect(bool useNew) const {
    const RECT r = useNew && IsDragging() ? newPos_ : itemRect_;
    const int s = separator_;
    if (horizontal_) {
        if (s < 0) return RECT{r.left, r.top, r.left - s, r.bottom};
        return RECT{r.right - s, r.top, r.right, r.bottom};
    }
    if (s < 0) return RECT{r.left, r.top, r.right, std::min<LONG>(r.top - s, r.bottom)};
    return RECT{r.left, std::max<LONG>(r.bottom - s, r.top), r.right, r.bottom};
}

bool CStackLayoutUI::DoPostPaint(HDC dc, const RECT& paint) {
    if (IsDragging() && !immediate_) {
        CRendererUI::DrawColor(dc, GetThumbRect(true), kPreviewColor);
        return true;
    }
    return CContainerUI::DoPostPaint(dc, paint);
}

void CStackLayoutUI::SetFixedMain(int size) {
    if (horizontal_) {
        SetFixedWidth(size);
    } else {
        SetFixedHeight(size);
    }
}

bool CStackLayoutUI::DragTo(POINT point) {
    const int delta = horizontal_ ? point.x - lastMouse_.x : point.y - lastMouse_.y;
    lastMouse_ = point;
    const int along = horizontal_ ? point.x : point.y;
    const int thickness = std::abs(separator_);
    CRectUI rc = newPos_;
    LONG& low = horizontal_ ? rc.left : rc.top;
    LONG& high = horizontal_ ? rc.right : rc.bottom;
    // The strip of the new position; a move away from the pointer's side of
    // it is ignored, so the edge waits for a pointer that ran past it.
    const int stripLow = separator_ < 0 ? low : high - thickness;
    const int stripHigh = separator_ < 0 ? low + thickness : high;
    if (delta > 0 && along < stripLow) return false;
    if (delta < 0 && along >= stripHigh) return false;
    LONG& moving = separator_ < 0 ? low : high;
    moving += delta;

    const int oldSize = horizontal_ ? newPos_.GetWidth() : newPos_.GetHeight();
    const int minimum = horizontal_ ? GetMinWidth() : GetMinHeight();
    const int maximum = horizontal_ ? GetMaxWidth() : GetMaxHeight();
    const int size = high - low;
    auto setSize = [&](int wanted) {
        if (separator_ < 0) {
            low = high - wanted;
        } else {
            high = low + wanted;
        }
    };
    if (size <= minimum) {
        if (oldSize <= minimum) return false;
        setSize(minimum);
    } else if (size >= maximum) {
        if (oldSize >= maximum) return false;
        setSize(maximum);
    }

    CRectUI invalid = GetThumbRect(true);
    newPos_ = rc;
    if (immediate_) {
        SetFixedMain(high - low);
        itemRect_ = newPos_;
        NeedParentUpdate();
    } else {
        invalid.Join(GetThumbRect(true));
        invalid.Join(GetThumbRect(false));
        if (manager_ != nullptr) manager_->Invalidate(invalid);
    }
    return true;
}

void CStackLayoutUI::DoEvent(ControlEventUI& event) {
    if (separator_ == 0) {
        CContainerUI::DoEvent(event);
        return;
    }
    switch (event.kind) {
        case EventButtonDown:
            if (IsEnabled()) {
                const RECT thumb = GetThumbRect(false);
                if (::PtInRect(&thumb, event.mousePoint)) {
                    separatorState_ |= kCaptured;
                    lastMouse_ = event.mousePoint;
                    newPos_ = itemRect_;
                    if (!immediate_ && manager_ != nullptr) manager_->AddPostPaint(this);
                    return;
                }
            }
            break;
        case EventButtonUp:
            if (IsDragging()) {
                separatorState_ &= ~kCaptured;
                // The parent's next layout pass uses the committed size; a
                // press without a move leaves a flexible layout flexible.
                const int newSize = horizontal_ ? newPos_.GetWidth() : newPos_.GetHeight();
                const int oldSize = horizontal_ ? GetWidth() : GetHeight();
                if (!immediate_ && newSize != oldSize) SetFixedMain(newSize);
                itemRect_ = newPos_;
                if (!immediate_ && manager_ != nullptr) manager_->RemovePostPaint(this);
                NeedParentUpdate();
                return;
            }
            break;
        case EventMouseMove:
            if (IsDragging()) {
                DragTo(event.mousePoint);
                return;
            }
            break;
        case EventSetCursor:
            if (IsEnabled()) {
                const RECT thumb = GetThumbRect(false);
                if (::PtInRect(&thumb, event.mousePoint)) {
                    ::SetCursor(::LoadCursorW(nullptr, horizontal_ ? IDC_SIZEWE : IDC_SIZENS));
                    return;
                }
            }
            break;
        default:
            break;
    }
    CContainerUI::DoEvent(event);
}

}  // namespace QuillUI
