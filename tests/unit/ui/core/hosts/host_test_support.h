// A skinned window of the test's own whose messages reach its manager, and
// a folder per test holding a copy of a COM double with its scenario.
#pragma once
#include "common/win.h"
#include "ui/core/hosts/com_declarations_ui.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/window/window_wnd.h"
#include "tests/unit/doubles/double_module.h"
#include "tests/support/desktop_input_lock.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hosts_test {

class HostWindow : public QuillUI::CWindowWnd {
public:
    // At 100,100 so that screen and client coordinates differ. A hidden
    // window never paints, so its layout is the test's own. A visible one
    // takes the foreground and the focus, so it holds the desktop's lock.
    explicit HostWindow(bool visible = false);
    ~HostWindow() override;
    const wchar_t* GetWindowClassName() const override { return L"HostTestWindow"; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    QuillUI::CWindowManagerUI& Manager() { return *manager_; }
    // Deletes the manager and with it the control tree, while the window lives.
    void DeleteTree() { manager_.reset(); }
    // Hands the manager CONTROL as its tree and places it.
    void Attach(QuillUI::CControlUI* control, const RECT& rect);

private:
    std::unique_ptr<DesktopInputLock> desktop_;
    std::unique_ptr<QuillUI::CWindowManagerUI> manager_;
};

// A copy of DLL and SCENARIO (as SCENARIO_NAME) in a folder of this test,
// reached by the host through "modulename". The host never unloads the
// module, so each test has a folder and thereby a module of its own.
class DoubleFolder : public doubles_test::DoubleModule {
public:
    DoubleFolder(const wchar_t* dll, const wchar_t* scenarioName, const std::string& scenario)
        : DoubleModule(dll, scenarioName, scenario), dll_(Folder() + dll) {}
    // The full path, for "modulename".
    const std::wstring& Dll() const { return dll_; }

private:
    std::wstring dll_;
};

using doubles_test::DrawSurface;
using doubles_test::PumpUntil;
// Pumps for a while.
void Pump(int milliseconds);
std::wstring BstrText(BSTR text);

}  // namespace hosts_test
