// Maps of names to texts that the map owns, in which the first text given
// for a name stays: custom attributes of controls and of windows.
#pragma once
#include "ui/core/values/string_hash_map.h"

namespace QuillUI {

// Ignored when the name or the text is null or empty, or the name is there.
void AddFirstText(CStringHashMap& map, const wchar_t* name, const wchar_t* text);
// Null when the name is not there.
const wchar_t* FindText(CStringHashMap& map, const wchar_t* name);
// Deletes every text and leaves the map empty with that many buckets.
void RemoveAllTexts(CStringHashMap& map, int buckets);

}  // namespace QuillUI
