#include "host_test_support.h"

#include "common/file_util.h"

#include <gtest/gtest.h>

namespace hosts_test {

namespace {

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

void RemoveFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileW((folder + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// The host keeps a double's module loaded until its process ends, so a run's
// folder goes once the process that made it is gone. The folder's name ends
// in "_PID_N".
void RemoveFinishedRuns(const std::wstring& runs) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((runs + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || name == L"." || name == L"..") continue;
        size_t last = name.rfind(L'_');
        size_t before = last == std::wstring::npos || last == 0 ? std::wstring::npos : name.rfind(L'_', last - 1);
        if (before == std::wstring::npos) continue;
        DWORD pid = wcstoul(name.substr(before + 1, last - before - 1).c_str(), nullptr, 10);
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
        bool running = process != nullptr && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        if (process != nullptr) CloseHandle(process);
        if (!running) RemoveFolder(runs + name + L"\\");
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

HostWindow::HostWindow(bool visible) {
    QuillUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    Create(nullptr, L"hosts", WS_POPUP | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0), 0, 100, 100, 400, 300);
    manager_.reset(new QuillUI::CWindowManagerUI());
    manager_->Init(GetHWND());
}

HostWindow::~HostWindow() {
    manager_.reset();
    if (GetHWND() != nullptr) DestroyWindow(GetHWND());
}

void HostWindow::Attach(QuillUI::CControlUI* control, const RECT& rect) {
    manager_->AttachDialog(control);
    control->SetPos(rect);
}

LRESULT HostWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (manager_ != nullptr && manager_->MessageHandler(message, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = L"";
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

DoubleFolder::DoubleFolder(const wchar_t* dll, const wchar_t* scenarioName, const std::string& scenario) {
    static int made = 0;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string tag = std::string(test->test_suite_name()) + "_" + test->name() + "_" +
                      std::to_string(GetCurrentProcessId()) + "_" + std::to_string(made++);
    for (char& c : tag)
        if (c == '/') c = '_';
    const std::wstring runs = ProgramFolder() + L"host_runs\\";
    if (made == 1) RemoveFinishedRuns(runs);
    folder_ = runs + Widen(tag) + L"\\";
    MakeDirectoryChain(folder_);
    std::wstring name = dll;
    logName_ = name == L"browser_double.dll" ? L"browser_calls.log" : L"flash_calls.log";
    DeleteFileW((folder_ + logName_).c_str());
    dll_ = folder_ + name;
    EXPECT_TRUE(CopyFileW((ProgramFolder() + name).c_str(), dll_.c_str(), FALSE));
    EXPECT_TRUE(WriteFileAtomically(folder_ + scenarioName, scenario.data(), scenario.size()));
}

std::string DoubleFolder::Log() const {
    std::string text;
    ReadWholeFile(folder_ + logName_, text);
    return text;
}

long DoubleFolder::Count(const char* name) const {
    HMODULE module = GetModuleHandleW(dll_.c_str());
    if (module == nullptr) return -100;
    auto count = reinterpret_cast<LONG(STDAPICALLTYPE*)(const char*)>(
        reinterpret_cast<void*>(GetProcAddress(module, "ComDoubleCount")));
    return count != nullptr ? count(name) : -100;
}

HRESULT DoubleFolder::Play(const char* line) const {
    HMODULE module = GetModuleHandleW(dll_.c_str());
    if (module == nullptr) return E_FAIL;
    auto play = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(const char*)>(
        reinterpret_cast<void*>(GetProcAddress(module, "ComDoublePlay")));
    return play != nullptr ? play(line) : E_FAIL;
}

bool PumpUntil(const std::function<bool()>& done) {
    ULONGLONG end = GetTickCount64() + 5000;
    while (!done()) {
        if (GetTickCount64() > end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    }
    return true;
}

void Pump(int milliseconds) {
    ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    PumpUntil([&] { return GetTickCount64() >= end; });
}

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

std::wstring BstrText(BSTR text) { return text != nullptr ? std::wstring(text, SysStringLen(text)) : L""; }

}  // namespace hosts_test
