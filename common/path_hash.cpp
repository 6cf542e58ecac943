#include "common/path_hash.h"

#include "common/code_page.h"

uint64_t PathHash(const std::string& ansiPath) {
    uint32_t a = 0, b = 0;
    for (char ch : ansiPath) {
        if (ch == '/') ch = '\\';
        // Only A to Z fold: the key must not depend on the C locale.
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        uint32_t c = static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(ch)));
        a = a * 7u + c;
        b = b * 31u + c;
    }
    return (static_cast<uint64_t>(a) << 32) | b;
}

uint64_t PathHash(const std::wstring& path) { return PathHash(WideToMulti(path, 0)); }
