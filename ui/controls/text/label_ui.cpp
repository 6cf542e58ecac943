#include "ui/controls/text/label_ui.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/values/number_list_ui.h"

#include <cwchar>
#include <new>

namespace QuillUI {

CLabelUI::CLabelUI() = default;

CLabelUI::~CLabelUI() = default;

const LabelEffectsUI& CLabelUI::Effects() const {
    static const LabelEffectsUI kDefaults;
    return effects_ ? *effects_ : kDefaults;
}

template <class T>
void CLabelUI::SetEffect(T LabelEffectsUI::*field, T value) {
    if (!effects_ && Effects().*field != value) effects_.reset(new (std::nothrow) LabelEffectsUI);
    if (effects_) (*effects_).*field = value;
    Invalidate();
}

const wchar_t* CLabelUI::GetClass() const { return L"Label"; }

void* CLabelUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"Label") == 0) return this;
    return CControlUI::GetInterface(name);
}

void CLabelUI::SetTextColor(DWORD color) {
    textColor_ = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color) {
    disabledTextColor_ = color;
    Invalidate();
}

void CLabelUI::SetFont(int index) {
    font_ = index;
    needEstimate_ = true;
    Invalidate();
}

void CLabelUI::SetTextPadding(RECT padding) {
    textPadding_ = padding;
    needEstimate_ = true;
    Invalidate();
}

void CLabelUI::SetMultiLine(bool multiLine) {
    if (multiLine) {
        textStyle_ &= ~static_cast<UINT>(DT_SINGLELINE);
        textStyle_ |= DT_WORDBREAK;
    } else {
        textStyle_ |= DT_SINGLELINE;
    }
    needEstimate_ = true;
}

void CLabelUI::SetShowHtml(bool showHtml) {
    if (showHtml_ == showHtml) return;
    showHtml_ = showHtml;
    needEstimate_ = true;
    Invalidate();
}

void CLabelUI::SetEnabledEffect(bool enabled) {
    SetEffect(&LabelEffectsUI::enabledEffect, enabled);
}

void CLabelUI::SetEnabledLuminous(bool enabled) {
    SetEffect(&LabelEffectsUI::enabledLuminous, enabled);
}

void CLabelUI::SetLuminousFuzzy(float fuzzy) {
    if (fuzzy < 0.0001f) return;
    SetEffect(&LabelEffectsUI::luminousFuzzy, fuzzy);
}

void CLabelUI::SetGradientAngle(int angle) {
    SetEffect(&LabelEffectsUI::gradientAngle, angle);
}

void CLabelUI::SetGradientLength(int length) {
    SetEffect(&LabelEffectsUI::gradientLength, length);
}

void CLabelUI::SetEnabledStroke(bool enabled) {
    SetEffect(&LabelEffectsUI::enabledStroke, enabled);
}

void CLabelUI::SetEnabledShadow(bool enabled) {
    SetEffect(&LabelEffectsUI::enabledShadow, enabled);
}

void CLabelUI::SetTextColor1(DWORD color) {
    SetEffect(&LabelEffectsUI::textColor1, color);
}

void CLabelUI::SetTextShadowColorA(DWORD color) {
    SetEffect(&LabelEffectsUI::shadowColorA, color);
}

void CLabelUI::SetTextShadowColorB(DWORD color) {
    SetEffect(&LabelEffectsUI::shadowColorB, color);
}

void CLabelUI::SetStrokeColor(DWORD color) {
    SetEffect(&LabelEffectsUI::strokeColor, color);
}

void CLabelUI::SetShadowOffset(int distance, int angle) {
    if (angle < -180 || angle > 180) return;
    // The offset is relative to the text: it does not depend on where the
    // control happens to be placed when it is set.
    float horizontal = 0.0f;
    if (angle >= 0) {
        horizontal = static_cast<float>(-distance);
    } else if (angle > -180) {
        horizontal = static_cast<float>(distance);
    }
    float vertical = 0.0f;
    if (angle > -90 && angle <= 90) {
        vertical = static_cast<float>(-distance);
    } else if (angle != -90) {
        vertical = static_cast<float>(distance);
    }
    if (!effects_ && (horizontal != 0.0f || vertical != 0.0f)) effects_.reset(new (std::nothrow) LabelEffectsUI);
    if (effects_) {
        effects_->shadowOffsetX = horizontal;
        effects_->shadowOffsetY = vertical;
    }
    Invalidate();
}

