#include "ui/controls/lists/list_item_look_ui.h"

#include "ui/controls/containers/container_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/render/renderer_ui.h"

namespace QuillUI {

namespace {

bool Draws(HDC dc, CControlUI& item, CImageSlotUI& image) {
    return !image.IsEmpty() && item.DrawImage(dc, image);
}

}  // namespace

void DrawListItemBk(HDC dc, CControlUI& item, ListInfoUI& info, const ListItemStateUI& state,
                    CImageSlotUI& ownImage, const RECT& rect) {
    const bool plainRow = info.alternateBk && state.drawIndex % 2 != 0;
    DWORD color = plainRow ? 0 : info.bkColor;
    if (state.hot) color = info.hotBkColor;
    if (state.selected) color = info.selectedBkColor;
    if (state.disabled) color = info.disabledBkColor;
    if (color != 0) CRendererUI::DrawColor(dc, rect, item.GetAdjustColor(color));

    if (state.disabled && Draws(dc, item, info.disabledImage)) return;
    if (state.selected && Draws(dc, item, info.selectedImage)) return;
    if (state.hot && Draws(dc, item, info.hotImage)) return;
    if (Draws(dc, item, ownImage)) return;
    if (!plainRow) Draws(dc, item, info.bkImage);
}

DWORD ListItemTextColor(const ListInfoUI& info, const ListItemStateUI& state) {
    DWORD color = info.textColor;
    if (state.hot) color = info.hotTextColor;
    if (state.selected) color = info.selectedTextColor;
    if (state.disabled) color = info.disabledTextColor;
    return color;
}

RECT PadListItemRect(RECT rect, const RECT& padding) {
    rect.left += padding.left;
    rect.top += padding.top;
    rect.right -= padding.right;
    rect.bottom -= padding.bottom;
    return rect;
}

void DrawListColumnLine(HDC dc, CControlUI& item, const ListInfoUI& info, const RECT& column, int top, int bottom) {
    const int x = column.right - info.vLineSize / 2;
    CRendererUI::DrawLine(dc, RECT{x, top, x, bottom}, info.vLineSize, item.GetAdjustColor(info.vLineColor));
}

void MarkListRow(HDC dc, CControlUI& child, const ListInfoUI* info, const RECT& paint, int& drawIndex) {
    if (child.IsFloat()) return;
    IListItemUI* item = static_cast<IListItemUI*>(child.GetInterface(L"IListItem"));
    if (item == nullptr) return;
    item->SetDrawIndex(drawIndex++);
    if (info == nullptr || info->hLineSize <= 0) return;
    const RECT& pos = child.GetPos();
    // The item's rectangle holds its bottom padding already; the line lies
    // one bottom padding further down, in the gap the line size widened.
    const int top = pos.bottom + child.GetPadding().bottom;
    const RECT line = {pos.left, top, pos.right, top + info->hLineSize};
    RECT both;
    if (!IntersectRect(&both, &line, &paint)) return;
    const int y = top + info->hLineSize / 2;
    CRendererUI::DrawLine(dc, RECT{pos.left, y, pos.right, y}, info->hLineSize, child.GetAdjustColor(info->hLineColor));
}

void InvalidateListItem(CControlUI& item) {
    if (!item.IsVisible()) return;
    CControlUI* parent = item.GetParent();
    CContainerUI* container =
        parent != nullptr ? static_cast<CContainerUI*>(parent->GetInterface(L"Container")) : nullptr;
    if (container == nullptr) {
        item.Invalidate();
        return;
    }
    // The item rectangle less the inset and the visible bars: the part of
    // the parent that shows its children.
    const RECT client = container->CContainerUI::GetClientPos();
    RECT area;
    if (!IntersectRect(&area, &item.GetPos(), &client)) return;
    for (CControlUI* ancestor = parent->GetParent(); ancestor != nullptr; ancestor = ancestor->GetParent()) {
        if (!IntersectRect(&area, &area, &ancestor->GetPos())) return;
    }
    if (CWindowManagerUI* manager = item.GetManager()) manager->Invalidate(area);
}

}  // namespace QuillUI
