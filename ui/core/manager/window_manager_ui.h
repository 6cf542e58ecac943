// The paint manager of one skinned window: it owns the window's control
// tree, its drawing surfaces and its resources, and holds the state that all
// windows of the program share (module instance, skin location, shared
// resources, the list of managers).
#pragma once
#include "common/win.h"
#include "ui/core/render/font_info_ui.h"
#include "ui/core/render/gdi_handles.h"
#include "ui/core/values/pointer_array.h"
#include "ui/core/values/rect_ui.h"
#include "ui/core/manager/resource_table_ui.h"
#include "ui/core/values/size_ui.h"
#include "ui/core/values/string_hash_map.h"
#include "ui/core/values/wide_string.h"
#include "ui/core/manager/window_listeners_ui.h"

#include <commctrl.h>

#include <cstdint>
#include <memory>

namespace QuillUI {

class CControlUI;
struct ImageInfoUI;
struct ImageDrawInfoUI;
struct ZipHandleUI;
struct NotifyMessageUI;
struct ControlEventUI;

// A control's timer on top of a window timer.
struct TimerEntryUI {
    CControlUI* control = nullptr;
    UINT localId = 0;  // the control's own id
    HWND window = nullptr;
    UINT nativeId = 0;
    bool killed = false;
};

class CWindowManagerUI {
public:
    CWindowManagerUI();
    CWindowManagerUI(const CWindowManagerUI&) = delete;
    CWindowManagerUI& operator=(const CWindowManagerUI&) = delete;
    ~CWindowManagerUI();

    // Tells whether the manager was destroyed while the watch lived. Any
    // event or notification may end the window, and with a window that
    // deletes itself the manager too: code that goes on after one asks
    // first. Watches live on the stack of the window's thread.
    class LifeWatch {
    public:
        explicit LifeWatch(CWindowManagerUI& manager);
        ~LifeWatch();
        LifeWatch(const LifeWatch&) = delete;
        LifeWatch& operator=(const LifeWatch&) = delete;
        bool IsGone() const { return manager_ == nullptr; }

    private:
        friend class CWindowManagerUI;
        CWindowManagerUI* manager_;
        LifeWatch* outer_;
    };

    // Tells whether a control was destroyed, or left this manager, while the
    // watch lived. A listener may remove and delete the sender of a
    // notification: the sender's code that goes on after one asks first. A
    // control without a manager has no listeners and is never seen to go.
    class ControlWatch {
    public:
        explicit ControlWatch(CControlUI& control);
        ~ControlWatch();
        ControlWatch(const ControlWatch&) = delete;
        ControlWatch& operator=(const ControlWatch&) = delete;
        bool IsGone() const { return control_ == nullptr; }

    private:
        friend class CWindowManagerUI;
        CWindowManagerUI* manager_;
        CControlUI* control_;
        ControlWatch* outer_;
    };

    // Binds the manager to its window. Clears the window's resources, so it
    // is called before the layout is read.
    void Init(HWND window, const wchar_t* name = nullptr);
    const CWideString& GetName() const { return name_; }

    // ---- Shared state -------------------------------------------------
    static HINSTANCE GetInstance();
    static void SetInstance(HINSTANCE instance);
    // The module's folder with a trailing backslash; empty without an instance.
    static CWideString GetInstancePath();
    // The module that resources are loaded from: the instance in this program.
    static HINSTANCE GetResourceDll();
    static const CWideString& GetResourcePath();
    static void SetResourcePath(const wchar_t* path);
    static const CWideString& GetResourceZip();
    static bool IsCachedResourceZip();
    static ZipHandleUI* GetResourceZipHandle();
    // A zip file in the resource folder, kept open while cached.
    static void SetResourceZip(const wchar_t* name, bool cached = true);
    // A zip in memory, named "membuffer"; the block must outlive its use.
    // The first block stays in use: later ones are ignored.
    static void SetResourceZip(const void* block, unsigned int size);
    // Closes the cached zip.
    static void Term();
    static void GetHSL(short* hue, short* saturation, short* lightness);
    static bool IsUsingHSL();
    // Functions from tag name to control that the dialog builder asks first.
    static CPointerArray* GetPlugins();
    // Every initialised manager, in the order of their Init.
    static const CPointerArray& GetManagers();

