// A stand-in for the launcher's side of the engine conversation. It opens a
// hidden window, starts the engine with that window's handle, answers the
// engine's greeting (and creates "qln_launcher_ok"), writes every frame it
// receives into a log file and follows a small script.
//
//   qtest_launcher.exe --log FILE [options]
//     --engine PATH       engine to start (default: Tidemill.exe in the current folder)
//     --engine-args TEXT  its command line (default: this window's handle in decimal)
//     --no-engine         start no engine
//     --ini-slot N        first write this window as fwndN into ./Tidemill.ini [Tidemill]
//     --server ID         send eActionType_CheckVer with ID after eCallBackType_PreDownloadReady
//     --go-file PATH      ... but only once PATH exists
//     --start-game        send eActionType_StartGame after eCallBackType_PrePatchVer
//     --manual-update     send eActionType_ManualUpdate after eCallBackType_PrePatchVer
//     --close-on N        destroy the window after callback value N
//     --exit-on N         finish after callback value N
//     --stop-file PATH    finish once PATH exists
//     --kill-file PATH    once PATH exists, end the engine with TerminateProcess and finish
//     --wait-engine       when finishing, first wait for the engine to end
//     --exit-with-engine  finish when the engine has ended
//     --timeout-ms T      finish after T ms whatever happened (default 120000)
//     --relaunch exit|linger  on eCallBackType_WaitRelaunch start "Ferrier.exe 1" from the
//                         current folder, then finish at once or stay until ended
//
// Started with the single word "restart" (as the copier starts a new
// launcher), it takes its options from "<own file>.restart" beside itself,
// one word a line.
//
// Log lines (UTF-8): WINDOW h, ENGINE_STARTED pid, ENGINE_START_FAILED err,
// NOTIFY_WND h FROM w VISIBLE v, CALLBACK n name, TEXT slot text, PROGRESS done total,
// CORE_TEXT text, SENT what, CLOSED_WINDOW, ENGINE_EXIT code, ENGINE_KILLED, EXIT reason,
// RESTARTED, COPIER_STARTED pid, COPIER_START_FAILED, BOX text.
// Line breaks inside texts are written as \n and \r.
#include "common/code_page.h"
#include "common/file_util.h"
#include "common/module_path.h"
#include "common/process_util.h"
#include "common/protocol_deal.h"
#include "common/unique_handle.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct Options {
    std::wstring log;
    std::wstring engine;
    std::wstring engineArgs;
    bool engineArgsGiven = false;
    bool startEngine = true;
    int iniSlot = -1;
    std::string server;
    bool sendCheckVer = false;
    std::wstring goFile;
    int afterPatch = -1;  // eActionType to send after eCallBackType_PrePatchVer
    std::set<int> closeOn;
    std::set<int> exitOn;
    std::wstring stopFile;
    std::wstring killFile;
    bool waitEngine = false;
    bool exitWithEngine = false;
    DWORD timeoutMs = 120000;
    enum class Relaunch { kNone, kExit, kLinger } relaunch = Relaunch::kNone;
    bool restarted = false;
};

Options g_options;
FILE* g_log = nullptr;
HWND g_window = nullptr;
HWND g_engineWindow = nullptr;
std::deque<std::vector<uint8_t>> g_inbox;
std::vector<WPARAM> g_senders;

void Log(const std::string& line) {
    if (g_log == nullptr) return;
    std::string clean;
    for (char c : line) {
        if (c == '\n') clean += "\\n";
        else if (c == '\r') clean += "\\r";
        else clean += c;
    }
    std::fprintf(g_log, "%s\n", clean.c_str());
    std::fflush(g_log);
}

std::string Narrow(const std::wstring& text) { return WideToMulti(text, CP_UTF8); }

