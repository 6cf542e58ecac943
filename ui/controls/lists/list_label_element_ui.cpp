#include "ui/controls/lists/list_label_element_ui.h"

#include "ui/controls/text/text_extent_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/render/renderer_ui.h"

#include <cwchar>

namespace QuillUI {

namespace {

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

CListLabelElementUI::CListLabelElementUI() = default;

CListLabelElementUI::~CListLabelElementUI() = default;

const wchar_t* CListLabelElementUI::GetClass() const { return L"ListLabelElement"; }

void* CListLabelElementUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"ListLabelElement") == 0) return static_cast<CListLabelElementUI*>(this);
    return CListElementUI::GetInterface(name);
}

void CListLabelElementUI::SetOwner(CControlUI* owner) {
    needEstimate_ = true;
    CListElementUI::SetOwner(owner);
}

void CListLabelElementUI::SetText(const wchar_t* text) {
    needEstimate_ = true;
    CListElementUI::SetText(text);
}

void CListLabelElementUI::SetFixedWidth(int width) {
    needEstimate_ = true;
    CListElementUI::SetFixedWidth(width);
}

void CListLabelElementUI::SetFixedHeight(int height) {
    needEstimate_ = true;
    CListElementUI::SetFixedHeight(height);
}

bool CListLabelElementUI::HandleLabelEvent(ControlEventUI& event) {
    const int kind = event.kind;
    if (!IsMouseEnabled() && IsMouseEventKind(kind)) {
        if (owner_ == nullptr) return false;
        owner_->DoEvent(event);
        return true;
    }
    switch (kind) {
    case EventButtonDown:
    case EventRButtonDown:
        Click(*this);
        return true;
    case EventMouseMove:
    case EventButtonUp:
        return true;
    case EventMouseEnter:
    case EventMouseLeave:
        return TrackHot(*this, event);
    default:
        return false;
    }
}

void CListLabelElementUI::DoEvent(ControlEventUI& event) {
    if (!HandleLabelEvent(event)) CListElementUI::DoEvent(event);
}

bool CListLabelElementUI::KnownSize(const ListInfoUI& info, SIZE& size) const {
    if (fixedSize_.cx <= 0) return false;
    if (fixedSize_.cy > 0) {
        size = fixedSize_;
        return true;
    }
    if (info.itemHeight == 0) return false;
    size = SIZE{fixedSize_.cx, info.itemHeight};
    return true;
}

SIZE CListLabelElementUI::EstimateSize(SIZE available) {
    const ListInfoUI* info = GetOwnerListInfo();
    if (info == nullptr) return SIZE{0, 0};
    SIZE known;
    if (KnownSize(*info, known)) return known;
    return EstimateText(available, *info, fixedSize_.cx, text_.GetData(), false);
}

SIZE CListLabelElementUI::EstimateText(SIZE available, const ListInfoUI& info, int width, const wchar_t* text,
                                       bool stale) {
    const bool multiLine = (info.textStyle & DT_SINGLELINE) == 0;
    if (multiLine && (available.cx != lastAvailable_.cx || available.cy != lastAvailable_.cy)) stale = true;
    if (info.itemHeight != lastItemHeight_ || info.font != lastFont_ || info.textStyle != lastTextStyle_ ||
        !SameRect(info.textPadding, lastTextPadding_) || info.showHtml != lastShowHtml_) {
        stale = true;
    }
    if (!stale && !needEstimate_) return estimated_;

    CSizeUI size(width, fixedSize_.cy != 0 ? fixedSize_.cy : info.itemHeight);
    // Nothing to measure with before the item belongs to a window: the
    // known sizes serve until then.
    if (manager_ == nullptr || manager_->GetPaintDC() == nullptr) return size;
    needEstimate_ = false;
    lastAvailable_ = available;
    lastItemHeight_ = info.itemHeight;
    lastFont_ = info.font;
    lastTextStyle_ = info.textStyle;
    lastTextPadding_ = info.textPadding;
    lastShowHtml_ = info.showHtml;

    const TextExtentRequestUI request = {text, info.font, info.textStyle, info.showHtml, info.textPadding};
    estimated_ = MeasureTextExtent(*manager_, request, size, available);
    return estimated_;
}

bool CListLabelElementUI::DoPaint(HDC dc, const RECT&, CControlUI*) {
    DrawItemBk(dc, itemRect_);
    DrawItemText(dc, itemRect_);
    return true;
}

void CListLabelElementUI::DrawCellText(HDC dc, RECT rc, const wchar_t* text, DWORD color, const ListInfoUI& info,
                                       RECT* links, CWideString* linkTexts, int& linkCount) {
    if (text == nullptr || *text == L'\0') {
        linkCount = 0;
        return;
    }
    if (info.showHtml) {
        CRendererUI::DrawHtmlText(dc, manager_, rc, text, color, links, linkTexts, linkCount, info.font,
                                  info.textStyle);
    } else {
        linkCount = 0;
        CRendererUI::DrawText(dc, manager_, rc, text, color, info.font, info.textStyle);
    }
}

void CListLabelElementUI::DrawItemText(HDC dc, const RECT& rect) {
    const ListInfoUI* info = GetOwnerListInfo();
    if (text_.IsEmpty() || info == nullptr) return;
    int links = 0;
    DrawCellText(dc, PadListItemRect(rect, info->textPadding), text_.GetData(),
                 ListItemTextColor(*info, GetLookState(*this)), *info, nullptr, nullptr, links);
}

}  // namespace QuillUI
