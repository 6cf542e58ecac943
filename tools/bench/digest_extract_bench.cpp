// Times FileMd5 on a file or ExtractAll of a package and prints the seconds
// it took, for tools/bench/digest_extract.sh to compare with native tools.
//   qbench_digest_extract md5 FILE
//   qbench_digest_extract extract PACKAGE DESTINATION
#include "common/md5.h"
#include "common/package_extractor.h"
#include "common/win.h"

#include <cstdio>
#include <string>

namespace {

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: md5 FILE | extract PACKAGE DESTINATION\n");
        return 2;
    }
    std::wstring mode = argv[1];
    LARGE_INTEGER start, end;
    if (mode == L"md5") {
        QueryPerformanceCounter(&start);
        Md5Digest digest;
        bool ok = FileMd5(argv[2], digest);
        QueryPerformanceCounter(&end);
        std::string hex;
        char pair[3];
        for (uint8_t b : digest.bytes) {
            std::snprintf(pair, sizeof(pair), "%02x", b);
            hex += pair;
        }
        std::printf("%s %.3f\n", ok ? hex.c_str() : "failed", Seconds(start, end));
        return ok ? 0 : 1;
    }
    if (mode == L"extract" && argc >= 4) {
        QueryPerformanceCounter(&start);
        int result = ExtractAll(argv[2], argv[3]);
        QueryPerformanceCounter(&end);
        std::printf("%s %.3f\n", result == kExtractOk ? "ok" : "failed", Seconds(start, end));
        return result;
    }
    std::fprintf(stderr, "unknown mode\n");
    return 2;
}
