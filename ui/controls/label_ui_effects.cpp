// The label's GDI+ text: gradient, glow, outline and shadow.
#include "ui/controls/label_ui.h"

#include "ui/core/window_manager_ui.h"

#include <objidl.h>
#include <gdiplus.h>

namespace QuillUI {

namespace {

using Gdiplus::Ok;

Gdiplus::RectF Moved(const Gdiplus::RectF& r, float dx, float dy) {
    return Gdiplus::RectF(r.X + dx, r.Y + dy, r.Width, r.Height);
}

}  // namespace

void CLabelUI::PaintEffectText(HDC dc) {
    if (dc == nullptr || manager_ == nullptr || !gdiplus_.IsStarted() || text_.IsEmpty()) return;
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
    const Gdiplus::RectF shadowLayout = Moved(layout, shadowOffsetX_, shadowOffsetY_);
    const int length = gradientLength_ != 0 ? gradientLength_ : textRect.GetHeight();
    const Gdiplus::PointF from(static_cast<float>(gradientAngle_), 0.0f);
    const Gdiplus::PointF to(0.0f, static_cast<float>(length));
    const wchar_t* text = text_.GetData();
    const int count = text_.GetLength();

    const DWORD shadowEnd = shadowColorB_ == 0xFFFFFFFF ? shadowColorA_ : shadowColorB_;
    Gdiplus::LinearGradientBrush shadowBrush(from, to, Gdiplus::Color(shadowColorA_), Gdiplus::Color(shadowEnd));
    shadowBrush.SetWrapMode(Gdiplus::WrapModeTile);
    Gdiplus::LinearGradientBrush textBrush(from, to, Gdiplus::Color(textColor_),
                                           Gdiplus::Color(textColor1_ == 0xFFFFFFFF ? textColor_ : textColor1_));
    textBrush.SetWrapMode(Gdiplus::WrapModeTile);
    // A gradient whose two points coincide fails: each step that needs a
    // brush is skipped when its brush failed.
    const bool textBrushOk = textBrush.GetLastStatus() == Ok;

    if (enabledLuminous_ && textBrushOk) {
        int w = static_cast<int>(layout.Width / luminousFuzzy_);
        int h = static_cast<int>(layout.Height / luminousFuzzy_);
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
                fullGraphics.DrawString(text, count, &font, Gdiplus::RectF(0.0f, 0.0f, layout.Width, layout.Height),
                                        &format, &textBrush);
                reducedGraphics.DrawImage(&full, 0, 0, w, h);
                fullGraphics.Clear(Gdiplus::Color(0));
                fullGraphics.DrawImage(&reduced, static_cast<int>(shadowOffsetX_), static_cast<int>(shadowOffsetY_),
                                       fullWidth, fullHeight);
                graphics.DrawImage(&full, layout.X, layout.Y);
            }
        }
    }

    if (enabledStroke_ && strokeColor_ != 0) {
        const Gdiplus::PointF strokeTo(0.0f, static_cast<float>(textRect.GetHeight() + 2));
        Gdiplus::LinearGradientBrush strokeBrush(from, strokeTo, Gdiplus::Color(strokeColor_),
                                                 Gdiplus::Color(strokeColor_));
        if (strokeBrush.GetLastStatus() == Ok) {
            const float offsets[4][2] = {{-1.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, -1.0f}, {0.0f, 1.0f}};
            for (const auto& offset : offsets) {
                graphics.DrawString(text, count, &font, Moved(layout, offset[0], offset[1]), &format, &strokeBrush);
            }
        }
    }

    if (enabledShadow_ && (shadowColorA_ != 0 || shadowColorB_ != 0) && shadowBrush.GetLastStatus() == Ok) {
        graphics.DrawString(text, count, &font, shadowLayout, &format, &shadowBrush);
    }

    if (textBrushOk) graphics.DrawString(text, count, &font, layout, &format, &textBrush);
}

}  // namespace QuillUI
