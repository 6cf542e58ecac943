// The "item..." attributes that a list and a combo box both read into their
// ListInfoUI, and the text-style rules that the list and its header items
// share. Each owner decides what a change costs it; the reader says what
// the list needs for it.
#pragma once
#include "ui/controls/lists/list_owner_ui.h"

namespace QuillUI {

enum class ListInfoChangeUI {
    None,      // stored; drawn as it is at the next paint
    Redraw,    // the owner invalidates
    Relayout,  // the owner lays out again (NeedUpdate)
};

// False for a name the reader does not know; the record is then unchanged.
// The image attributes are not read here: see FindListInfoImage.
bool ReadListInfoAttribute(ListInfoUI& info, const wchar_t* name, const wchar_t* value, ListInfoChangeUI& change);

// The record that "itembkimage", "itemselectedimage", "itemhotimage" or
// "itemdisabledimage" sets, for the owner's image-change rule; null for any
// other name.
CImageSlotUI* FindListInfoImage(ListInfoUI& info, const wchar_t* name);

// DrawText styles from markup words. Alignment tests the substrings "left",
// "center", "right" (vertical: "top", "vcenter", "bottom") in that order,
// each on its own; "true" turns the other two on, any other value off
// (multi-line off leaves DT_WORDBREAK as it was).
UINT ApplyAlignValue(UINT style, const wchar_t* value);
UINT ApplyVAlignValue(UINT style, const wchar_t* value);
UINT ApplyEndEllipsisValue(UINT style, const wchar_t* value);
UINT ApplyMultiLineValue(UINT style, const wchar_t* value);

}  // namespace QuillUI
