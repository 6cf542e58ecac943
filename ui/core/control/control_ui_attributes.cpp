#include "ui/core/control/control_ui.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/values/number_list_ui.h"
#include "ui/core/values/text_map_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <cwchar>

namespace QuillUI {

namespace {

long ReadInteger(const wchar_t* value) { return wcstol(value, nullptr, 10); }

bool IsDigit(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }

// A decimal number the way the C conversion reads it in the "C" locale,
// read by hand so that no locale can change the decimal point. Stops at
// the first character that cannot continue the number.
double ReadDecimal(const wchar_t* text, const wchar_t** end) {
    const wchar_t* p = text;
    while (*p == L' ' || (*p >= L'\t' && *p <= L'\r')) ++p;
    bool negative = false;
    if (*p == L'+' || *p == L'-') negative = *p++ == L'-';
    double value = 0.0;
    bool digits = false;
    for (; IsDigit(*p); ++p, digits = true) value = value * 10.0 + (*p - L'0');
    if (*p == L'.') {
        const wchar_t* fraction = p + 1;
        double scale = 0.1;
        for (; IsDigit(*fraction); ++fraction, scale /= 10.0, digits = true) value += (*fraction - L'0') * scale;
        if (digits) p = fraction;
    }
    if (!digits) {
        *end = text;
        return 0.0;
    }
    if (*p == L'e' || *p == L'E') {
        const wchar_t* q = p + 1;
        bool negativeExponent = false;
        if (*q == L'+' || *q == L'-') negativeExponent = *q++ == L'-';
        if (IsDigit(*q)) {
            int exponent = 0;
            for (; IsDigit(*q); ++q) exponent = exponent < 400 ? exponent * 10 + (*q - L'0') : exponent;
            for (int i = 0; i < exponent; ++i) value = negativeExponent ? value / 10.0 : value * 10.0;
            p = q;
        }
    }
    *end = p;
    return negative ? -value : value;
}

// As ParseNumberList, for decimals.
void ReadDecimalList(const wchar_t* text, double* values, int count) {
    const wchar_t* p = text;
    for (int i = 0; i < count; ++i) {
        const wchar_t* end = p;
        values[i] = ReadDecimal(p, &end);
        p = end;
        if (*p != 0) ++p;
    }
}

}  // namespace

CWideString CControlUI::GetAttribute(const wchar_t*) { return CWideString(); }

CWideString CControlUI::GetAttributeList(bool) { return CWideString(); }

void CControlUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    long n[4] = {0, 0, 0, 0};
    if (wcscmp(name, L"pos") == 0) {
        ParseNumberList(value, n, 4);
        SetFixedXY(CSizeUI(n[0], n[1]));
        SetFixedWidth(n[2] - n[0]);
        SetFixedHeight(n[3] - n[1]);
    } else if (wcscmp(name, L"padding") == 0) {
        ParseNumberList(value, n, 4);
        SetPadding(CRectUI(n[0], n[1], n[2], n[3]));
    } else if (wcscmp(name, L"bkcolor") == 0 || wcscmp(name, L"bkcolor1") == 0) {
        SetBkColor(ReadColorValue(value));
    } else if (wcscmp(name, L"bkcolor2") == 0) {
        SetBkColor2(ReadColorValue(value));
    } else if (wcscmp(name, L"bkcolor3") == 0) {
        SetBkColor3(ReadColorValue(value));
    } else if (wcscmp(name, L"bordercolor") == 0) {
        SetBorderColor(ReadColorValue(value));
    } else if (wcscmp(name, L"focusbordercolor") == 0) {
        SetFocusBorderColor(ReadColorValue(value));
    } else if (wcscmp(name, L"colorhsl") == 0) {
        SetColorHSL(IsTrueValue(value));
    } else if (wcscmp(name, L"bordersize") == 0) {
        if (wcschr(value, L',') == nullptr) {
            SetBorderSize(ReadInteger(value));
        } else {
            ParseNumberList(value, n, 4);
            SetBorderRect(n[0], n[1], n[2], n[3]);
        }
    } else if (wcscmp(name, L"borderstyle") == 0) {
        SetBorderStyle(ReadInteger(value));
    } else if (wcscmp(name, L"borderround") == 0) {
        ParseNumberList(value, n, 2);
        SetBorderRound(n[0], n[1]);
    } else if (wcscmp(name, L"bkimage") == 0) {
        SetBkImage(value);
    } else if (wcscmp(name, L"width") == 0) {
        SetFixedWidth(ReadInteger(value));
    } else if (wcscmp(name, L"height") == 0) {
        SetFixedHeight(ReadInteger(value));
    } else if (wcscmp(name, L"minwidth") == 0) {
        SetMinWidth(ReadInteger(value));
    } else if (wcscmp(name, L"minheight") == 0) {
        SetMinHeight(ReadInteger(value));
    } else if (wcscmp(name, L"maxwidth") == 0) {
        SetMaxWidth(ReadInteger(value));
    } else if (wcscmp(name, L"maxheight") == 0) {
        SetMaxHeight(ReadInteger(value));
    } else if (wcscmp(name, L"name") == 0) {
        SetName(value);
    } else if (wcscmp(name, L"text") == 0) {
        SetText(value);
    } else if (wcscmp(name, L"tooltip") == 0) {
        SetToolTip(value);
    } else if (wcscmp(name, L"userdata") == 0) {
        SetUserData(value);
    } else if (wcscmp(name, L"tag") == 0) {
        SetTag(static_cast<uintptr_t>(wcstoll(value, nullptr, 10)));
    } else if (wcscmp(name, L"enabled") == 0) {
        SetEnabled(IsTrueValue(value));
    } else if (wcscmp(name, L"mouse") == 0) {
        SetMouseEnabled(IsTrueValue(value));
    } else if (wcscmp(name, L"keyboard") == 0) {
        SetKeyboardEnabled(IsTrueValue(value));
    } else if (wcscmp(name, L"visible") == 0) {
        SetVisible(IsTrueValue(value));
    } else if (wcscmp(name, L"float") == 0) {
        if (wcschr(value, L',') == nullptr) {
            SetFloat(IsTrueValue(value));
        } else {
            double d[4] = {0, 0, 0, 0};
            ReadDecimalList(value, d, 4);
            FloatPercentUI percent;
            percent.left = d[0];
            percent.top = d[1];
            percent.right = d[2];
            percent.bottom = d[3];
            SetFloatPercent(percent);
            SetFloat(true);
        }
    } else if (wcscmp(name, L"shortcut") == 0) {
        SetShortcut(value[0]);
    } else if (wcscmp(name, L"menu") == 0) {
        SetContextMenuUsed(IsTrueValue(value));
    } else if (wcscmp(name, L"virtualwnd") == 0) {
        SetVirtualWnd(value);
    } else {
        AddCustomAttribute(name, value);
    }
}

