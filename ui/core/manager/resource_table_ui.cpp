#include "ui/core/manager/resource_table_ui.h"

#include "ui/core/render/image_info_ui.h"
#include "ui/core/render/renderer_ui.h"

#include <cwchar>
#include <new>

namespace QuillUI {

namespace {

CWideString DecimalKey(int value) {
    wchar_t key[16];
    swprintf(key, 16, L"%d", value);
    return CWideString(key);
}

}  // namespace

ResourceTableUI::~ResourceTableUI() {
    RemoveAllFonts();
    RemoveAllImages();
    RemoveAllAttributeLists();
    RemoveAllTexts();
}

FontInfoUI* ResourceTableUI::FindFont(int index) {
    return static_cast<FontInfoUI*>(fonts_.Find(DecimalKey(index).GetData()));
}

bool ResourceTableUI::HasFont(int index) { return FindFont(index) != nullptr; }

FontInfoUI* ResourceTableUI::FindFontByHandle(HFONT font) {
    FontInfoUI* found = nullptr;
    fonts_.ForEach([&](const wchar_t*, void* data) {
        FontInfoUI* info = static_cast<FontInfoUI*>(data);
        if (info->GetHandle() == font) found = info;
        return found == nullptr;
    });
    return found;
}

FontInfoUI* ResourceTableUI::FindFont(const wchar_t* face, int size, bool bold, bool underline, bool italic) {
    FontInfoUI* found = nullptr;
    fonts_.ForEach([&](const wchar_t*, void* data) {
        FontInfoUI* info = static_cast<FontInfoUI*>(data);
        if (info->faceName.Compare(face) == 0 && info->size == size && info->bold == bold &&
            info->underline == underline && info->italic == italic) {
            found = info;
        }
        return found == nullptr;
    });
    return found;
}

bool ResourceTableUI::ReplaceFont(int index, FontInfoUI* info) {
    CWideString key = DecimalKey(index);
    FontInfoUI* old = static_cast<FontInfoUI*>(fonts_.Find(key.GetData()));
    if (old != nullptr) {
        fonts_.Remove(key.GetData());
        delete old;
    }
    if (fonts_.Insert(key.GetData(), info)) return true;
    delete info;
    return false;
}

void ResourceTableUI::RemoveAllFonts() {
    fonts_.ForEach([](const wchar_t*, void* data) {
        delete static_cast<FontInfoUI*>(data);
        return true;
    });
    fonts_.Resize(83);
}

ImageInfoUI* ResourceTableUI::FindImage(const wchar_t* name) { return static_cast<ImageInfoUI*>(images_.Find(name)); }

bool ResourceTableUI::ReplaceImage(const wchar_t* name, ImageInfoUI* image) {
    ImageInfoUI* old = static_cast<ImageInfoUI*>(images_.Find(name));
    if (old == nullptr) return images_.Insert(name, image);
    if (!retiredImages_.Add(old)) return false;
    images_.Set(name, image);
    return true;
}

void ResourceTableUI::RemoveAllImages() {
    images_.ForEach([](const wchar_t*, void* data) {
        CRendererUI::FreeImage(static_cast<ImageInfoUI*>(data), true);
        return true;
    });
    images_.Resize(83);
    for (int i = 0; i < retiredImages_.GetSize(); ++i) {
        CRendererUI::FreeImage(static_cast<ImageInfoUI*>(retiredImages_[i]), true);
    }
    retiredImages_.Empty();
}

bool ResourceTableUI::ReplaceString(CStringHashMap& map, const wchar_t* key, const wchar_t* text) {
    CWideString* copy = new (std::nothrow) CWideString(text);
    if (copy == nullptr) return false;
    CWideString* old = static_cast<CWideString*>(map.Find(key));
    if (old != nullptr) {
        map.Set(key, copy);
        delete old;
        return true;
    }
    if (map.Insert(key, copy)) return true;
    delete copy;
    return false;
}

void ResourceTableUI::DeleteStrings(CStringHashMap& map) {
    map.ForEach([](const wchar_t*, void* data) {
        delete static_cast<CWideString*>(data);
        return true;
    });
    map.Resize(83);
}

const CWideString* ResourceTableUI::FindAttributeList(const wchar_t* className) {
    return static_cast<const CWideString*>(attributeLists_.Find(className));
}

bool ResourceTableUI::ReplaceAttributeList(const wchar_t* className, const wchar_t* text) {
    return ReplaceString(attributeLists_, className, text);
}

void ResourceTableUI::RemoveAllAttributeLists() { DeleteStrings(attributeLists_); }

const CWideString* ResourceTableUI::FindText(int id) {
    return static_cast<const CWideString*>(texts_.Find(DecimalKey(id).GetData()));
}

bool ResourceTableUI::ReplaceText(int id, const wchar_t* text) {
    return ReplaceString(texts_, DecimalKey(id).GetData(), text);
}

void ResourceTableUI::RemoveAllTexts() { DeleteStrings(texts_); }

}  // namespace QuillUI
