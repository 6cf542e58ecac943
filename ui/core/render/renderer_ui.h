// The framework's stateless drawing operations over GDI: skin images,
// image descriptions, fills, gradients, lines, plain and tagged text,
// bitmaps of a control tree and colour adjustment.
#pragma once
#include "common/win.h"
#include "ui/core/render/image_draw_info_ui.h"
#include "ui/core/render/image_info_ui.h"
#include "ui/core/values/resource_name_or_id.h"
#include "ui/core/values/wide_string.h"

#include <cstdint>

namespace QuillUI {

class CWindowManagerUI;
class CControlUI;

class CRendererUI {
public:
    // Loads an image into a premultiplied 32-bit DIB section. Without a type
    // the name is a skin file (from the skin zip when one is set, else from
    // the resource folder); the type "*COLOR*" makes a 1x1 image of the
    // colour the name gives as hexadecimal AARRGGBB; any other type names a
    // resource of the resource module. A pixel equal to mask (AARRGGBB) becomes
    // transparent. Null on any failure; the caller owns the record (FreeImage).
    static ImageInfoUI* LoadSkinImage(ResourceNameOrId name, const wchar_t* type = nullptr, DWORD mask = 0);
    // Deletes the bitmap and the saved pixels, and the record when asked.
    static void FreeImage(ImageInfoUI* image, bool deleteRecord = true);

    // A bottom-up 32-bit DIB section; bits receives its pixels.
    static HBITMAP CreateARGB32Bitmap(HDC dc, int width, int height, uint8_t** bits);

    // Nine-grid drawing of source from bitmap onto destination: corners 1:1,
    // edges and centre stretched (or the centre tiled, never squeezed). Only
    // pieces that meet paint are drawn.
    static void DrawImage(HDC dc, HBITMAP bitmap, const RECT& destination, const RECT& paint, const RECT& source,
                          const RECT& corners, bool alpha, uint8_t fade = 255, bool hole = false, bool xTiled = false,
                          bool yTiled = false);
    // Parses the description on first use, obtains its image from the
    // manager and draws it over item (a null dc only parses and loads).
    // False when there is no image; without a manager nothing is loaded.
    static bool DrawImageString(HDC dc, CWindowManagerUI* manager, const RECT& item, const RECT& paint,
                                ImageDrawInfoUI& info);

    // Colours are ARGB (0xAARRGGBB).
    static void DrawColor(HDC dc, const RECT& rect, DWORD color);
    static void DrawGradient(HDC dc, const RECT& rect, DWORD first, DWORD second, bool vertical, int steps);
    static void DrawLine(HDC dc, const RECT& rect, int width, DWORD color, int penStyle = PS_SOLID);
    static void DrawRect(HDC dc, const RECT& rect, int width, DWORD color, int penStyle = PS_SOLID);
    static void DrawRoundRect(HDC dc, const RECT& rect, int width, int cornerWidth, int cornerHeight, DWORD color,
                              int penStyle = PS_SOLID);

    // The manager's font of that index, transparent background, DrawTextW
    // with the style plus DT_NOPREFIX; multi-language tokens are replaced.
    static void DrawText(HDC dc, CWindowManagerUI* manager, RECT& rect, const wchar_t* text, DWORD color, int font,
                         UINT style);
    // Text with inline tags; with DT_CALCRECT only measures. links and
    // linkTexts hold linkCount entries on entry; linkCount returns the links
    // found. rect returns the measured extent.
    static void DrawHtmlText(HDC dc, CWindowManagerUI* manager, RECT& rect, const wchar_t* text, DWORD defaultColor,
                             RECT* links, CWideString* linkTexts, int& linkCount, int font, UINT style);

    // The part rect of the window painted into a new 32-bit DIB section that
    // the caller owns, with the overlay colour drawn over it.
    static HBITMAP GenerateBitmap(CWindowManagerUI* manager, const RECT& rect, CControlUI* stopControl = nullptr,
                                  DWORD overlay = 0);

    // Hue 0-360 (180 neutral), saturation and lightness in percent (100 neutral).
    static DWORD AdjustColor(DWORD color, short hue, short saturation, short lightness);
    static void AdjustImage(bool useHsl, ImageInfoUI* image, short hue, short saturation, short lightness);
};

}  // namespace QuillUI
