#include "common/code_page.h"
#include "tests/support/desktop_input_lock.h"
#include "common/file_util.h"

#include <gtest/gtest.h>

#include <windowsx.h>

#include <string>
#include <vector>

namespace {

std::wstring Folder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L"\\/") + 1);
}

std::wstring Probe() { return Folder() + L"qtest_ui_probe.exe"; }

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

struct Process {
    HANDLE handle = nullptr;
    std::wstring output;  // file with its standard output
};

// Starts the probe with its output in a file of its own.
Process StartProbe(const std::wstring& arguments) {
    static int counter = 0;
    Process p;
    p.output = Folder() + L"probe_out_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
               std::to_wstring(++counter) + L".txt";
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE out = CreateFileW(p.output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    std::wstring command = L"\"" + Probe() + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                       &info)) {
        CloseHandle(info.hThread);
        p.handle = info.hProcess;
    }
    CloseHandle(out);
    return p;
}

// Waits for it, pumping this thread's messages meanwhile; its exit code and output.
DWORD Finish(Process& p, std::string* output) {
    DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &p.handle, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
        Pump();
        if (GetTickCount() - start > 30000) break;
    }
    DWORD code = 99;
    GetExitCodeProcess(p.handle, &code);
    CloseHandle(p.handle);
    std::string text;
    ReadWholeFile(p.output, text);
    DeleteFileW(p.output.c_str());
    if (output != nullptr) *output = text;
    return code;
}

DWORD RunProbe(const std::wstring& arguments, std::string* output) {
    Process p = StartProbe(arguments);
    if (p.handle == nullptr) return 98;
    return Finish(p, output);
}

struct Seen {
    std::vector<std::string> events;
};

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    Seen* seen = reinterpret_cast<Seen*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (seen != nullptr && message == 0x8123) {
        seen->events.push_back("posted " + std::to_string(w) + " " + std::to_string(l));
        return 0;
    }
    if (seen != nullptr && (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)) {
        seen->events.push_back(std::string(message == WM_LBUTTONDOWN ? "down " : "up ") +
                               std::to_string(GET_X_LPARAM(l)) + "," + std::to_string(GET_Y_LPARAM(l)));
        return 0;
    }
    if (seen != nullptr && message == WM_COPYDATA) {
        const COPYDATASTRUCT* copy = reinterpret_cast<const COPYDATASTRUCT*>(l);
        seen->events.push_back("copydata " + std::to_string(copy->dwData) + " " +
                               std::string(static_cast<const char*>(copy->lpData), copy->cbData));
        return 77;
    }
    return DefWindowProcW(window, message, w, l);
}

TEST(UiProbe, ListsFindsAndDrivesAWindow) {
    DesktopInputLock desktop;  // the click moves the real cursor
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &TargetProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"qtest_probe_target";
    ASSERT_NE(RegisterClassExW(&wc), 0);
    // Topmost and away from where other tests put their windows: the click
    // goes to whatever window is under the real cursor.
    HWND window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Probe target \x00E9",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 610, 520, 200, 100, nullptr, nullptr, wc.hInstance,
                                  nullptr);
    ASSERT_NE(window, nullptr);
    Seen seen;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&seen));
    const std::string handle = std::to_string(reinterpret_cast<uintptr_t>(window));
    const std::wstring whandle = MultiToWide(handle, CP_UTF8);

    std::string out;
    EXPECT_EQ(RunProbe(L"wait qtest_probe_target 5000", &out), 0u);
    EXPECT_EQ(out, handle + "\n");
    EXPECT_EQ(RunProbe(L"wait qtest_no_such_class 100", &out), 1u);

    EXPECT_EQ(RunProbe(L"list", &out), 0u);
    std::string line = handle + "\t" + std::to_string(GetCurrentProcessId()) +
                       "\tqtest_probe_target\tProbe target \xC3\xA9\t1\t0\t610,520,810,620\t0\n";
    EXPECT_NE(out.find(line), std::string::npos) << out;

    EXPECT_EQ(RunProbe(L"post " + whandle + L" 0x8123 5 7", nullptr), 0u);
    EXPECT_EQ(RunProbe(L"copydata " + whandle + L" 616263 12", &out), 0u);
    EXPECT_EQ(out, "77\n");
    Pump();
    EXPECT_EQ(RunProbe(L"click " + whandle + L" 30 40", nullptr), 0u);
    // The click's input comes through the desktop: awaited, with room for a loaded machine.
    for (DWORD start = GetTickCount(); seen.events.size() < 4 && GetTickCount() - start < 10000;) {
        Pump();
        Sleep(10);
    }
    ASSERT_EQ(seen.events.size(), 4u);
    EXPECT_EQ(seen.events[0], "posted 5 7");
    EXPECT_EQ(seen.events[1], "copydata 12 abc");
    EXPECT_EQ(seen.events[2], "down 30,40");
    EXPECT_EQ(seen.events[3], "up 30,40");
    DestroyWindow(window);
    UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

TEST(UiProbe, StartsAProgramWithAnExactCommandLine) {
    std::wstring file = Folder() + L"probe_cmdline.txt";
    DeleteFileW(file.c_str());
    std::string out;
    // The tail reaches the child exactly as given: blanks, commas, no quotes added.
    EXPECT_EQ(RunProbe(L"start \"" + Probe() + L"\" \"cmdline " + file + L" PROCPARA=a b,ID=7\" --wait 20000", &out),
              0u);
    EXPECT_NE(out.find("exit 0"), std::string::npos) << out;
    std::string text;
    ASSERT_TRUE(ReadWholeFile(file, text));
    EXPECT_EQ(text, WideToMulti(L"\"" + Probe() + L"\" cmdline " + file + L" PROCPARA=a b,ID=7", CP_UTF8));
    DeleteFileW(file.c_str());
}

TEST(UiProbe, TheBoxWatcherLogsAndDismissesAMessageBox) {
    // The watcher presses any box on the shared desktop: no other test's
    // box may show meanwhile.
    DesktopInputLock desktop;
    std::wstring log = Folder() + L"probe_boxes_" + std::to_wstring(GetCurrentProcessId()) + L".log";
    DeleteFileW(log.c_str());
    Process watcher = StartProbe(L"boxes --log \"" + log + L"\" --count 1 --for 30000");
    ASSERT_NE(watcher.handle, nullptr);
    int answer = MessageBoxW(nullptr, L"Line one\nShellExecuteExW  2", L"error", MB_OK);
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(Finish(watcher, nullptr), 0u);
    std::string text;
    ASSERT_TRUE(ReadWholeFile(log, text));
    EXPECT_EQ(text, "box\terror\tLine one\\nShellExecuteExW  2\n");
    DeleteFileW(log.c_str());
}

}  // namespace
