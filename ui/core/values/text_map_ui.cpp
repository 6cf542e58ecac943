#include "ui/core/values/text_map_ui.h"

#include <new>

namespace QuillUI {

void AddFirstText(CStringHashMap& map, const wchar_t* name, const wchar_t* text) {
    if (name == nullptr || name[0] == L'\0' || text == nullptr || text[0] == L'\0') return;
    if (map.Find(name, false) != nullptr) return;
    CWideString* copy = new (std::nothrow) CWideString(text);
    if (copy != nullptr && !map.Insert(name, copy)) delete copy;
}

const wchar_t* FindText(CStringHashMap& map, const wchar_t* name) {
    if (name == nullptr) return nullptr;
    const CWideString* text = static_cast<const CWideString*>(map.Find(name));
    return text != nullptr ? text->GetData() : nullptr;
}

void RemoveAllTexts(CStringHashMap& map, int buckets) {
    map.ForEach([](const wchar_t*, void* data) {
        delete static_cast<CWideString*>(data);
        return true;
    });
    map.Resize(buckets);
}

}  // namespace QuillUI
