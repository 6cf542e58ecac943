// The base of every skinned top-level window: it strips the native caption
// and frame, finds the skin (a folder, a zip file, or markup or a zip stored
// as a resource), builds the control tree from the window's layout and
// behaves like a captionless window: dragging by the caption area, sizing
// by invisible borders, rounded corners, maximising to the work area and
// the buttons "closebtn", "minbtn", "maxbtn" and "restorebtn".
#pragma once
#include "common/win.h"
#include "ui/core/markup/dialog_builder.h"
#include "ui/core/window/notify_pump.h"
#include "ui/core/values/wide_string.h"
#include "ui/core/manager/window_listeners_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/window/window_wnd.h"

namespace QuillUI {

// Where a window's skin comes from.
enum SkinResourceTypeUI {
    kSkinFolder = 1,       // the layout file in the skin folder
    kSkinZipFile = 2,      // a zip file in the skin folder
    kSkinXmlResource = 3,  // the layout as an "xml" resource whose id is the skin file's number
    kSkinZipResource = 4,  // a zip stored as a "ZIPRES" resource
};

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
public:
    // The box shown when the skin cannot be loaded; the process then ends
    // with code 1.
    static constexpr const wchar_t* kLoadFailedText = L"加载资源文件失败";
    static constexpr const wchar_t* kLoadFailedCaption = L"QuillUI";

    WindowImplBase() = default;
    ~WindowImplBase() override = default;

    // ---- CWindowWnd ------------------------------------------------------
    UINT GetClassStyle() const override { return CS_DBLCLKS; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Unregisters from the manager; the object itself stays.
    void OnFinalMessage(HWND window) override;

    // ---- The skin --------------------------------------------------------
    // Called at the end of WM_CREATE, once the tree is attached.
    virtual void InitWindow() {}
    virtual void OnClick(NotifyMessageUI& message);
    // A folder below the program's folder.
    virtual CWideString GetSkinFolder() = 0;
    // The layout file, or for kSkinXmlResource the resource id as a decimal text.
    virtual CWideString GetSkinFile() = 0;
    // Escape closes the window with code 1 and answers 1; other keys 0.
    virtual LRESULT ResponseDefaultKeyEvent(WPARAM key);
    virtual SkinResourceTypeUI GetResourceType() const { return kSkinFolder; }
    virtual CWideString GetZipFileName() const { return CWideString(); }
    // The name of the "ZIPRES" resource.
    virtual CWideString GetResourceId() const { return CWideString(); }

    // ---- Message handlers: handled false lets the message go on ----------
    virtual LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcActivate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseHover(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnChar(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKillFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSetFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // Runs for every message no handler above took, before the manager.
    virtual LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // The window's style without WS_CAPTION.
    virtual LONG_PTR GetStyle();

    // ---- Listener interfaces ---------------------------------------------
    const NotifyMapUI* GetMessageMap() const override;
    static const NotifyMapUI kMessageMap;
    void Notify(NotifyMessageUI& message) override;
    // Return and Escape go to ResponseDefaultKeyEvent; the key is still
    // dispatched.
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    // No controls of its own.
    CControlUI* CreateControl(const wchar_t* className) override;

    CWindowManagerUI& GetManager() { return manager_; }

protected:
    // Loads the skin and builds the tree; false when nothing could be built.
    bool LoadSkin();
    // Shows the failure box and ends the process with code 1.
    [[noreturn]] static void FailSkinLoad();

    CWindowManagerUI manager_;
};

}  // namespace QuillUI
