#include "game_test_support.h"

#include "common/code_page.h"
#include "common/file_util.h"
#include "ui/core/window_manager_ui.h"

#include <gtest/gtest.h>

namespace game_test {

namespace {

int gQuits = 0;

}  // namespace

void FakeHost::QueueEventReport(const std::wstring& event, const std::wstring& parameter) {
    calls.push_back(Narrow(event) + "|" + Narrow(parameter));
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = L"";
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring TestFolder() {
    static int made = 0;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string tag = std::string(test->test_suite_name()) + "_" + test->name() + "_" +
                      std::to_string(GetCurrentProcessId()) + "_" + std::to_string(made++);
    for (char& c : tag)
        if (c == '/') c = '_';
    std::wstring folder = ProgramFolder() + L"game_runs\\" + MultiToWide(tag, CP_UTF8) + L"\\";
    MakeDirectoryChain(folder);
    return folder;
}

bool CopyBeside(const wchar_t* name, const std::wstring& folder, const std::wstring& asName) {
    MakeDirectoryChain(folder);
    return CopyFileW((ProgramFolder() + name).c_str(), (folder + asName).c_str(), FALSE) != FALSE;
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
        Sleep(1);
    }
    return true;
}

void Pump(int milliseconds) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    PumpUntil([&] { return GetTickCount64() >= end; }, milliseconds + 1000);
}

int QuitsSeen() { return gQuits; }

bool InOrder(const std::string& text, const std::vector<std::string>& lines) {
    size_t at = 0;
    for (const std::string& line : lines) {
        at = text.find(line, at);
        if (at == std::string::npos) return false;
        at += line.size();
    }
    return true;
}

int Occurrences(const std::string& text, const std::string& needle) {
    int n = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++n;
    return n;
}

}  // namespace game_test
