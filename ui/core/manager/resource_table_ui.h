// The resources of one window, or the resources that all windows share:
// default colours, the default font, and fonts, images, default attribute
// lists and multi-language texts by key. The table owns every value it holds.
#pragma once
#include "common/win.h"
#include "ui/core/render/font_info_ui.h"
#include "ui/core/values/pointer_array.h"
#include "ui/core/values/string_hash_map.h"
#include "ui/core/values/wide_string.h"

namespace QuillUI {

struct ImageInfoUI;

class ResourceTableUI {
public:
    ResourceTableUI() = default;
    ResourceTableUI(const ResourceTableUI&) = delete;
    ResourceTableUI& operator=(const ResourceTableUI&) = delete;
    ~ResourceTableUI();

    // Fonts, keyed by the index in decimal.
    FontInfoUI* FindFont(int index);
    FontInfoUI* FindFontByHandle(HFONT font);
    // Face name compared case-sensitively; the first match in table order.
    FontInfoUI* FindFont(const wchar_t* face, int size, bool bold, bool underline, bool italic);
    // Takes the record; an entry with the same index is deleted first. False
    // (and the record deleted) when the entry cannot be stored.
    bool ReplaceFont(int index, FontInfoUI* info);
    bool HasFont(int index);
    void RemoveAllFonts();

    ImageInfoUI* FindImage(const wchar_t* name);
    // Takes the record. A record it replaces stays alive until the images are
    // removed, because controls keep pointers to the records they draw.
    bool ReplaceImage(const wchar_t* name, ImageInfoUI* image);
    void RemoveAllImages();

    // Default attribute lists (by control class) and multi-language texts (by
    // id in decimal): copies of the text, replaced as a whole.
    const CWideString* FindAttributeList(const wchar_t* className);
    bool ReplaceAttributeList(const wchar_t* className, const wchar_t* text);
    void RemoveAllAttributeLists();
    const CWideString* FindText(int id);
    bool ReplaceText(int id, const wchar_t* text);
    void RemoveAllTexts();

    // ARGB, in the order disabled text, text, link, link hover, selected background.
    DWORD disabledColor = 0;
    DWORD fontColor = 0;
    DWORD linkFontColor = 0;
    DWORD linkHoverFontColor = 0;
    DWORD selectedBkColor = 0;
    FontInfoUI defaultFont;

private:
    static bool ReplaceString(CStringHashMap& map, const wchar_t* key, const wchar_t* text);
    static void DeleteStrings(CStringHashMap& map);

    CStringHashMap fonts_{83};
    CStringHashMap images_{83};
    CStringHashMap attributeLists_{83};
    CStringHashMap texts_{83};
    CPointerArray retiredImages_;
};

}  // namespace QuillUI
