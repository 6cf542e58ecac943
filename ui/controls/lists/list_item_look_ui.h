// What the text items and the container items of a list draw alike from
// their owner's ListInfoUI: the row background, the state text colour and
// the vertical grid lines, and the redraw that stays inside the list.
#pragma once
#include "common/win.h"
#include "ui/controls/lists/list_owner_ui.h"

namespace QuillUI {

class CControlUI;

struct ListItemStateUI {
    bool hot;
    bool selected;
    bool disabled;
    int drawIndex;  // odd rows go without background under "itemaltbk"
};

// Colour: the list's background (none on odd rows with alternate
// backgrounds), replaced by the hot, then the selected, then the disabled
// one. Image: the first that draws of the disabled, selected and hot images
// (each in its state only), the item's own, and the list's (not on odd
// rows with alternate backgrounds).
void DrawListItemBk(HDC dc, CControlUI& item, ListInfoUI& info, const ListItemStateUI& state,
                    CImageSlotUI& ownImage, const RECT& rect);

// The text colour, replaced by the hot, then the selected, then the
// disabled one.
DWORD ListItemTextColor(const ListInfoUI& info, const ListItemStateUI& state);

// rect less the padding.
RECT PadListItemRect(RECT rect, const RECT& padding);

// The line between a column and the next, centred on the column's right
// edge less half the line size.
void DrawListColumnLine(HDC dc, CControlUI& item, const ListInfoUI& info, const RECT& column, int top, int bottom);

// What a list body does for each visible row it paints, before painting
// it: a non-float item gets the next draw index (counted in drawIndex) and,
// with a horizontal line size, the grid line under it where that meets
// paint. Other children are left alone.
void MarkListRow(HDC dc, CControlUI& child, const ListInfoUI* info, const RECT& paint, int& drawIndex);

// Invalidates only the part of the item that its list shows: the parent's
// client area and every further ancestor clip it; an item scrolled out of
// view asks for no painting.
void InvalidateListItem(CControlUI& item);

}  // namespace QuillUI
