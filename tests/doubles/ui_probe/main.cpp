// A console probe for tests under Wine. Every command writes UTF-8 lines to
// the standard output; window handles are read and written in decimal (a
// "0x" prefix is accepted on input).
//
//   list                      one line per top-level window:
//                             HWND TAB PID TAB CLASS TAB TITLE TAB VISIBLE
//                             TAB ZOOMED TAB LEFT,TOP,RIGHT,BOTTOM TAB OWNER
//   wait CLASS [MS]           the first top-level window of the class, once
//                             it exists (default 10000 ms); exit 1 on time-out
//   click HWND X Y            a left click at client point X,Y: the cursor is
//                             moved there and the buttons sent as input,
//                             or posted when input cannot be sent
//   post HWND MSG W L         PostMessageW; numbers in decimal or 0x hex
//   copydata HWND HEX [DATA [W]]   WM_COPYDATA with the bytes HEX, dwData
//                             DATA (default 12) and wParam W (default 0);
//                             prints the answer
//   start EXE TAIL [CWD] [--wait MS]
//                             CreateProcessW with the command line
//                             "EXE" TAIL exactly; prints "pid N", and with
//                             --wait "exit N" once it ended
//   cmdline FILE [WORDS...]   writes its own command line, as received, to
//                             FILE (for checking "start")
//   boxes --log FILE [--count N] [--for MS] [--until FILE]
//                             watches for message boxes (class "#32770"),
//                             appends "box TAB CAPTION TAB TEXT" to the log
//                             (line breaks and tabs in the texts as \n, \r,
//                             \t) and presses OK; ends after N boxes, after
//                             MS ms (default 600000) or once FILE exists
//
// Exit code 0 on success, 1 when the command failed, 2 for a usage error.
#include "common/code_page.h"
#include "common/file_util.h"
#include "tests/doubles/append_line.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

void Out(const std::string& line) {
    std::string text = line + "\n";
    DWORD written = 0;
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE)
        WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string Utf8(const std::wstring& text) { return WideToMulti(text, CP_UTF8); }

unsigned long long Number(const wchar_t* text) { return std::wcstoull(text, nullptr, 0); }

HWND WindowArg(const wchar_t* text) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(Number(text)));
}

std::string HandleText(HWND window) {
    return std::to_string(static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring TextOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

std::string Escaped(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\n') out += L"\\n";
        else if (c == L'\r') out += L"\\r";
        else if (c == L'\t') out += L"\\t";
        else out += c;
    }
    return Utf8(out);
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

int List() {
    for (HWND window : TopLevelWindows()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        RECT r = {};
        GetWindowRect(window, &r);
        char rect[96];
        std::snprintf(rect, sizeof(rect), "%ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom);
        Out(HandleText(window) + "\t" + std::to_string(pid) + "\t" + Escaped(ClassOf(window)) + "\t" +
            Escaped(TextOf(window)) + "\t" + (IsWindowVisible(window) ? "1" : "0") + "\t" +
            (IsZoomed(window) ? "1" : "0") + "\t" + rect + "\t" + HandleText(GetWindow(window, GW_OWNER)));
    }
    return 0;
}

int Wait(const wchar_t* className, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowW(className, nullptr);
        if (window != nullptr) {
            Out(HandleText(window));
            return 0;
        }
        if (GetTickCount() - start >= timeoutMs) return 1;
        Sleep(20);
    }
}

int Click(HWND window, int x, int y) {
    if (!IsWindow(window)) return 1;
    POINT p = {x, y};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
    INPUT input[2] = {};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    if (SendInput(2, input, sizeof(INPUT)) == 2) return 0;
    LPARAM at = MAKELPARAM(x, y);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
    return 0;
}

bool ParseHex(const std::wstring& hex, std::string& bytes) {
    if (hex.size() % 2 != 0) return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        wchar_t pair[3] = {hex[i], hex[i + 1], 0};
        wchar_t* end = nullptr;
        unsigned long value = std::wcstoul(pair, &end, 16);
        if (end != pair + 2) return false;
        bytes.push_back(static_cast<char>(value));
    }
    return true;
}

int CopyData(HWND window, const std::wstring& hex, ULONG_PTR data, WPARAM from) {
    std::string bytes;
    if (!ParseHex(hex, bytes)) return 2;
    COPYDATASTRUCT copy = {};
    copy.dwData = data;
    copy.cbData = static_cast<DWORD>(bytes.size());
    copy.lpData = bytes.empty() ? nullptr : &bytes[0];
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, WM_COPYDATA, from, reinterpret_cast<LPARAM>(&copy), SMTO_NORMAL, 10000,
                             &answer)) {
        return 1;
    }
    Out(std::to_string(static_cast<unsigned long long>(answer)));
    return 0;
}

