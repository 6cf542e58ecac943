#include "scheduler.h"

#include "tests/doubles/this_module.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace comdouble {

namespace {

const wchar_t kHiddenClass[] = L"ComDoubleEvents";
const wchar_t kChildClass[] = L"ComDoubleWindow";
const UINT kRunMessage = WM_APP + 1;

struct Step {
    ULONGLONG due;
    uint64_t order;
    const void* owner;
    std::function<void()> run;
};

std::vector<Step> g_steps;
uint64_t g_order = 0;
HWND g_hidden = nullptr;
bool g_posted = false;

HINSTANCE ModuleInstance() { return ThisModule(); }

void Arm();

void RunOne() {
    ULONGLONG now = GetTickCount64();
    auto next = std::min_element(g_steps.begin(), g_steps.end(), [](const Step& a, const Step& b) {
        return a.due != b.due ? a.due < b.due : a.order < b.order;
    });
    if (next != g_steps.end() && next->due <= now) {
        std::function<void()> run = std::move(next->run);
        g_steps.erase(next);
        run();
    }
    Arm();
}

LRESULT CALLBACK HiddenProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunMessage) {
        g_posted = false;
        RunOne();
        return 0;
    }
    if (message == WM_TIMER) {
        KillTimer(hwnd, 1);
        RunOne();
        return 0;
    }
    if (message == WM_DESTROY && hwnd == g_hidden) g_hidden = nullptr;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        auto* painter = reinterpret_cast<ChildPainter*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        RECT client;
        GetClientRect(hwnd, &client);
        if (painter != nullptr) painter->PaintChild(dc, client);
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool EnsureHidden() {
    if (g_hidden != nullptr) return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = HiddenProc;
    wc.hInstance = ModuleInstance();
    wc.lpszClassName = kHiddenClass;
    RegisterClassExW(&wc);
    g_hidden = CreateWindowExW(0, kHiddenClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    return g_hidden != nullptr;
}

void Arm() {
    if (g_steps.empty() || !EnsureHidden()) return;
    ULONGLONG due = g_steps.front().due;
    for (const Step& s : g_steps) due = std::min(due, s.due);
    ULONGLONG now = GetTickCount64();
    if (due <= now) {
        if (!g_posted) g_posted = PostMessageW(g_hidden, kRunMessage, 0, 0) != FALSE;
    } else {
        SetTimer(g_hidden, 1, static_cast<UINT>(due - now), nullptr);
    }
}

}  // namespace

void Schedule(const void* owner, DWORD delayMs, std::function<void()> step) {
    g_steps.push_back({GetTickCount64() + delayMs, g_order++, owner, std::move(step)});
    Arm();
}

void CancelSteps(const void* owner) {
    g_steps.erase(std::remove_if(g_steps.begin(), g_steps.end(), [owner](const Step& s) { return s.owner == owner; }),
                  g_steps.end());
}

bool HasSteps(const void* owner) {
    return std::any_of(g_steps.begin(), g_steps.end(), [owner](const Step& s) { return s.owner == owner; });
}

HWND CreateChildWindow(HWND parent, const RECT& rect, ChildPainter* painter) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ChildProc;
    wc.hInstance = ModuleInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kChildClass;
    RegisterClassExW(&wc);  // fails harmlessly when registered already
    HWND hwnd = CreateWindowExW(0, kChildClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, wc.hInstance, nullptr);
    if (hwnd != nullptr) SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(painter));
    return hwnd;
}

void ShutdownWindows() {
    g_steps.clear();
    if (g_hidden != nullptr) DestroyWindow(g_hidden);
    g_hidden = nullptr;
    UnregisterClassW(kHiddenClass, ModuleInstance());
    UnregisterClassW(kChildClass, ModuleInstance());
}

}  // namespace comdouble