    // ---- Window geometry and flags -----------------------------------
    HWND GetPaintWindow() const { return paintWindow_; }
    HDC GetPaintDC() const { return paintDC_.Get(); }
    HBITMAP GetOffscreenBitmap() const { return offscreenBitmap_.Get(); }
    POINT GetMousePos() const { return lastMousePos_; }
    CControlUI* GetRoot() const { return root_; }
    const CRectUI& GetSizeBox() const { return sizeBox_; }
    void SetSizeBox(const RECT& box) { sizeBox_ = box; }
    const CRectUI& GetCaptionRect() const { return caption_; }
    void SetCaptionRect(const RECT& caption) { caption_ = caption; }
    const CSizeUI& GetRoundCorner() const { return roundCorner_; }
    void SetRoundCorner(int cx, int cy) { roundCorner_ = CSizeUI(cx, cy); }
    const CSizeUI& GetMinInfo() const { return minInfo_; }
    void SetMinInfo(int cx, int cy) { minInfo_ = CSizeUI(cx, cy); }
    const CSizeUI& GetMaxInfo() const { return maxInfo_; }
    void SetMaxInfo(int cx, int cy) { maxInfo_ = CSizeUI(cx, cy); }
    const CSizeUI& GetInitSize() const { return initSize_; }
    // Stores the size; resizes the window while it has no control tree yet.
    void SetInitSize(int cx, int cy);
    // The largest window size that markup may ask for and that a layered
    // window's surfaces cover: twice the virtual screen in each dimension.
    static SIZE GetScreenBound();
    bool IsShowUpdateRect() const { return showUpdateRect_; }
    void SetShowUpdateRect(bool show) { showUpdateRect_ = show; }
    bool IsNoActivate() const { return noActivate_; }
    void SetNoActivate(bool noActivate) { noActivate_ = noActivate; }
    bool IsForceUseSharedResources() const { return forceSharedResources_; }
    void SetForceUseSharedResources(bool force) { forceSharedResources_ = force; }
    void UsedVirtualWnd(bool used) { usesVirtualWindows_ = used; }

    // ---- Layered windows and invalidation ----------------------------
    BYTE GetOpacity() const { return opacity_; }
    void SetOpacity(BYTE opacity);
    bool IsLayered() const { return layered_; }
    void SetLayered(bool layered);
    void SetLayeredOpacity(int opacity);
    // An image description; the render engine parses and loads it.
    void SetLayeredImage(const wchar_t* description);
    void Invalidate();
    void Invalidate(RECT rect);

    // ---- Fonts ---------------------------------------------------------
    // The window's default font when it has one, else the shared one.
    FontInfoUI* GetDefaultFontInfo();
    void SetDefaultFont(const wchar_t* face, int size, bool bold, bool underline, bool italic, bool shared = false);
    // Replaces an entry with the same index; null when the font cannot be made.
    HFONT AddFont(int index, const wchar_t* face, int size, bool bold, bool underline, bool italic,
                  bool shared = false);
    // Negative or unknown indexes give the default font.
    HFONT GetFont(int index);
    FontInfoUI* GetFontInfo(int index);
    HFONT FindFont(const wchar_t* face, int size, bool bold, bool underline, bool italic);
    FontInfoUI* GetFontInfoByHandle(HFONT font);
    void RemoveAllFonts(bool shared = false);
    // An index for a font made at run time (text tags): the next value of a
    // process-wide counter that neither this window's table nor the shared
    // table uses, so that adding it never replaces a font of the layout.
    int GetFreeFontIndex();

    // ---- Images --------------------------------------------------------
    ImageInfoUI* GetImage(const wchar_t* name);
    // Loads and stores the image when it is not in a table yet.
    ImageInfoUI* GetImageEx(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0, bool useHSL = false);
    // A name of leading digits with a type names a resource id (1-65535).
    ImageInfoUI* AddImage(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0, bool useHSL = false,
                          bool shared = false);
    void RemoveAllImages(bool shared = false);

