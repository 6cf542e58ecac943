// The manager's resource tables: fonts, images, default attribute lists,
// custom window attributes, multi-language texts and default colours.
#include "ui/core/manager/window_manager_ui.h"

#include "ui/core/render/image_info_ui.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/values/resource_name_or_id.h"
#include "ui/core/values/text_map_ui.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace QuillUI {

namespace {

const wchar_t kColorType[] = L"*COLOR*";

// ASCII digits only: iswdigit also accepts other scripts' digits.
bool IsDigit(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }

// The stock GUI font changed by the description; null when GDI refuses it.
HFONT MakeFont(const wchar_t* face, int size, bool bold, bool underline, bool italic) {
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    // lstrcpynW keeps room for the terminator: at most 31 characters.
    ::lstrcpynW(lf.lfFaceName, face != nullptr ? face : L"", LF_FACESIZE);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -size;
    if (bold) lf.lfWeight += FW_BOLD;
    if (underline) lf.lfUnderline = TRUE;
    if (italic) lf.lfItalic = TRUE;
    return ::CreateFontIndirectW(&lf);
}

void Describe(FontInfoUI& info, const wchar_t* face, int size, bool bold, bool underline, bool italic) {
    info.faceName = face;
    info.size = size;
    info.bold = bold;
    info.underline = underline;
    info.italic = italic;
    info.metrics = TEXTMETRICW{};
}

// A name of leading digits names resource 1-65535; anything else no resource.
bool LeadingResourceId(const wchar_t* name, WORD* id) {
    unsigned long value = 0;
    for (const wchar_t* p = name; IsDigit(*p); ++p) {
        value = value * 10 + static_cast<unsigned long>(*p - L'0');
        if (value > 0xFFFF) return false;
    }
    if (value == 0) return false;
    *id = static_cast<WORD>(value);
    return true;
}

ImageInfoUI* LoadImageRecord(const wchar_t* name, const wchar_t* type, DWORD mask) {
    const bool hasType = type != nullptr && *type != L'\0';
    // A colour image's name is its hexadecimal value, which may start with a digit.
    if (!hasType || wcscmp(type, kColorType) == 0 || !IsDigit(name[0])) {
        return CRendererUI::LoadSkinImage(ResourceNameOrId(name), hasType ? type : nullptr, mask);
    }
    WORD id = 0;
    if (!LeadingResourceId(name, &id)) return nullptr;
    return CRendererUI::LoadSkinImage(ResourceNameOrId(id), type, mask);
}

// The window's table first (when it is consulted at all), then the shared one.
template <class Find>
auto WindowThenShared(ResourceTableUI* own, ResourceTableUI& shared, Find find) -> decltype(find(shared)) {
    auto found = own != nullptr ? find(*own) : nullptr;
    return found != nullptr ? found : find(shared);
}

}  // namespace

ResourceTableUI& CWindowManagerUI::TableFor(bool shared) {
    return shared || forceSharedResources_ ? SharedResources() : resources_;
}

ResourceTableUI* CWindowManagerUI::WindowTableForLookup() { return forceSharedResources_ ? nullptr : &resources_; }

// ---- Fonts -----------------------------------------------------------

FontInfoUI* CWindowManagerUI::GetDefaultFontInfo() {
    FontInfoUI& info =
        resources_.defaultFont.faceName.IsEmpty() ? SharedResources().defaultFont : resources_.defaultFont;
    info.EnsureMetrics(paintDC_.Get());
    return &info;
}

void CWindowManagerUI::SetDefaultFont(const wchar_t* face, int size, bool bold, bool underline, bool italic,
                                      bool shared) {
    HFONT font = MakeFont(face, size, bold, underline, italic);
    if (font == nullptr) return;
    FontInfoUI& info = TableFor(shared).defaultFont;
    info.font.Reset(font);
    Describe(info, face, size, bold, underline, italic);
    info.EnsureMetrics(paintDC_.Get());
}

HFONT CWindowManagerUI::AddFont(int index, const wchar_t* face, int size, bool bold, bool underline, bool italic,
                                bool shared) {
    HFONT font = MakeFont(face, size, bold, underline, italic);
    if (font == nullptr) return nullptr;
    FontInfoUI* info = new (std::nothrow) FontInfoUI;
    if (info == nullptr) {
        ::DeleteObject(font);
        return nullptr;
    }
    info->font.Reset(font);
    Describe(*info, face, size, bold, underline, italic);
    return TableFor(shared).ReplaceFont(index, info) ? font : nullptr;
}

