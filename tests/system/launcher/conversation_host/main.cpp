// The launcher's engine conversation in a program of its own, without the
// launcher's windows: it chooses a server at once, lets the conversation
// start the engine from the current folder and writes every effect the
// conversation has into a log, until the game would start.
//
//   qtest_conversation_host.exe --log FILE --server ID [--token T] [--timeout-ms T]
//                               [--choose-again-on EVENT]
//
// --choose-again-on: the first report EVENT makes the same choice once more,
// as a player who chooses again while the engine works.
//
// Log lines (UTF-8): WINDOW h, ENGINE_STARTED pid, REPORT event|parameter,
// TEXT text, PROGRESS done total, START_GAME, OPEN_GAME, HIDE_MAIN_FRAME,
// STOP_RELOADS, QUIT, BOX caption|text, CHOOSE_AGAIN, ENGINE_EXIT code (of the
// first engine started), EXIT reason.
#include "common/code_page.h"
#include "common/process_util.h"
#include "common/unique_handle.h"
#include "launcher/engine_conversation.h"

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const UINT_PTR kConversationTimer = 1001;

FILE* g_log = nullptr;
bool g_done = false;
std::string g_exitReason;
std::wstring g_chooseAgainOn;
bool g_chooseAgain = false;

void Log(const std::string& line) {
    if (g_log == nullptr) return;
    std::fprintf(g_log, "%s\n", line.c_str());
    std::fflush(g_log);
}

std::string Utf8(const std::wstring& text) { return WideToMulti(text, CP_UTF8); }

void Finish(const char* reason) {
    if (!g_done) g_exitReason = reason;
    g_done = true;
}

class LoggingHost final : public EngineConversationHost {
public:
    void QueueEventReport(const std::wstring& event, const std::wstring& parameter) override {
        Log("REPORT " + Utf8(event) + "|" + Utf8(parameter));
        if (!g_chooseAgainOn.empty() && event == g_chooseAgainOn) {
            g_chooseAgain = true;  // made from the loop, not inside the conversation's timer
            g_chooseAgainOn.clear();
        }
    }
    void ShowGameText(const std::wstring& text) override { Log("TEXT " + Utf8(text)); }
    void ShowGameProgress(int32_t done, int32_t total) override {
        Log("PROGRESS " + std::to_string(done) + " " + std::to_string(total));
    }
    void StartGame() override {
        Log("START_GAME");
        Finish("game");
    }
    void StopPageReloads() override { Log("STOP_RELOADS"); }
    bool OpenGameWindow() override {
        Log("OPEN_GAME");
        return true;
    }
    void HideMainAndFrame() override { Log("HIDE_MAIN_FRAME"); }
    void QuitMessageLoop() override {
        Log("QUIT");
        Finish("quit");
    }
};

// The shell's start, remembering the first engine it started: a later one
// hands over to it.
class RecordingStarter final : public ProgramStarter {
public:
    DWORD Start(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
                int showState) override {
        DWORD pid = ShellProgramStarter().Start(file, parameters, folder, showState);
        if (pid != 0) {
            Log("ENGINE_STARTED " + std::to_string(pid));
            if (!engine) engine.Reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid));
        }
        return pid;
    }
    ScopedHandle engine;
};

void LogBox(const wchar_t* text, const wchar_t* caption) { Log("BOX " + Utf8(caption) + "|" + Utf8(text)); }

EngineConversation* g_conversation = nullptr;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_conversation != nullptr) {
        if (message == WM_COPYDATA) {
            g_conversation->QueueCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            return 0;
        }
        if (message == WM_TIMER && wParam == kConversationTimer) {
            g_conversation->OnTimer();
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args(argv, argv + count);
    LocalFree(argv);
    std::wstring logPath, server, token = L"token", timeout = L"120000";
    for (size_t i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == L"--log") logPath = args[i + 1];
        else if (args[i] == L"--server") server = args[i + 1];
        else if (args[i] == L"--token") token = args[i + 1];
        else if (args[i] == L"--timeout-ms") timeout = args[i + 1];
        else if (args[i] == L"--choose-again-on") g_chooseAgainOn = args[i + 1];
    }
    g_log = _wfopen(logPath.c_str(), L"wb");
    if (g_log == nullptr) return 2;
    SetErrorBoxFunction(LogBox);

    WNDCLASSW wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"qtest_conversation_host";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(wc.lpszClassName, L"conversation host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, instance, nullptr);
    Log("WINDOW " + std::to_string(reinterpret_cast<intptr_t>(window)));

    wchar_t folder[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, folder);
    LoggingHost host;
    RecordingStarter starter;
    EngineConversation conversation(host, folder, starter);
    conversation.SetMainWindow(window);
    g_conversation = &conversation;
    SetTimer(window, kConversationTimer, 300, nullptr);
    conversation.OnServerChosen(server, token);

    DWORD start = GetTickCount();
    DWORD limit = static_cast<DWORD>(std::wcstoul(timeout.c_str(), nullptr, 10));
    while (!g_done) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (g_chooseAgain) {
            g_chooseAgain = false;
            Log("CHOOSE_AGAIN");
            conversation.OnServerChosen(server, token);
        }
        if (GetTickCount() - start > limit) Finish("timeout");
        Sleep(10);
    }
    // The engine ends once the game start has taken its launcher's record.
    if (starter.engine) {
        MSG msg;
        DWORD waitStart = GetTickCount();
        while (WaitForSingleObject(starter.engine.Get(), 10) == WAIT_TIMEOUT && GetTickCount() - waitStart < 30000)
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(starter.engine.Get(), &code);
        Log("ENGINE_EXIT " + std::to_string(code));
    }
    g_conversation = nullptr;
    DestroyWindow(window);
    Log("EXIT " + g_exitReason);
    std::fclose(g_log);
    return 0;
}