int Start(const std::wstring& exe, const std::wstring& tail, const std::wstring& folder, long waitMs) {
    std::wstring command = L"\"" + exe + L"\"";
    if (!tail.empty()) command += L" " + tail;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        Out("error " + std::to_string(GetLastError()));
        return 1;
    }
    CloseHandle(process.hThread);
    Out("pid " + std::to_string(process.dwProcessId));
    int result = 0;
    if (waitMs >= 0) {
        if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(waitMs)) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process.hProcess, &code);
            Out("exit " + std::to_string(code));
        } else {
            result = 1;
        }
    }
    CloseHandle(process.hProcess);
    return result;
}

void AppendLine(const std::wstring& file, const std::string& line) {
    AppendLineToLog(file, line);
}

BOOL CALLBACK LongestStatic(HWND child, LPARAM best) {
    if (ClassOf(child) == L"Static") {
        std::wstring text = TextOf(child);
        std::wstring* longest = reinterpret_cast<std::wstring*>(best);
        if (text.size() > longest->size()) *longest = text;
    }
    return TRUE;
}

// The box's message: the Static with id 0xFFFF, else the longest Static.
std::wstring BoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    if (text != nullptr) return TextOf(text);
    std::wstring longest;
    EnumChildWindows(box, &LongestStatic, reinterpret_cast<LPARAM>(&longest));
    return longest;
}

int Boxes(const std::wstring& log, long count, DWORD forMs, const std::wstring& until) {
    std::set<HWND> pressed;
    long seen = 0;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < forMs && (until.empty() || !FileExists(until))) {
        for (auto it = pressed.begin(); it != pressed.end();) it = IsWindow(*it) ? std::next(it) : pressed.erase(it);
        for (HWND window : TopLevelWindows()) {
            // A box is read once shown: while it is being created its texts are not set yet.
            if (pressed.count(window) || ClassOf(window) != L"#32770" || !IsWindowVisible(window)) continue;
            std::string line = "box\t" + Escaped(TextOf(window)) + "\t" + Escaped(BoxText(window));
            if (!log.empty()) AppendLine(log, line);
            Out(line);
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            pressed.insert(window);
            if (count > 0 && ++seen >= count) return 0;
        }
        Sleep(10);
    }
    return 0;
}

int Usage() {
    Out("usage: list | wait CLASS [MS] | click HWND X Y | post HWND MSG W L | copydata HWND HEX [DATA [W]] |"
        " start EXE TAIL [CWD] [--wait MS] | cmdline FILE [WORDS] | boxes --log FILE [--count N] [--for MS] [--until F]");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Usage();
    std::wstring command = argv[1];
    std::vector<std::wstring> args(argv + 2, argv + argc);
    if (command == L"list") return List();
    if (command == L"wait" && !args.empty())
        return Wait(args[0].c_str(), args.size() > 1 ? static_cast<DWORD>(Number(args[1].c_str())) : 10000);
    if (command == L"click" && args.size() == 3)
        return Click(WindowArg(args[0].c_str()), static_cast<int>(std::wcstol(args[1].c_str(), nullptr, 0)),
                     static_cast<int>(std::wcstol(args[2].c_str(), nullptr, 0)));
    if (command == L"post" && args.size() == 4)
        return PostMessageW(WindowArg(args[0].c_str()), static_cast<UINT>(Number(args[1].c_str())),
                            static_cast<WPARAM>(Number(args[2].c_str())),
                            static_cast<LPARAM>(Number(args[3].c_str())))
                   ? 0
                   : 1;
    if (command == L"copydata" && args.size() >= 2 && args.size() <= 4)
        return CopyData(WindowArg(args[0].c_str()), args[1],
                        args.size() > 2 ? static_cast<ULONG_PTR>(Number(args[2].c_str())) : 12,
                        args.size() > 3 ? static_cast<WPARAM>(Number(args[3].c_str())) : 0);
    if (command == L"start" && args.size() >= 2) {
        long waitMs = -1;
        std::vector<std::wstring> plain;
        for (size_t i = 0; i < args.size(); ++i) {
            if (args[i] == L"--wait" && i + 1 < args.size()) waitMs = std::wcstol(args[++i].c_str(), nullptr, 0);
            else plain.push_back(args[i]);
        }
        if (plain.size() < 2 || plain.size() > 3) return Usage();
        return Start(plain[0], plain[1], plain.size() > 2 ? plain[2] : std::wstring(), waitMs);
    }
    if (command == L"cmdline" && !args.empty()) {
        std::string line = Utf8(GetCommandLineW());
        return WriteFileAtomically(args[0], line.data(), line.size()) ? 0 : 1;
    }
    if (command == L"boxes") {
        std::wstring log, until;
        long count = 0;
        DWORD forMs = 600000;
        for (size_t i = 0; i + 1 < args.size(); i += 2) {
            if (args[i] == L"--log") log = args[i + 1];
            else if (args[i] == L"--count") count = std::wcstol(args[i + 1].c_str(), nullptr, 0);
            else if (args[i] == L"--for") forMs = static_cast<DWORD>(Number(args[i + 1].c_str()));
            else if (args[i] == L"--until") until = args[i + 1];
            else return Usage();
        }
        return Boxes(log, count, forMs, until);
    }
    return Usage();
}