FontInfoUI* CWindowManagerUI::GetFontInfo(int index) {
    FontInfoUI* info = nullptr;
    if (index >= 0) {
        info = WindowThenShared(WindowTableForLookup(), SharedResources(),
                                [&](ResourceTableUI& table) { return table.FindFont(index); });
    }
    if (info == nullptr) return GetDefaultFontInfo();
    info->EnsureMetrics(paintDC_.Get());
    return info;
}

HFONT CWindowManagerUI::GetFont(int index) { return GetFontInfo(index)->GetHandle(); }

HFONT CWindowManagerUI::FindFont(const wchar_t* face, int size, bool bold, bool underline, bool italic) {
    FontInfoUI* info = WindowThenShared(WindowTableForLookup(), SharedResources(), [&](ResourceTableUI& table) {
        return table.FindFont(face, size, bold, underline, italic);
    });
    return info != nullptr ? info->GetHandle() : nullptr;
}

FontInfoUI* CWindowManagerUI::GetFontInfoByHandle(HFONT font) {
    FontInfoUI* info = WindowThenShared(WindowTableForLookup(), SharedResources(),
                                        [&](ResourceTableUI& table) { return table.FindFontByHandle(font); });
    if (info == nullptr) return GetDefaultFontInfo();
    info->EnsureMetrics(paintDC_.Get());
    return info;
}

void CWindowManagerUI::RemoveAllFonts(bool shared) { (shared ? SharedResources() : resources_).RemoveAllFonts(); }

int CWindowManagerUI::GetFreeFontIndex() {
    for (;;) {
        int index = NextFontCounter();
        if (!resources_.HasFont(index) && !SharedResources().HasFont(index)) return index;
    }
}

// ---- Images ----------------------------------------------------------

ImageInfoUI* CWindowManagerUI::GetImage(const wchar_t* name) {
    return WindowThenShared(WindowTableForLookup(), SharedResources(),
                            [&](ResourceTableUI& table) { return table.FindImage(name); });
}

ImageInfoUI* CWindowManagerUI::GetImageEx(const wchar_t* name, const wchar_t* type, DWORD mask, bool useHSL) {
    ImageInfoUI* image = GetImage(name);
    return image != nullptr ? image : AddImage(name, type, mask, useHSL, false);
}

ImageInfoUI* CWindowManagerUI::AddImage(const wchar_t* name, const wchar_t* type, DWORD mask, bool useHSL,
                                        bool shared) {
    if (name == nullptr || *name == L'\0') return nullptr;
    ResourceTableUI& table = TableFor(shared);
    // Declared again as before (a window made anew, an included layout):
    // the loaded record serves, and no replaced copy piles up.
    ImageInfoUI* existing = table.FindImage(name);
    if (existing != nullptr && existing->resourceType.Compare(type) == 0 && existing->mask == mask &&
        existing->useHsl == useHSL) {
        return existing;
    }
    ImageInfoUI* image = LoadImageRecord(name, type, mask);
    if (image == nullptr) return nullptr;
    image->useHsl = useHSL;
    image->resourceType = type;
    image->mask = mask;
    if (useHSL && image->sourceBits == nullptr && image->bits != nullptr) {
        const size_t bytes = static_cast<size_t>(image->width) * static_cast<size_t>(image->height) * 4;
        image->sourceBits = static_cast<uint8_t*>(malloc(bytes));
        if (image->sourceBits != nullptr) memcpy(image->sourceBits, image->bits, bytes);
    }
    if (IsUsingHSL()) {
        short hue = 0, saturation = 0, lightness = 0;
        GetHSL(&hue, &saturation, &lightness);
        CRendererUI::AdjustImage(true, image, hue, saturation, lightness);
    }
    if (!table.ReplaceImage(name, image)) {
        CRendererUI::FreeImage(image, true);
        return nullptr;
    }
    return image;
}

void CWindowManagerUI::RemoveAllImages(bool shared) { (shared ? SharedResources() : resources_).RemoveAllImages(); }

// ---- Default attribute lists -----------------------------------------

void CWindowManagerUI::AddDefaultAttributeList(const wchar_t* className, const wchar_t* attributes, bool shared) {
    if (className == nullptr || *className == L'\0') return;
    TableFor(shared).ReplaceAttributeList(className, attributes);
}