    // ---- Default attribute lists ---------------------------------------
    void AddDefaultAttributeList(const wchar_t* className, const wchar_t* attributes, bool shared = false);
    const wchar_t* GetDefaultAttributeList(const wchar_t* className);
    void RemoveAllDefaultAttributeList(bool shared = false);

    // ---- Custom window attributes --------------------------------------
    // The first value stored for a name stays.
    void AddWindowCustomAttribute(const wchar_t* name, const wchar_t* value);
    const wchar_t* GetWindowCustomAttribute(const wchar_t* name);
    void RemoveAllWindowCustomAttribute();

    // ---- Multi-language texts (shared) ---------------------------------
    static void AddMultiLanguageString(int id, const wchar_t* text);
    static const wchar_t* GetMultiLanguageString(int id);
    static void RemoveAllMultiLanguageString();
    // Replaces each "%{n}" that has a text n, in one pass: inserted texts
    // are not searched again.
    static void ProcessMultiLanguageTokens(CWideString& text);

    // ---- Default colours (ARGB) ----------------------------------------
    DWORD GetDefaultDisabledColor() const { return resources_.disabledColor; }
    DWORD GetDefaultFontColor() const { return resources_.fontColor; }
    DWORD GetDefaultLinkFontColor() const { return resources_.linkFontColor; }
    DWORD GetDefaultLinkHoverFontColor() const { return resources_.linkHoverFontColor; }
    DWORD GetDefaultSelectedBkColor() const { return resources_.selectedBkColor; }
    // Shared: the shared colour changes, and so does every window's colour
    // that still equals the old shared one.
    void SetDefaultDisabledColor(DWORD color, bool shared = false);
    void SetDefaultFontColor(DWORD color, bool shared = false);
    void SetDefaultLinkFontColor(DWORD color, bool shared = false);
    void SetDefaultLinkHoverFontColor(DWORD color, bool shared = false);
    void SetDefaultSelectedBkColor(DWORD color, bool shared = false);

    // ---- The "Window" element's attributes -----------------------------
    void SetWindowAttribute(const wchar_t* name, const wchar_t* value);

    // ---- Message handling ------------------------------------------------
    // The window procedure's fallback: false lets default processing run.
    bool MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Keyboard pre-translation: filters, Tab, shortcuts, system keys. Keys
    // that TranslateMessage finds typed into a registered native window (or
    // a window inside one) skip the filters: they are that window's own.
    bool PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The first translator that answers S_OK takes the message.
    bool TranslateAccelerator(MSG* message);
    // Hands a message of the thread to the manager of its window.
    static bool TranslateMessage(const MSG* message);
    static void MessageLoop();

    // ---- Painting --------------------------------------------------------
    // A layout pass is needed before the next paint.
    void NeedUpdate();
    bool IsPainting() const { return painting_; }
    void SetPainting(bool painting) { painting_ = painting; }

    // ---- Mouse capture ---------------------------------------------------
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const { return mouseCaptured_; }

    // ---- Listener lists (null and duplicates are refused) ----------------
    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    bool AddPreMessageFilter(IMessageFilterUI* filter);
    bool RemovePreMessageFilter(IMessageFilterUI* filter);
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    bool AddPostPaint(CControlUI* control);
    bool RemovePostPaint(CControlUI* control);
    bool AddMouseLeaveNeeded(CControlUI* control);
    bool RemoveMouseLeaveNeeded(CControlUI* control);
    bool AddTranslateAccelerator(ITranslateAccelerator* translator);
    bool RemoveTranslateAccelerator(ITranslateAccelerator* translator);
    // A native child window and the control that hosts it. Its rectangle is
    // invalidated in any case; false when the window is already registered.
    bool AddNativeWindow(CControlUI* control, HWND window);
    bool RemoveNativeWindow(HWND window);
    // A child window's rectangle in the paint window's client coordinates.
    RECT GetChildWindowRect(HWND child) const;

