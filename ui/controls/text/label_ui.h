// The control of the markup tag "Label": one text in a rectangle, drawn
// plainly, with inline tags, or through GDI+ with a gradient, a glow, an
// outline and a shadow. It measures its text for the layouts and caches the
// result. Most text-showing controls derive from it.
#pragma once
#include "common/win.h"
#include "ui/controls/text/gdiplus_starter_ui.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/values/rect_ui.h"
#include "ui/core/values/size_ui.h"

#include <memory>

namespace QuillUI {

// A label's GDI+ effects; these are their defaults.
struct LabelEffectsUI {
    float luminousFuzzy = 3.0f;
    int gradientLength = 0;
    int gradientAngle = 0;
    bool enabledEffect = false;
    bool enabledLuminous = false;
    bool enabledStroke = false;
    bool enabledShadow = false;
    DWORD textColor1 = 0xFFFFFFFF;
    DWORD shadowColorA = 0xFF000000;
    DWORD shadowColorB = 0xFFFFFFFF;
    DWORD strokeColor = 0;
    float shadowOffsetX = 0.0f;
    float shadowOffsetY = 0.0f;
};

class CLabelUI : public CControlUI {
public:
    CLabelUI();
    ~CLabelUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;

    // ---- Text appearance (colours are ARGB; 0 takes the window's default
    // at the first paint and keeps it) ----------------------------------
    void SetTextColor(DWORD color);
    DWORD GetTextColor() const { return textColor_; }
    void SetDisabledTextColor(DWORD color);
    DWORD GetDisabledTextColor() const { return disabledTextColor_; }
    // An index of the window's font table; -1 is the default font.
    void SetFont(int index);
    int GetFont() const { return font_; }
    // DrawText flags.
    UINT GetTextStyle() const { return textStyle_; }
    void SetTextPadding(RECT padding);
    RECT GetTextPadding() const { return textPadding_; }
    void SetMultiLine(bool multiLine);
    bool IsMultiLine() const { return (textStyle_ & DT_SINGLELINE) == 0; }
    void SetShowHtml(bool showHtml = true);
    bool IsShowHtml() const { return showHtml_; }

    // ---- GDI+ effects -----------------------------------------------------
    void SetEnabledEffect(bool enabled);
    bool IsEnabledEffect() const { return Effects().enabledEffect; }
    void SetEnabledLuminous(bool enabled);
    bool IsEnabledLuminous() const { return Effects().enabledLuminous; }
    // The glow's blur factor; values below 0.0001 are ignored.
    void SetLuminousFuzzy(float fuzzy);
    float GetLuminousFuzzy() const { return Effects().luminousFuzzy; }
    void SetGradientAngle(int angle);
    int GetGradientAngle() const { return Effects().gradientAngle; }
    // 0 stands for the height of the text rectangle.
    void SetGradientLength(int length);
    int GetGradientLength() const { return Effects().gradientLength; }
    void SetEnabledStroke(bool enabled);
    bool IsEnabledStroke() const { return Effects().enabledStroke; }
    void SetEnabledShadow(bool enabled);
    bool IsEnabledShadow() const { return Effects().enabledShadow; }
    // The gradient's end colour; 0xFFFFFFFF ends in the text colour.
    void SetTextColor1(DWORD color);
    DWORD GetTextColor1() const { return Effects().textColor1; }
    void SetTextShadowColorA(DWORD color);
    DWORD GetTextShadowColorA() const { return Effects().shadowColorA; }
    // 0xFFFFFFFF ends the shadow's gradient in colour A.
    void SetTextShadowColorB(DWORD color);
    DWORD GetTextShadowColorB() const { return Effects().shadowColorB; }
    // 0 draws no outline.
    void SetStrokeColor(DWORD color);
    DWORD GetStrokeColor() const { return Effects().strokeColor; }
    // Moves the shadow and the glow by distance towards the angle (degrees,
    // -180 to 180; others are ignored).
    void SetShadowOffset(int distance, int angle);
    float GetShadowOffsetX() const { return Effects().shadowOffsetX; }
    float GetShadowOffsetY() const { return Effects().shadowOffsetY; }

    // ---- CControlUI -------------------------------------------------------
    void SetText(const wchar_t* text) override;
    void SetFixedWidth(int width) override;
    void SetFixedHeight(int height) override;
    void DoEvent(ControlEventUI& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // The fixed size when both sides are fixed or there is no window to
    // measure with; otherwise the text's extent, cached until something
    // that changes it changes.
    SIZE EstimateSize(SIZE available) override;
    void PaintText(HDC dc) override;

protected:
    // A control whose mouse input is off hands mouse events to its parent,
    // or to the label's own handling when it has none; true when it did.
    bool PassMouseEventOn(ControlEventUI& event);
    // The item rectangle less the text padding.
    RECT GetTextRect() const;
    // The size of a one-line control that does not measure its text: the
    // fixed width and the font's height + 8, unless a height is fixed or
    // there is no window to measure with.
    SIZE EstimateOneLineSize(SIZE available);
    // Replaces colours of 0 by the window's defaults, for good.
    void FillDefaultColors();
    // The plain or tagged text in the text rectangle, in one colour.
    void DrawPlainText(HDC dc, DWORD color);
    // The GDI+ path of PaintText.
    void PaintEffectText(HDC dc);

    DWORD textColor_ = 0;
    DWORD disabledTextColor_ = 0;
    int font_ = -1;
    UINT textStyle_ = DT_VCENTER | DT_SINGLELINE;
    CRectUI textPadding_;
    bool showHtml_ = false;
    CSizeUI lastAvailable_;
    CSizeUI estimated_;
    bool needEstimate_ = true;
    // Null until an effect is set: few labels use them.
    std::unique_ptr<LabelEffectsUI> effects_;
    CGdiplusStarterUI gdiplus_;

private:
    const LabelEffectsUI& Effects() const;
    // Stores value in the effects (made when it differs from the default)
    // and repaints.
    template <class T>
    void SetEffect(T LabelEffectsUI::*field, T value);
};

}  // namespace QuillUI
