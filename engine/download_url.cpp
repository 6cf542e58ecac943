#include "engine/download_url.h"

#include "common/code_page.h"
#include "common/win.h"

std::wstring PrepareDownloadUrl(const std::wstring& url) {
    std::wstring slashed = url;
    for (wchar_t& c : slashed)
        if (c == L'\\') c = L'/';
    static const char hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : WideToMulti(slashed, CP_ACP)) {
        if (c & 0x80) {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 15];
        } else if (c == ' ') {
            encoded += "%20";
        } else {
            encoded += static_cast<char>(c);
        }
    }
    return MultiToWide(encoded, CP_UTF8);
}
