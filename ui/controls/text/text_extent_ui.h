// How the text-showing controls measure their text for the layouts, the
// label and the list's text items alike.
#pragma once
#include "common/win.h"

namespace QuillUI {

class CWindowManagerUI;

struct TextExtentRequestUI {
    const wchar_t* text;  // null or empty measures as nothing
    int font;             // an index of the window's font table
    UINT style;           // DrawText flags; DT_SINGLELINE chooses the rule
    bool html;            // tagged text
    RECT padding;
};

// The size from a starting size (a side of 0 is measured). Multi-line: a
// width of 0 becomes the available width, and the height is the text's
// height at that width plus the vertical padding. Single line: a height of
// 0 is the font's height + 8 plus the vertical padding, a width of 0 the
// text's width plus the horizontal padding. Needs a manager with a paint DC.
SIZE MeasureTextExtent(CWindowManagerUI& manager, const TextExtentRequestUI& request, SIZE start, SIZE available);

}  // namespace QuillUI
