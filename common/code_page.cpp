#include "common/code_page.h"

#include "common/win.h"

std::wstring MultiToWide(const std::string& text, unsigned codePage) {
    int count = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
    if (count <= 1) return std::wstring();
    std::wstring out(static_cast<size_t>(count), L'\0');
    count = MultiByteToWideChar(codePage, 0, text.c_str(), -1, &out[0], count);
    if (count <= 1) return std::wstring();
    out.resize(static_cast<size_t>(count - 1));  // drop the terminator
    return out;
}

std::string WideToMulti(const std::wstring& text, unsigned codePage) {
    int count = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (count <= 1) return std::string();
    std::string out(static_cast<size_t>(count), '\0');
    count = WideCharToMultiByte(codePage, 0, text.c_str(), -1, &out[0], count, nullptr, nullptr);
    if (count <= 1) return std::string();
    out.resize(static_cast<size_t>(count - 1));
    return out;
}
