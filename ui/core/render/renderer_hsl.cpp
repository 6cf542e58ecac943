#include "ui/core/render/renderer_ui.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace QuillUI {

namespace {

double Clamp01(double v) { return v < 0.0 ? 0.0 : v > 1.0 ? 1.0 : v; }

void RgbToHsl(double r, double g, double b, double& h, double& s, double& l) {
    const double high = std::max(r, std::max(g, b));
    const double low = std::min(r, std::min(g, b));
    l = (high + low) / 2.0;
    if (high == low) {
        h = s = 0.0;
        return;
    }
    const double d = high - low;
    s = l > 0.5 ? d / (2.0 - high - low) : d / (high + low);
    if (high == r) h = (g - b) / d + (g < b ? 6.0 : 0.0);
    else if (high == g) h = (b - r) / d + 2.0;
    else h = (r - g) / d + 4.0;
    h *= 60.0;
}

double HueToChannel(double p, double q, double t) {
    if (t < 0.0) t += 1.0;
    if (t > 1.0) t -= 1.0;
    if (t < 1.0 / 6.0) return p + (q - p) * 6.0 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3.0) return p + (q - p) * (2.0 / 3.0 - t) * 6.0;
    return p;
}

void HslToRgb(double h, double s, double l, double& r, double& g, double& b) {
    if (s == 0.0) {
        r = g = b = l;
        return;
    }
    const double q = l < 0.5 ? l * (1.0 + s) : l + s - l * s;
    const double p = 2.0 * l - q;
    const double t = h / 360.0;
    r = HueToChannel(p, q, t + 1.0 / 3.0);
    g = HueToChannel(p, q, t);
    b = HueToChannel(p, q, t - 1.0 / 3.0);
}

uint8_t ToByte(double v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0)); }

// Channels 0-255 in and out.
void AdjustChannels(uint8_t& r, uint8_t& g, uint8_t& b, short hue, short saturation, short lightness) {
    double h, s, l;
    RgbToHsl(r / 255.0, g / 255.0, b / 255.0, h, s, l);
    h = std::fmod(h + hue - 180.0, 360.0);
    if (h < 0.0) h += 360.0;
    s = Clamp01(s * saturation / 100.0);
    l = Clamp01(l * lightness / 100.0);
    double rr, gg, bb;
    HslToRgb(h, s, l, rr, gg, bb);
    r = ToByte(rr);
    g = ToByte(gg);
    b = ToByte(bb);
}

bool IsNeutral(short hue, short saturation, short lightness) {
    return hue == 180 && saturation == 100 && lightness == 100;
}

}  // namespace

DWORD CRendererUI::AdjustColor(DWORD color, short hue, short saturation, short lightness) {
    if (IsNeutral(hue, saturation, lightness)) return color;
    uint8_t r = static_cast<uint8_t>(color >> 16), g = static_cast<uint8_t>(color >> 8), b = static_cast<uint8_t>(color);
    AdjustChannels(r, g, b, hue, saturation, lightness);
    return (color & 0xFF000000u) | (static_cast<DWORD>(r) << 16) | (static_cast<DWORD>(g) << 8) | b;
}

void CRendererUI::AdjustImage(bool useHsl, ImageInfoUI* image, short hue, short saturation, short lightness) {
    if (image == nullptr || !image->useHsl || image->bitmap == nullptr || image->bits == nullptr ||
        image->sourceBits == nullptr)
        return;
    const size_t count = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
    if (!useHsl || IsNeutral(hue, saturation, lightness)) {
        memcpy(image->bits, image->sourceBits, count * 4);
        return;
    }
    const uint8_t* in = image->sourceBits;
    uint8_t* out = image->bits;
    for (size_t i = 0; i < count; ++i, in += 4, out += 4) {
        const unsigned a = in[3];
        if (a == 0) {
            out[0] = out[1] = out[2] = out[3] = 0;
            continue;
        }
        // The pixels are premultiplied: adjusted as the colour they show,
        // then premultiplied again so that no channel exceeds the alpha.
        uint8_t b = static_cast<uint8_t>(std::min(255u, in[0] * 255u / a));
        uint8_t g = static_cast<uint8_t>(std::min(255u, in[1] * 255u / a));
        uint8_t r = static_cast<uint8_t>(std::min(255u, in[2] * 255u / a));
        AdjustChannels(r, g, b, hue, saturation, lightness);
        out[0] = static_cast<uint8_t>(b * a / 255);
        out[1] = static_cast<uint8_t>(g * a / 255);
        out[2] = static_cast<uint8_t>(r * a / 255);
        out[3] = static_cast<uint8_t>(a);
    }
}

}  // namespace QuillUI
