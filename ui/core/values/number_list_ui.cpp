#include "ui/core/values/number_list_ui.h"

#include <cwchar>

namespace QuillUI {

const wchar_t* ParseNumberList(const wchar_t* text, long* values, int count) {
    const wchar_t* p = text != nullptr ? text : L"";
    for (int i = 0; i < count; ++i) {
        wchar_t* end = nullptr;
        values[i] = wcstol(p, &end, 10);
        p = end;
        // One separator follows each number; the terminator is never skipped.
        if (*p != 0) ++p;
    }
    return p;
}

CRectUI ParseRectList(const wchar_t* text) {
    long n[4] = {0, 0, 0, 0};
    ParseNumberList(text, n, 4);
    return CRectUI(n[0], n[1], n[2], n[3]);
}

}  // namespace QuillUI