const wchar_t* CWindowManagerUI::GetDefaultAttributeList(const wchar_t* className) {
    const CWideString* list = WindowThenShared(WindowTableForLookup(), SharedResources(), [&](ResourceTableUI& table) {
        return table.FindAttributeList(className);
    });
    return list != nullptr ? list->GetData() : nullptr;
}

void CWindowManagerUI::RemoveAllDefaultAttributeList(bool shared) {
    (shared ? SharedResources() : resources_).RemoveAllAttributeLists();
}

// ---- Custom window attributes ----------------------------------------

void CWindowManagerUI::AddWindowCustomAttribute(const wchar_t* name, const wchar_t* value) {
    AddFirstText(customAttributes_, name, value);
}

const wchar_t* CWindowManagerUI::GetWindowCustomAttribute(const wchar_t* name) {
    return FindText(customAttributes_, name);
}

void CWindowManagerUI::RemoveAllWindowCustomAttribute() { RemoveAllTexts(customAttributes_, 83); }

// ---- Multi-language texts --------------------------------------------

void CWindowManagerUI::AddMultiLanguageString(int id, const wchar_t* text) { SharedResources().ReplaceText(id, text); }

const wchar_t* CWindowManagerUI::GetMultiLanguageString(int id) {
    const CWideString* text = SharedResources().FindText(id);
    return text != nullptr ? text->GetData() : nullptr;
}

void CWindowManagerUI::RemoveAllMultiLanguageString() { SharedResources().RemoveAllTexts(); }

void CWindowManagerUI::ProcessMultiLanguageTokens(CWideString& text) {
    const wchar_t* source = text.GetData();
    if (wcschr(source, L'%') == nullptr) return;
    CWideString result;
    const wchar_t* copied = source;  // start of the text not yet copied
    for (const wchar_t* p = source; *p != L'\0'; ++p) {
        if (p[0] != L'%' || p[1] != L'{' || !IsDigit(p[2])) continue;
        const wchar_t* digits = p + 2;
        const wchar_t* end = digits;
        long id = 0;
        bool fits = true;
        for (; IsDigit(*end); ++end) {
            if (id > (0x7FFFFFFF - 9) / 10) fits = false;
            else id = id * 10 + (*end - L'0');
        }
        if (*end != L'}' || !fits) continue;
        const wchar_t* replacement = GetMultiLanguageString(static_cast<int>(id));
        if (replacement == nullptr) continue;
        result += CWideString(copied, static_cast<int>(p - copied));
        result += replacement;
        copied = end + 1;
        p = end;  // the inserted text is never searched again
    }
    if (copied == source) return;
    result += copied;
    text = result;
}

// ---- Default colours -------------------------------------------------

void CWindowManagerUI::SetColor(DWORD ResourceTableUI::*field, DWORD color, bool shared) {
    if (!shared) {
        resources_.*field = color;
        return;
    }
    ResourceTableUI& sharedTable = SharedResources();
    const DWORD old = sharedTable.*field;
    const CPointerArray& managers = Managers();
    for (int i = 0; i < managers.GetSize(); ++i) {
        CWindowManagerUI* manager = static_cast<CWindowManagerUI*>(managers[i]);
        if (manager->resources_.*field == old) manager->resources_.*field = color;
    }
    if (resources_.*field == old) resources_.*field = color;
    sharedTable.*field = color;
}

void CWindowManagerUI::SetDefaultDisabledColor(DWORD color, bool shared) {
    SetColor(&ResourceTableUI::disabledColor, color, shared);
}

void CWindowManagerUI::SetDefaultFontColor(DWORD color, bool shared) {
    SetColor(&ResourceTableUI::fontColor, color, shared);
}

void CWindowManagerUI::SetDefaultLinkFontColor(DWORD color, bool shared) {
    SetColor(&ResourceTableUI::linkFontColor, color, shared);
}

void CWindowManagerUI::SetDefaultLinkHoverFontColor(DWORD color, bool shared) {
    SetColor(&ResourceTableUI::linkHoverFontColor, color, shared);
}

void CWindowManagerUI::SetDefaultSelectedBkColor(DWORD color, bool shared) {
    SetColor(&ResourceTableUI::selectedBkColor, color, shared);
}

}  // namespace QuillUI
