#include "ui/controls/lists/list_text_element_ui.h"

#include "ui/core/manager/window_manager_ui.h"

#include <cwchar>
#include <new>

namespace QuillUI {

CListTextElementUI::CListTextElementUI() = default;

CListTextElementUI::~CListTextElementUI() {
    for (int i = 0; i < columnTexts_.GetSize(); ++i) delete static_cast<CWideString*>(columnTexts_[i]);
}

const wchar_t* CListTextElementUI::GetClass() const { return L"ListTextElement"; }

void* CListTextElementUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"ListTextElement") == 0) return static_cast<CListTextElementUI*>(this);
    return CListLabelElementUI::GetInterface(name);
}

UINT CListTextElementUI::GetControlFlags() const {
    return kControlFlags | (IsEnabled() && linkCount_ > 0 ? ControlFlagSetCursor : 0);
}

void CListTextElementUI::SetOwner(CControlUI* owner) {
    needEstimate_ = true;
    CListElementUI::SetOwner(owner);
    list_ = owner != nullptr ? static_cast<IListUI*>(owner->GetInterface(L"IList")) : nullptr;
}

const wchar_t* CListTextElementUI::GetText(int column) const {
    if (column < 0 || column >= columnTexts_.GetSize()) return nullptr;
    const CWideString* text = static_cast<const CWideString*>(columnTexts_[column]);
    return text != nullptr ? text->GetData() : nullptr;
}

bool CListTextElementUI::SetText(int column, const wchar_t* text) {
    if (column < 0 || column >= kMaxListColumns) return false;
    while (columnTexts_.GetSize() <= column) {
        if (!columnTexts_.Add(nullptr)) return false;
    }
    CWideString* copy = new (std::nothrow) CWideString(text);
    if (copy == nullptr) return false;
    // The array only holds its slots; the old text is replaced in place.
    CWideString* old = static_cast<CWideString*>(columnTexts_[column]);
    columnTexts_.Remove(column);
    columnTexts_.InsertAt(column, copy);
    delete old;
    if (column == 0) needEstimate_ = true;
    Invalidate();
    return true;
}

IListTextCallbackUI* CListTextElementUI::Provider() const {
    return list_ != nullptr ? list_->GetTextCallback() : nullptr;
}

const wchar_t* CListTextElementUI::CellText(int column) {
    const wchar_t* text = nullptr;
    if (IListTextCallbackUI* provider = Provider())
        text = provider->GetItemText(this, index_, column);
    else
        text = GetText(column);
    return text != nullptr ? text : L"";
}

const wchar_t* CListTextElementUI::FirstText() {
    if (Provider() != nullptr || GetText(0) != nullptr) return CellText(0);
    return text_.GetData();
}

RECT CListTextElementUI::GetLinkRect(int index) const {
    if (index < 0 || index >= linkCount_ || links_ == nullptr) return RECT{0, 0, 0, 0};
    return links_->rects[index];
}

int CListTextElementUI::LinkAt(POINT point) const {
    for (int i = 0; i < linkCount_; ++i) {
        if (::PtInRect(&links_->rects[i], point)) return i;
    }
    return -1;
}

void CListTextElementUI::DoEvent(ControlEventUI& event) {
    const int kind = event.kind;
    if (!IsMouseEnabled() && IsMouseEventKind(kind)) {
        if (owner_ != nullptr)
            owner_->DoEvent(event);
        else
            CListLabelElementUI::DoEvent(event);
        return;
    }
    const POINT point = event.mousePoint;
    if (kind == EventSetCursor && LinkAt(point) >= 0) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return;
    }
    if (kind == EventButtonUp && IsEnabled()) {
        const int link = LinkAt(point);
        if (link >= 0) {
            if (manager_ != nullptr) manager_->SendNotify(this, L"link", static_cast<WPARAM>(link));
            return;
        }
    }
    if (kind == EventMouseMove && linkCount_ > 0) {
        const int link = LinkAt(point);
        if (link != hoverLink_) {
            Invalidate();
            hoverLink_ = link;
        }
    }
    if (kind == EventMouseLeave && linkCount_ > 0 && hoverLink_ >= 0 && hoverLink_ < linkCount_) {
        if (::PtInRect(&links_->rects[hoverLink_], point)) {
            if (manager_ != nullptr) manager_->AddMouseLeaveNeeded(this);
            return;
        }
        hoverLink_ = -1;
        Invalidate();
        if (manager_ != nullptr) manager_->RemoveMouseLeaveNeeded(this);
    }
    CListLabelElementUI::DoEvent(event);
}

SIZE CListTextElementUI::EstimateSize(SIZE available) {
    const ListInfoUI* info = GetOwnerListInfo();
    if (info == nullptr) return SIZE{0, 0};
    SIZE known;
    if (KnownSize(*info, known)) return known;
    int width = fixedSize_.cx;
    const int columns = list_ != nullptr ? info->columnCount : 0;
    if (width == 0 && columns > 0) width = info->columns[columns - 1].right - info->columns[0].left;
    bool stale = width != lastWidth_;
    lastWidth_ = width;
    // A single line of a known width is as tall as the font whatever it
    // says: its text is neither asked for nor compared.
    const bool measuresText = width == 0 || (info->textStyle & DT_SINGLELINE) == 0;
    const wchar_t* text = measuresText ? FirstText() : L"";
    if (measuresText && lastText_ != text) {
        stale = true;
        lastText_ = text;
    }
    return EstimateText(available, *info, width, text, stale);
}

void CListTextElementUI::DrawItemText(HDC dc, const RECT& rect) {
    const ListInfoUI* info = GetOwnerListInfo();
    if (info == nullptr) return;
    const DWORD color = ListItemTextColor(*info, GetLookState(*this));
    linkCount_ = 0;
    if (info->showHtml && links_ == nullptr) links_.reset(new (std::nothrow) Links);
    const bool collect = info->showHtml && links_ != nullptr;
    auto draw = [&](const RECT& cell, const wchar_t* text) {
        int found = collect ? kMaxLinks - linkCount_ : 0;
        DrawCellText(dc, PadListItemRect(cell, info->textPadding), text, color, *info,
                     collect ? links_->rects + linkCount_ : nullptr, collect ? links_->texts + linkCount_ : nullptr,
                     found);
        linkCount_ += found;
    };
    const int columns = list_ != nullptr ? info->columnCount : 0;
    if (columns == 0) draw(rect, FirstText());
    for (int i = 0; i < columns; ++i) {
        RECT cell = {info->columns[i].left, rect.top, info->columns[i].right, rect.bottom};
        if (info->vLineSize > 0 && i != columns - 1) {
            DrawListColumnLine(dc, *this, *info, cell, cell.top, cell.bottom);
            cell.right -= info->vLineSize;
        }
        draw(cell, CellText(i));
    }
    if (links_ == nullptr) return;
    for (int i = linkCount_; i < kMaxLinks; ++i) {
        links_->rects[i] = RECT{0, 0, 0, 0};
        links_->texts[i].Empty();
    }
}

}  // namespace QuillUI
