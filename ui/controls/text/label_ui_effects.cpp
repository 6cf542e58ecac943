// The label's GDI+ text: gradient, glow, outline and shadow.
#include "ui/controls/text/label_ui.h"

#include "ui/core/manager/window_manager_ui.h"

#include <objidl.h>
#include <gdiplus.h>

namespace QuillUI {

namespace {

using Gdiplus::Ok;

Gdiplus::RectF Moved(const Gdiplus::RectF& r, float dx, float dy) {
    return Gdiplus::RectF(r.X + dx, r.Y + dy, r.Width, r.Height);
}

// A gradient from (angle, 0) to (0, length), measured from the corner of the
// rectangle the text is laid out in, so that it runs over the text wherever
// the label is placed; tiled beyond its length.
class TextGradient {
public:
    TextGradient(const Gdiplus::RectF& at, int angle, int length, DWORD first, DWORD second)
        : brush_(Gdiplus::PointF(at.X + static_cast<float>(angle), at.Y),
                 Gdiplus::PointF(at.X, at.Y + static_cast<float>(length)), Gdiplus::Color(first),
                 Gdiplus::Color(second)) {
        brush_.SetWrapMode(Gdiplus::WrapModeTile);
    }
    // A gradient whose two points coincide fails; nothing is drawn with it.
    bool IsOk() { return brush_.GetLastStatus() == Ok; }
    Gdiplus::Brush* Get() { return &brush_; }

private:
    Gdiplus::LinearGradientBrush brush_;
};

}  // namespace

void CLabelUI::PaintEffectText(HDC dc) {
    if (dc == nullptr || manager_ == nullptr || !gdiplus_.IsStarted() || text_.IsEmpty()) return;
    const LabelEffectsUI& effects = Effects();
    const CRectUI textRect = GetTextRect();
    // GDI+ cannot make surfaces or gradients for an empty area.
    if (textRect.right <= textRect.left || textRect.bottom <= textRect.top) return;

    Gdiplus::Font font(dc, manager_->GetFont(font_));
    Gdiplus::Graphics graphics(dc);
    if (font.GetLastStatus() != Ok || graphics.GetLastStatus() != Ok) return;
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);

    Gdiplus::StringFormat format;
    if ((textStyle_ & DT_VCENTER) != 0) {
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    } else if ((textStyle_ & DT_BOTTOM) != 0) {
        format.SetLineAlignment(Gdiplus::StringAlignmentFar);
    } else {
        format.SetLineAlignment(Gdiplus::StringAlignmentNear);
    }
    if ((textStyle_ & DT_CENTER) != 0) {
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
    } else if ((textStyle_ & DT_RIGHT) != 0) {
        format.SetAlignment(Gdiplus::StringAlignmentFar);
    } else {
        format.SetAlignment(Gdiplus::StringAlignmentNear);
    }

    const Gdiplus::RectF layout(static_cast<float>(textRect.left), static_cast<float>(textRect.top),
                                static_cast<float>(textRect.GetWidth()), static_cast<float>(textRect.GetHeight()));
    const Gdiplus::RectF shadowLayout = Moved(layout, effects.shadowOffsetX, effects.shadowOffsetY);
    const int length = effects.gradientLength != 0 ? effects.gradientLength : textRect.GetHeight();
    const DWORD textEnd = effects.textColor1 == 0xFFFFFFFF ? textColor_ : effects.textColor1;
    const DWORD shadowEnd = effects.shadowColorB == 0xFFFFFFFF ? effects.shadowColorA : effects.shadowColorB;
    const wchar_t* text = text_.GetData();
    const int count = text_.GetLength();

    if (effects.enabledLuminous) {
        int w = static_cast<int>(layout.Width / effects.luminousFuzzy);
        int h = static_cast<int>(layout.Height / effects.luminousFuzzy);
        if (w < 1) w = 1;
        if (h < 1) h = 1;
        const int fullWidth = static_cast<int>(layout.Width);
        const int fullHeight = static_cast<int>(layout.Height);
        Gdiplus::Bitmap full(fullWidth, fullHeight, PixelFormat32bppARGB);
        Gdiplus::Bitmap reduced(w, h, PixelFormat32bppARGB);
        if (full.GetLastStatus() == Ok && reduced.GetLastStatus() == Ok) {
            Gdiplus::Graphics fullGraphics(&full);
            Gdiplus::Graphics reducedGraphics(&reduced);
            if (fullGraphics.GetLastStatus() == Ok && reducedGraphics.GetLastStatus() == Ok) {
                fullGraphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
                fullGraphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
                fullGraphics.SetCompositingQuality(Gdiplus::CompositingQualityAssumeLinear);
                reducedGraphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
                reducedGraphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeNone);
                // Shrinking and enlarging again blurs the text into a glow.
                const Gdiplus::RectF inside(0.0f, 0.0f, layout.Width, layout.Height);
                TextGradient glowBrush(inside, effects.gradientAngle, length, textColor_, textEnd);
                if (glowBrush.IsOk()) fullGraphics.DrawString(text, count, &font, inside, &format, glowBrush.Get());
                reducedGraphics.DrawImage(&full, 0, 0, w, h);
                fullGraphics.Clear(Gdiplus::Color(0));
                fullGraphics.DrawImage(&reduced, static_cast<int>(effects.shadowOffsetX), static_cast<int>(effects.shadowOffsetY),
                                       fullWidth, fullHeight);
                graphics.DrawImage(&full, layout.X, layout.Y);
            }
        }
    }

    if (effects.enabledStroke && effects.strokeColor != 0) {
        TextGradient strokeBrush(layout, effects.gradientAngle, textRect.GetHeight() + 2, effects.strokeColor, effects.strokeColor);
        if (strokeBrush.IsOk()) {
            const float offsets[4][2] = {{-1.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, -1.0f}, {0.0f, 1.0f}};
            for (const auto& offset : offsets) {
                graphics.DrawString(text, count, &font, Moved(layout, offset[0], offset[1]), &format,
                                    strokeBrush.Get());
            }
        }
    }

    if (effects.enabledShadow && (effects.shadowColorA != 0 || effects.shadowColorB != 0)) {
        TextGradient shadowBrush(shadowLayout, effects.gradientAngle, length, effects.shadowColorA, shadowEnd);
        if (shadowBrush.IsOk()) graphics.DrawString(text, count, &font, shadowLayout, &format, shadowBrush.Get());
    }

    TextGradient textBrush(layout, effects.gradientAngle, length, textColor_, textEnd);
    if (textBrush.IsOk()) graphics.DrawString(text, count, &font, layout, &format, textBrush.Get());
}

}  // namespace QuillUI
