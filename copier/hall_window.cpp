#include "copier/hall_window.h"

#include "common/about_dialog.h"
#include "common/app_window_class.h"

#include "copier/client_proc.h"
#include "copier/copier_log.h"
#include "copier/resource.h"

#include <memory>

namespace {

LRESULT CALLBACK HallWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDM_ABOUT:
            DialogBoxW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)),
                       MAKEINTRESOURCEW(IDD_ABOUTBOX), window, AboutDialogProc);
            return 0;
        case IDM_EXIT:
            DestroyWindow(window);
            return 0;
        }
        break;
    case WM_PAINT:
        ValidateRect(window, nullptr);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateHallWindow(HINSTANCE instance, int showCommand) {
    wchar_t title[100] = L"";
    wchar_t className[100] = L"";
    LoadStringW(instance, IDS_APP_TITLE, title, 100);
    LoadStringW(instance, IDC_FERRIER, className, 100);

    if (!RegisterAppWindowClass(instance, HallWindowProc, className, IDI_FERRIER, IDI_SMALL, IDC_FERRIER))
        return nullptr;

    HWND window = CreateWindowW(className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                                nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return nullptr;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

}  // namespace

int RunHallMode(HINSTANCE instance, int showCommand, const std::wstring& folder,
                const std::wstring& parameterList) {
    HWND window = CreateHallWindow(instance, showCommand);
    if (window == nullptr) {
        CopierLog(L"the copier window could not be created (error %lu)",
                  static_cast<unsigned long>(GetLastError()));
        return 0;
    }
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDC_FERRIER));
    CopierLog(L"hall mode with the parameter list \"%ls\"", parameterList.c_str());
    std::unique_ptr<ClientProc> client(new ClientProc(folder));
    if (!client->Init(parameterList)) return 0;

    // WM_QUIT does not end the loop: closing the window must not abandon a
    // replacement half way. Only the hall ends it.
    WPARAM lastWParam = 0;
    for (;;) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            lastWParam = msg.wParam;
            if (accelerators == nullptr || !TranslateAcceleratorW(msg.hwnd, accelerators, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        } else if (!client->Poll()) {
            break;
        }
        Sleep(1);
    }
    CopierLog(L"hall mode ends in state %d (%ls)", client->state(), ClientProcStateName(client->state()));
    return static_cast<int>(lastWParam);
}
