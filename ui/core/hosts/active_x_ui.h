// A control that hosts one OLE control object: it creates the object from a
// class id (or from a module of the program's choosing), gives it a client
// site, activates it in place, windowless in the skinned window or windowed
// in a child window, keeps it in step with the control's rectangle and
// releases it with the control.
#pragma once
#include "ui/core/hosts/com_declarations_ui.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/values/wide_string.h"
#include "ui/core/manager/window_listeners_ui.h"

namespace QuillUI {

class CActiveXCtrl;

class CActiveXUI : public CControlUI, public IMessageFilterUI {
public:
    // A hosted program (a web page, a movie) holds far more than an
    // ordinary control; a window needs one or two.
    static const long kBuildWeight = 1000;

    CActiveXUI();
    ~CActiveXUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    // The skinned window for a windowless object, the child window for a
    // windowed one, null before activation.
    HWND GetNativeWindow() const override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;

    // Closes and releases the object and the site.
    virtual void ReleaseControl();
    // Creates, connects and activates the object; false when nothing usable
    // came of it. A failed attempt is not retried by later layouts.
    virtual bool DoCreateControl();

    // A class id in braces or a ProgID; false when it names no class.
    bool CreateControl(const wchar_t* text);
    bool CreateControl(const CLSID& clsid);
    bool IsDelayCreate() const { return delayCreate_; }
    void SetDelayCreate(bool delay);
    const CWideString& GetModuleName() const { return moduleName_; }
    void SetModuleName(const wchar_t* name);
    const CLSID& GetClsid() const { return clsid_; }
    bool IsCreated() const { return created_; }

    // E_POINTER for a null OUT, E_PENDING without an object.
    HRESULT GetControl(REFIID iid, void** out);

    // Feeds a windowless object the skinned window's input.
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

protected:
    friend class CActiveXCtrl;
    friend class CActiveXWnd;

    // The object's point for a mouse message: WM_SETCURSOR carries none,
    // WM_MOUSEWHEEL carries screen coordinates.
    POINT MessagePoint(UINT message, LPARAM lParam) const;
    // The release of this class alone, whatever a derived class overrides.
    void ReleaseObject();
    // Advises SINK to SOURCE's connection point for EVENTS, keeping the
    // cookie, or unadvises the cookie; the first failing step's result.
    static HRESULT ConnectEvents(IUnknown* source, REFIID events, IUnknown* sink, bool advise, DWORD& cookie);
    // Offers a key to OBJECT while the keyboard focus is in the host window
    // or below it: S_FALSE for other messages or focus elsewhere,
    // E_NOTIMPL without an object, else the object's answer.
    LRESULT TranslateForObject(IUnknown* object, MSG* message) const;

    CLSID clsid_ = {};
    CWideString moduleName_;
    bool created_ = false;
    bool delayCreate_ = true;
    IOleObject* object_ = nullptr;
    CActiveXCtrl* site_ = nullptr;
    HWND hostWindow_ = nullptr;

private:
    // COM is uninitialised only when this control's initialisation counted.
    bool comInitialised_ = false;
};

}  // namespace QuillUI
