// Fetches a list of URLs with the download pool as the engine runs it
// (twice the processors, 3,000 ms attempts, Dispatch every 30 ms tick) and
// prints the bytes and seconds. PAUSE-MS replaces the pause a worker takes
// after each finished task (30 ms in the engine).
//   bench_download_pool URL-LIST OUT-FOLDER [WORKERS [PAUSE-MS]]
#include "common/code_page.h"
#include "common/file_util.h"
#include "engine/download_manager.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_download_pool URL-LIST OUT-FOLDER [WORKERS [PAUSE-MS]]\n");
        return 2;
    }
    std::string list;
    if (!ReadWholeFile(argv[1], list)) {
        std::fprintf(stderr, "cannot read the URL list\n");
        return 2;
    }
    std::vector<std::string> urls;
    size_t pos = 0;
    while (pos < list.size()) {
        size_t end = list.find('\n', pos);
        if (end == std::string::npos) end = list.size();
        if (end > pos) urls.push_back(list.substr(pos, end - pos));
        pos = end + 1;
    }
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    int workers = argc > 3 && _wtoi(argv[3]) > 0 ? _wtoi(argv[3]) : static_cast<int>(info.dwNumberOfProcessors) * 2;
    std::wstring out = argv[2];

    DownloadManager manager;
    if (argc > 4) {
        DownloadTimings timings;
        timings.afterTaskWaitMs = static_cast<DWORD>(_wtoi(argv[4]));
        manager.SetTimings(timings);
    }
    std::atomic<int> done{0}, failed{0};
    manager.SetDoneCallback([&](const std::wstring&, int) {
        ++done;
        return true;
    });
    manager.SetFailedCallback([&](const std::wstring&, int, const std::string&) { ++failed; });
    manager.StartWorkers(workers);

    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (size_t i = 0; i < urls.size(); ++i)
        manager.Enqueue(MultiToWide(urls[i], CP_UTF8), out + L"\\f" + std::to_wstring(i) + L".bin", false, 3000);
    while (done + failed < static_cast<int>(urls.size())) {
        manager.Dispatch();
        Sleep(30);
    }
    QueryPerformanceCounter(&stop);
    double seconds = double(stop.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    std::printf("files=%d failed=%d bytes=%llu seconds=%.3f workers=%d\n", done.load(), failed.load(),
                manager.TotalReceived(), seconds, workers);
    manager.Stop();
    return failed == 0 ? 0 : 1;
}