    // ---- Control timers --------------------------------------------------
    // Native ids count from 17 and skip ids the window still holds.
    bool SetTimer(CControlUI* control, UINT timerId, UINT elapse);
    // The entry stays, so a restart keeps its native id.
    bool KillTimer(CControlUI* control, UINT timerId);
    void KillAllTimers(CControlUI* control);
    void RemoveAllTimers();

    // ---- Focus -----------------------------------------------------------
    CControlUI* GetFocus() const { return focus_; }
    // Null drops the focus.
    void SetFocus(CControlUI* control, bool takeWindowFocus = true);
    // The next paint moves the focus to this control when it is a tab stop.
    void SetFocusNeeded(CControlUI* control);
    bool SetNextTabControl(bool forward = true);

    // ---- Notifications ---------------------------------------------------
    void SendNotify(CControlUI* control, const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool asynchronous = false, bool repeatAllowed = true);
    void SendNotifyMessage(NotifyMessageUI& message, bool asynchronous = false, bool repeatAllowed = true);

    // ---- The control tree ------------------------------------------------
    // The old tree is deleted at the next flush, not at once.
    bool AttachDialog(CControlUI* root);
    // Binds a subtree to this manager and registers its names.
    bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
    // Registers the names of a subtree that came to this manager through
    // SetManager alone (a combo box's items back from its popup), as
    // InitControls does: a later control of a name replaces an earlier one.
    void RegisterControlNames(CControlUI* control);
    // Updates the name map and, on success, the control's name.
    bool RenameControl(CControlUI* control, const wchar_t* name);
    // Forgets every reference to a control that is being destroyed.
    void ReapObjects(CControlUI* control);
    // Detached now, deleted at the next flush.
    void AddDelayedCleanup(CControlUI* control);
    CControlUI* FindControl(const wchar_t* name);
    // The control under a client point, or null.
    CControlUI* FindControlAt(POINT point) const;
    // The controls that the last layout pass re-positioned.
    CPointerArray* GetFoundControls() { return &foundControls_; }

    // ---- Option groups ---------------------------------------------------
    bool AddOptionGroup(const wchar_t* group, CControlUI* control);
    CPointerArray* GetOptionGroup(const wchar_t* group);
    void RemoveOptionGroup(const wchar_t* group, CControlUI* control);
    void RemoveAllOptionGroups();

private:
    // The first manager makes the shared default font and the outline pen.
    static void InitSharedOnce();
    static ResourceTableUI& SharedResources();
    static CPointerArray& Managers();
    // The pen that outlines painted areas when "showdirty" is set.
    static HPEN GetOutlinePen();
    static int NextFontCounter();
    // The table that adding writes to: the shared one when asked or forced.
    ResourceTableUI& TableFor(bool shared);
    // Lookups read the window's table first, unless resources are forced shared.
    ResourceTableUI* WindowTableForLookup();
    void SetColor(DWORD ResourceTableUI::*field, DWORD color, bool shared);
    // Deletes the off-screen and background surfaces; painting makes them anew.
    void ReleaseSurfaces();

    // Events: nothing happens without a target. A negative key state is
    // read from the keyboard. False when the manager did not outlive the
    // event: the caller then touches nothing of it.
    bool RaiseEvent(CControlUI* target, int kind, WPARAM wParam = 0, LPARAM lParam = 0, wchar_t key = 0,
                    int keyState = -1, CControlUI* sender = nullptr);
    ControlEventUI MakeEvent(int kind, CControlUI* sender, WPARAM wParam, LPARAM lParam, wchar_t key,
                             int keyState) const;
    // A control of this manager's tree.
    bool IsOwn(const CControlUI* control) const;

    // Pre-translation with or without the pre-message filters.
    bool PreTranslate(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, bool filtered);
    // A keyboard message to a registered native window or a window inside one.
    bool IsKeyOfNativeWindow(const MSG& message) const;

    // The sender's delegates, then every notifier; false when the manager
    // did not outlive them.
    bool Deliver(NotifyMessageUI& message);