void CControlUI::ApplyAttributeList(const wchar_t* list) {
    if (list == nullptr) return;
    const wchar_t* p = list;
    CWideString name, value;
    while (*p != 0) {
        name.Empty();
        value.Empty();
        while (*p != 0 && *p != L'=') {
            const wchar_t* next = CharNextW(p);
            name += CWideString(p, static_cast<int>(next - p));
            p = next;
        }
        if (*p != L'=') return;
        p = CharNextW(p);
        if (*p != L'"') return;
        p = CharNextW(p);
        while (*p != 0 && *p != L'"') {
            const wchar_t* next = CharNextW(p);
            value += CWideString(p, static_cast<int>(next - p));
            p = next;
        }
        if (*p != L'"') return;
        p = CharNextW(p);
        SetAttribute(name.GetData(), value.GetData());
        if (*p != L' ') return;
        p = CharNextW(p);
    }
}

// ---- Virtual windows and custom attributes -----------------------------

void CControlUI::SetVirtualWnd(const wchar_t* name) {
    virtualWnd_ = name;
    // Without a manager the name is kept; SetManager tells the manager.
    if (manager_ != nullptr) manager_->UsedVirtualWnd(true);
}

CWideString CControlUI::GetVirtualWnd() const {
    if (!virtualWnd_.IsEmpty()) return virtualWnd_;
    if (parent_ != nullptr) return parent_->GetVirtualWnd();
    return CWideString();
}

void CControlUI::AddCustomAttribute(const wchar_t* name, const wchar_t* value) {
    AddFirstText(customAttributes_, name, value);
}

const wchar_t* CControlUI::GetCustomAttribute(const wchar_t* name) { return FindText(customAttributes_, name); }

void CControlUI::RemoveAllCustomAttributes() { RemoveAllTexts(customAttributes_, 83); }

}  // namespace QuillUI
