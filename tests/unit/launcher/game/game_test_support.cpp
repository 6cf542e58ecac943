#include "game_test_support.h"

#include "common/code_page.h"
#include "common/file_util.h"
#include "tests/unit/common/test_run_folder.h"
#include "ui/core/manager/window_manager_ui.h"

#include <gtest/gtest.h>

namespace game_test {

namespace {

int gQuits = 0;

void DispatchWaiting() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ++gQuits;
            continue;
        }
        if (!QuillUI::CWindowManagerUI::TranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

}  // namespace

void FakeHost::QueueEventReport(const std::wstring& event, const std::wstring& parameter) {
    calls.push_back(Narrow(event) + "|" + Narrow(parameter));
}

std::wstring TestFolder() {
    return TestRunFolder(L"game_runs");
}

bool CopyBeside(const wchar_t* name, const std::wstring& folder, const std::wstring& asName) {
    MakeDirectoryChain(folder);
    return CopyFileW((TestExeFolder() + name).c_str(), (folder + asName).c_str(), FALSE) != FALSE;
}

bool WriteText(const std::wstring& path, const std::string& text) {
    const size_t slash = path.find_last_of(L'\\');
    if (slash != std::wstring::npos) MakeDirectoryChain(path.substr(0, slash + 1));
    return WriteFileAtomically(path, text.data(), text.size());
}

std::string ReadText(const std::wstring& path) {
    std::string text;
    ReadWholeFile(path, text);
    return text;
}

std::string Narrow(const std::wstring& text) { return WideToMulti(text, CP_UTF8); }

bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    while (!done()) {
        if (GetTickCount64() > end) return false;
        DispatchWaiting();
        Sleep(1);
    }
    return true;
}

void Pump(int milliseconds) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    // What is already queued is dispatched even when the thread was held up
    // past the end before its first look.
    DispatchWaiting();
    PumpUntil([&] { return GetTickCount64() >= end; }, milliseconds + 1000);
}

int QuitsSeen() { return gQuits; }

}  // namespace game_test
