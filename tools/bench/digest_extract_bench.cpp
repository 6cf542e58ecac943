// Times FileMd5 on a file or ExtractAll of a package and prints the seconds
// it took, for tools/bench/digest_extract.sh and package_memory.sh to compare
// with native tools. The extraction also prints the process's peak working
// set and peak committed memory in MiB, read from the process itself.
//   qbench_digest_extract md5 FILE
//   qbench_digest_extract extract PACKAGE DESTINATION
//   qbench_digest_extract decode PACKAGE   (every entry decoded, nothing written)
#include "common/md5.h"
#include "common/package_extractor.h"
#include "common/package_file.h"
#include "common/win.h"

#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

double Mib(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

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
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
        std::printf("%s %.3f %.1f %.1f\n", result == kExtractOk ? "ok" : "failed", Seconds(start, end),
                    Mib(counters.PeakWorkingSetSize), Mib(counters.PeakPagefileUsage));
        return result;
    }
    if (mode == L"decode") {
        QueryPerformanceCounter(&start);
        PackageFile package;
        bool ok = package.Open(argv[2]);
        for (uint32_t i = 0; ok && i < package.EntryCount(); ++i)
            if (!package.IsFolder(i)) ok = package.ReadEntry(i, [](const uint8_t*, size_t) { return true; });
        QueryPerformanceCounter(&end);
        std::printf("%s %.3f\n", ok ? "ok" : "failed", Seconds(start, end));
        return ok ? 0 : 1;
    }
    std::fprintf(stderr, "unknown mode\n");
    return 2;
}