bool Exists(const std::wstring& path) { return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The options of a restarted launcher: one word a line in "<own file>.restart".
bool ReadRestartOptions(std::vector<std::wstring>& words) {
    std::string text;
    if (!ReadWholeFile(ExecutablePath() + L".restart", text)) return false;
    std::wstring all = MultiToWide(text, CP_UTF8);
    size_t at = 0;
    while (at <= all.size()) {
        size_t end = all.find(L'\n', at);
        if (end == std::wstring::npos) end = all.size();
        std::wstring word = all.substr(at, end - at);
        if (!word.empty() && word.back() == L'\r') word.pop_back();
        if (!word.empty()) words.push_back(word);
        at = end + 1;
    }
    return true;
}

bool ParseOptions(Options& options) {
    int argCount = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argCount);
    if (argv == nullptr) return false;
    std::vector<std::wstring> args(argv, argv + argCount);
    LocalFree(argv);
    if (args.size() == 2 && args[1] == L"restart") {
        options.restarted = true;
        args.resize(1);
        if (!ReadRestartOptions(args)) return false;
    }
    const int count = static_cast<int>(args.size());
    bool ok = true;
    for (int i = 1; i < count && ok; ++i) {
        const std::wstring& arg = args[i];
        auto next = [&](std::wstring& out) {
            if (i + 1 >= count) {
                ok = false;
                return;
            }
            out = args[++i];
        };
        std::wstring value;
        if (arg == L"--log") next(options.log);
        else if (arg == L"--engine") next(options.engine);
        else if (arg == L"--engine-args") {
            next(options.engineArgs);
            options.engineArgsGiven = true;
        } else if (arg == L"--no-engine") options.startEngine = false;
        else if (arg == L"--ini-slot") {
            next(value);
            options.iniSlot = _wtoi(value.c_str());
        } else if (arg == L"--server") {
            next(value);
            options.server = Narrow(value);
            options.sendCheckVer = true;
        } else if (arg == L"--go-file") next(options.goFile);
        else if (arg == L"--start-game") options.afterPatch = eActionType_StartGame;
        else if (arg == L"--manual-update") options.afterPatch = eActionType_ManualUpdate;
        else if (arg == L"--close-on") {
            next(value);
            options.closeOn.insert(_wtoi(value.c_str()));
        } else if (arg == L"--exit-on") {
            next(value);
            options.exitOn.insert(_wtoi(value.c_str()));
        } else if (arg == L"--stop-file") next(options.stopFile);
        else if (arg == L"--kill-file") next(options.killFile);
        else if (arg == L"--wait-engine") options.waitEngine = true;
        else if (arg == L"--exit-with-engine") options.exitWithEngine = true;
        else if (arg == L"--timeout-ms") {
            next(value);
            options.timeoutMs = static_cast<DWORD>(_wtoi(value.c_str()));
        } else if (arg == L"--relaunch") {
            next(value);
            if (value == L"exit") options.relaunch = Options::Relaunch::kExit;
            else if (value == L"linger") options.relaunch = Options::Relaunch::kLinger;
            else ok = false;
        } else ok = false;
    }
    return ok && !options.log.empty();
}