    // Message table entries.
    void OnFlush();
    void OnClose();
    void OnPrintClient(HDC dc, LPARAM options);
    void OnTimerMessage(UINT_PTR nativeId);
    bool OnMouseHover(LPARAM lParam);
    void OnMouseLeave();
    void OnMouseMove(LPARAM lParam);
    void OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
    void OnButtonUp(WPARAM wParam, LPARAM lParam);
    void OnCaptureChanged(HWND newCapture);
    void OnContextMenu(WPARAM wParam, LPARAM lParam);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    bool OnSetCursor(WPARAM wParam, LPARAM lParam);
    void OnKillFocus(HWND newFocus);
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Painting.
    void OnPaint();
    // Positions the root or the controls that asked; false ends the pass.
    bool LayOut(const RECT& client);
    // False when a surface cannot be made (a 0x0 client, no memory).
    bool EnsureOffscreen(const RECT& client);
    void PrintLayeredNativeWindows(const RECT& paint);
    void ComposeLayered(const RECT& client, const RECT& paint);

    // Tooltips.
    void ShowToolTip(CControlUI* control);
    void HideToolTip();

    // Deletes the queued notifications and the delayed-cleanup controls.
    void DeleteQueuedNotifications();
    void DeleteDelayedCleanup();
    void PostFlush();
    static bool RemoveFrom(CPointerArray& list, void* item);

    CWideString name_;
    HWND paintWindow_ = nullptr;
    ScopedWindowDC paintDC_;
    ScopedMemoryDC offscreenDC_;
    ScopedMemoryDC backgroundDC_;
    ScopedBitmap offscreenBitmap_;
    uint8_t* offscreenPixels_ = nullptr;  // 32-bit pixels of a layered window's surface
    ScopedBitmap backgroundBitmap_;
    uint8_t* backgroundPixels_ = nullptr;
    int tooltipWidth_ = -1;
    HWND tooltipWindow_ = nullptr;
    TOOLINFOW tooltipRecord_ = {};
    int hoverTime_ = 1000;
    bool noActivate_ = false;
    bool showUpdateRect_ = false;
    CControlUI* root_ = nullptr;
    CControlUI* focus_ = nullptr;
    CControlUI* hover_ = nullptr;
    CControlUI* click_ = nullptr;
    CControlUI* keyControl_ = nullptr;
    POINT lastMousePos_ = {-1, -1};
    CSizeUI minInfo_;
    CSizeUI maxInfo_;
    CSizeUI initSize_;
    CRectUI sizeBox_;
    CSizeUI roundCorner_;
    CRectUI caption_;
    UINT timerCounter_ = 0x1000;
    bool firstLayout_ = true;
    bool updateNeeded_ = false;
    bool focusNeeded_ = false;
    bool offscreenPaint_ = true;
    BYTE opacity_ = 255;
    bool layered_ = false;
    // The last rectangle given to InvalidateRect since the last WM_PAINT.
    RECT lastInvalidated_ = {0, 0, 0, 0};
    CRectUI layeredInset_;
    bool layeredChanged_ = false;
    CRectUI layeredUpdateRect_;
    std::unique_ptr<ImageDrawInfoUI> layeredImage_;
    bool mouseTracking_ = false;
    bool mouseCaptured_ = false;
    bool painting_ = false;
    bool usesVirtualWindows_ = false;
    bool asyncNotifyPosted_ = false;
    CPointerArray notifiers_;
    CPointerArray timers_;
    CPointerArray preMessageFilters_;
    CPointerArray messageFilters_;
    CPointerArray postPaintControls_;
    CPointerArray nativeWindows_;
    CPointerArray nativeWindowControls_;
    CPointerArray delayedCleanup_;
    CPointerArray asyncNotifications_;
    CPointerArray foundControls_;
    CPointerArray mouseLeaveNeeded_;
    CStringHashMap controlNames_{83};
    CStringHashMap customAttributes_{83};
    CStringHashMap optionGroups_{83};
    bool forceSharedResources_ = false;
    ResourceTableUI resources_;
    CPointerArray translateAccelerators_;
    LifeWatch* lifeWatches_ = nullptr;
    ControlWatch* controlWatches_ = nullptr;
};

}  // namespace QuillUI
