// Lists of decimal numbers as markup writes them: "10,20,110,50".
#pragma once
#include "ui/core/values/rect_ui.h"

namespace QuillUI {

// Reads count numbers, each followed by one separator character; numbers
// missing at the end of the text are 0. Never reads past the terminator.
// Returns where reading stopped: after the last separator, or at the
// terminator.
const wchar_t* ParseNumberList(const wchar_t* text, long* values, int count);

// Four numbers as left, top, right and bottom ("textpadding", "inset").
CRectUI ParseRectList(const wchar_t* text);

}  // namespace QuillUI