LRESULT CALLBACK DoubleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        // Copied at once: the sender's buffer is only valid during the call.
        g_inbox.push_back(CopyDataFrame::Copy(reinterpret_cast<const COPYDATASTRUCT*>(lParam)));
        g_senders.push_back(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// What the launcher does on eCallBackType_WaitRelaunch without a hall: the
// copier from its own folder, hidden, with "1".
bool StartCopier() {
    std::wstring folder = CurrentFolder();
    DWORD pid = RunProgram(folder + L"\\Ferrier.exe", L"1", folder + L"\\", SW_HIDE, false);
    if (pid == 0) {
        Log("COPIER_START_FAILED");
        return false;
    }
    Log("COPIER_STARTED " + std::to_string(pid));
    return true;
}

void LogBox(const wchar_t* text, const wchar_t*) { Log("BOX " + Narrow(text)); }

class Script {
public:
    explicit Script(ProtocolDeal& deal) : deal_(deal) {}

    void OnNotifyWnd(WPARAM sender, const ChannelIntRecord& record) {
        g_engineWindow = ChannelToWindow(record.value);
        Log("NOTIFY_WND " + std::to_string(record.value) + " FROM " +
            std::to_string(static_cast<long long>(sender)) + " VISIBLE " +
            std::to_string(IsWindowVisible(g_engineWindow) ? 1 : 0));
        ChannelIntRecord answer = {WindowToChannel(g_window)};
        deal_.SendCopyData(g_engineWindow, CF_NOTIFY_WND, &answer, reinterpret_cast<WPARAM>(g_window));
        // Kept open for the rest of the process, as the launcher does.
        HANDLE mutex = CreateMutexW(nullptr, TRUE, L"qln_launcher_ok");
        if (mutex != nullptr) mutexes_.push_back(mutex);
    }

    void OnCallback(int value) {
        Log("CALLBACK " + std::to_string(value) + " " + CallBackTypeName(value));
        if (value == eCallBackType_PreDownloadReady && g_options.sendCheckVer) checkVerDue_ = true;
        if (value == eCallBackType_PrePatchVer && g_options.afterPatch >= 0) {
            SendAction(g_options.afterPatch, "");
        }
        if (g_options.closeOn.count(value) != 0 && g_window != nullptr) {
            DestroyWindow(g_window);
            g_window = nullptr;
            Log("CLOSED_WINDOW");
        }
        if (g_options.exitOn.count(value) != 0) finishing_ = true;
        if (value == eCallBackType_WaitRelaunch && g_options.relaunch != Options::Relaunch::kNone) {
            // The real launcher stays and is ended by the copier; "exit" makes way at once.
            if (StartCopier() && g_options.relaunch == Options::Relaunch::kExit) finishing_ = leaving_ = true;
        }
    }

    // Sends the deferred version check once its go file exists.
    void Poll() {
        if (checkVerDue_ && (g_options.goFile.empty() || Exists(g_options.goFile))) {
            checkVerDue_ = false;
            SendAction(eActionType_CheckVer, g_options.server);
        }
        if (Exists(g_options.stopFile)) finishing_ = true;
    }

    bool Finishing() const { return finishing_; }
    // Finishing without waiting for the engine.
    bool Leaving() const { return leaving_; }

    ~Script() {
        for (HANDLE mutex : mutexes_) CloseHandle(mutex);
    }

private:
    void SendAction(int action, const std::string& text) {
        if (g_engineWindow == nullptr || g_window == nullptr) {
            Log(std::string("SENT_NOTHING ") + ActionTypeName(action));
            return;
        }
        ChannelSlotTextRecord record = {};
        record.slot = action;
        std::strncpy(record.text, text.c_str(), sizeof(record.text) - 1);
        DWORD result = deal_.SendCopyData(g_engineWindow, CF_ACTION, &record, reinterpret_cast<WPARAM>(g_window));
        Log(std::string("SENT ") + ActionTypeName(action) + (text.empty() ? "" : " " + text) +
            (result == 0 ? "" : " ERROR " + std::to_string(result)));
    }

    ProtocolDeal& deal_;
    std::vector<HANDLE> mutexes_;
    bool checkVerDue_ = false;
    bool finishing_ = false;
    bool leaving_ = false;
};

bool WriteIniSlot(int slot) {
    wchar_t key[32];
    wchar_t value[32];
    _snwprintf(key, 32, L"fwnd%d", slot);
    _snwprintf(value, 32, L"%d", WindowToChannel(g_window));
    return WritePrivateProfileStringW(L"Tidemill", key, value, L"./Tidemill.ini") != FALSE;
}

ScopedHandle StartEngine() {
    std::wstring engine = g_options.engine.empty() ? CurrentFolder() + L"\\Tidemill.exe" : g_options.engine;
    std::wstring args = g_options.engineArgsGiven ? g_options.engineArgs
                                                  : std::to_wstring(WindowToChannel(g_window));
    std::wstring commandLine = L"\"" + engine + L"\" " + args;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;  // the engine keeps its window hidden regardless
    PROCESS_INFORMATION info = {};
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    if (!CreateProcessW(engine.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        Log("ENGINE_START_FAILED " + std::to_string(GetLastError()));
        return ScopedHandle();
    }
    CloseHandle(info.hThread);
    Log("ENGINE_STARTED " + std::to_string(info.dwProcessId));
    return ScopedHandle(info.hProcess);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    if (!ParseOptions(g_options)) return 2;
    g_log = _wfopen(g_options.log.c_str(), L"ab");
    if (g_log == nullptr) return 3;

    WNDCLASSW wc = {};
    wc.lpfnWndProc = DoubleProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"QuillonLauncherDouble";
    RegisterClassW(&wc);
    g_window = CreateWindowW(wc.lpszClassName, L"launcher double", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr, instance, nullptr);
    if (g_window == nullptr) {
        Log("EXIT no window");
        return 4;
    }
    if (g_options.restarted) Log("RESTARTED");
    Log("WINDOW " + std::to_string(WindowToChannel(g_window)));
    SetErrorBoxFunction(LogBox);

    // The codec's tables are large: kept off the stack.
    std::unique_ptr<ProtocolDeal> dealOwner(new ProtocolDeal);
    ProtocolDeal& deal = *dealOwner;
    Script script(deal);
    deal.RegisterHandler(CF_NOTIFY_WND, [&script](WPARAM sender, const void* record, int32_t) {
        script.OnNotifyWnd(sender, *static_cast<const ChannelIntRecord*>(record));
    });
    deal.RegisterHandler(CF_CALLBACK_TYPE, [&script](WPARAM, const void* record, int32_t) {
        script.OnCallback(static_cast<const ChannelIntRecord*>(record)->value);
    });
    deal.RegisterHandler(CF_TEXT_SLOT, [](WPARAM, const void* record, int32_t) {
        const auto* slot = static_cast<const ChannelSlotTextRecord*>(record);
        Log("TEXT " + std::to_string(slot->slot) + " " + slot->text);
    });
    deal.RegisterHandler(CF_PROGRESS, [](WPARAM, const void* record, int32_t) {
        const auto* progress = static_cast<const ChannelProgressRecord*>(record);
        Log("PROGRESS " + std::to_string(progress->done) + " " + std::to_string(progress->total));
    });
    deal.RegisterHandler(CF_CORE_TEXT, [](WPARAM, const void* record, int32_t) {
        Log(std::string("CORE_TEXT ") + static_cast<const ChannelTextRecord*>(record)->text);
    });

    if (g_options.iniSlot >= 0 && !WriteIniSlot(g_options.iniSlot)) Log("INI_WRITE_FAILED");
    ScopedHandle engine;
    if (g_options.startEngine) engine = StartEngine();

    const char* reason = "timeout";
    DWORD start = GetTickCount();
    while (GetTickCount() - start < g_options.timeoutMs) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        while (!g_inbox.empty()) {
            std::vector<uint8_t> frame = std::move(g_inbox.front());
            WPARAM sender = g_senders.front();
            g_inbox.pop_front();
            g_senders.erase(g_senders.begin());
            if (!deal.OnReceive(sender, frame.data(), static_cast<int32_t>(frame.size()))) {
                Log("DROPPED " + std::to_string(frame.size()));
            }
        }
        script.Poll();
        if (engine && Exists(g_options.killFile)) {
            // As a task manager ends it: none of its own clean-up runs.
            TerminateProcess(engine.Get(), 9);
            WaitForSingleObject(engine.Get(), INFINITE);
            engine.Reset();
            Log("ENGINE_KILLED");
            reason = "killed";
            break;
        }
        if (engine && WaitForSingleObject(engine.Get(), 0) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(engine.Get(), &code);
            Log("ENGINE_EXIT " + std::to_string(code));
            engine.Reset();
            if (g_options.exitWithEngine) {
                reason = "done";
                break;
            }
        }
        if (script.Finishing() && (!g_options.waitEngine || !engine || script.Leaving())) {
            reason = "done";
            break;
        }
        Sleep(5);
    }
    if (engine) Log("ENGINE_RUNNING");
    if (g_window != nullptr) DestroyWindow(g_window);
    Log(std::string("EXIT ") + reason);
    std::fclose(g_log);
    return 0;
}
