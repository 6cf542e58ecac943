#include "launcher/flash_invoke_request.h"

namespace {

std::wstring Escaped(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::wstring Request(const wchar_t* name, const wchar_t* type, const std::wstring& value) {
    return std::wstring(L"<invoke name='") + name + L"'><arguments><" + type + L">" + value + L"</" + type +
           L"></arguments></invoke>";
}

}  // namespace

uint64_t ProgressPercent(uint32_t value, uint32_t total) {
    if (total == 0) return 0;
    return static_cast<uint64_t>(value) * 100u / total;
}

std::wstring FlashNumberRequest(const wchar_t* name, uint64_t number) {
    return Request(name, L"number", std::to_wstring(number));
}

std::wstring FlashStringRequest(const wchar_t* name, const std::wstring& text) {
    return Request(name, L"string", Escaped(text));
}