void CLabelUI::SetText(const wchar_t* text) {
    CControlUI::SetText(text);
    needEstimate_ = true;
}

void CLabelUI::SetFixedWidth(int width) {
    needEstimate_ = true;
    CControlUI::SetFixedWidth(width);
}

void CLabelUI::SetFixedHeight(int height) {
    needEstimate_ = true;
    CControlUI::SetFixedHeight(height);
}

void CLabelUI::DoEvent(ControlEventUI& event) {
    if (event.kind == EventSetFocus) {
        focused_ = true;
        return;
    }
    if (event.kind == EventKillFocus) {
        focused_ = false;
        return;
    }
    CControlUI::DoEvent(event);
}

bool CLabelUI::PassMouseEventOn(ControlEventUI& event) {
    if (IsMouseEnabled() || !IsMouseEventKind(event.kind)) return false;
    if (parent_ != nullptr) {
        parent_->DoEvent(event);
    } else {
        CLabelUI::DoEvent(event);
    }
    return true;
}

void CLabelUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    long n[4] = {0, 0, 0, 0};
    if (wcscmp(name, L"align") == 0) {
        textStyle_ = ReadAlignValue(value, textStyle_, L"left", L"center", DT_CENTER, L"right", DT_RIGHT);
    } else if (wcscmp(name, L"valign") == 0) {
        textStyle_ = ReadAlignValue(value, textStyle_, L"top", L"vcenter", DT_VCENTER, L"bottom", DT_BOTTOM);
    } else if (wcscmp(name, L"endellipsis") == 0) {
        if (IsTrueValue(value)) {
            textStyle_ |= DT_END_ELLIPSIS;
        } else {
            textStyle_ &= ~static_cast<UINT>(DT_END_ELLIPSIS);
        }
    } else if (wcscmp(name, L"font") == 0) {
        SetFont(_wtoi(value));
    } else if (wcscmp(name, L"textcolor") == 0) {
        SetTextColor(ReadColorValue(value));
    } else if (wcscmp(name, L"disabledtextcolor") == 0) {
        SetDisabledTextColor(ReadColorValue(value));
    } else if (wcscmp(name, L"textpadding") == 0) {
        SetTextPadding(ParseRectList(value));
    } else if (wcscmp(name, L"multiline") == 0) {
        SetMultiLine(IsTrueValue(value));
    } else if (wcscmp(name, L"showhtml") == 0) {
        SetShowHtml(IsTrueValue(value));
    } else if (wcscmp(name, L"enabledeffect") == 0) {
        SetEnabledEffect(IsTrueValue(value));
    } else if (wcscmp(name, L"enabledluminous") == 0) {
        SetEnabledLuminous(IsTrueValue(value));
    } else if (wcscmp(name, L"luminousfuzzy") == 0) {
        SetLuminousFuzzy(static_cast<float>(_wtof(value)));
    } else if (wcscmp(name, L"gradientangle") == 0) {
        SetGradientAngle(_wtoi(value));
    } else if (wcscmp(name, L"enabledstroke") == 0) {
        SetEnabledStroke(IsTrueValue(value));
    } else if (wcscmp(name, L"enabledshadow") == 0) {
        SetEnabledShadow(IsTrueValue(value));
    } else if (wcscmp(name, L"gradientlength") == 0) {
        SetGradientLength(_wtoi(value));
    } else if (wcscmp(name, L"shadowoffset") == 0) {
        ParseNumberList(value, n, 2);
        SetShadowOffset(static_cast<int>(n[0]), static_cast<int>(n[1]));
    } else if (wcscmp(name, L"textcolor1") == 0) {
        SetTextColor1(ReadColorValue(value));
    } else if (wcscmp(name, L"textshadowcolora") == 0) {
        SetTextShadowColorA(ReadColorValue(value));
    } else if (wcscmp(name, L"textshadowcolorb") == 0) {
        SetTextShadowColorB(ReadColorValue(value));
    } else if (wcscmp(name, L"strokecolor") == 0) {
        SetStrokeColor(ReadColorValue(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

}  // namespace QuillUI
