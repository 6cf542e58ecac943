// The manager's life cycle: construction, binding to a window, destruction.
#include "ui/core/manager/window_manager_ui.h"

#include "ui/core/control/control_ui.h"
#include "ui/core/render/image_draw_info_ui.h"

namespace QuillUI {

CWindowManagerUI::CWindowManagerUI() {
    InitSharedOnce();
    const ResourceTableUI& shared = SharedResources();
    resources_.disabledColor = shared.disabledColor;
    resources_.fontColor = shared.fontColor;
    resources_.linkFontColor = shared.linkFontColor;
    resources_.linkHoverFontColor = shared.linkHoverFontColor;
    resources_.selectedBkColor = shared.selectedBkColor;
}

CWindowManagerUI::LifeWatch::LifeWatch(CWindowManagerUI& manager) : manager_(&manager), outer_(manager.lifeWatches_) {
    manager.lifeWatches_ = this;
}

CWindowManagerUI::LifeWatch::~LifeWatch() {
    if (manager_ == nullptr) return;
    for (LifeWatch** at = &manager_->lifeWatches_; *at != nullptr; at = &(*at)->outer_) {
        if (*at != this) continue;
        *at = outer_;
        return;
    }
}

CWindowManagerUI::ControlWatch::ControlWatch(CControlUI& control)
    : manager_(control.GetManager()), control_(&control), outer_(nullptr) {
    if (manager_ == nullptr) return;
    outer_ = manager_->controlWatches_;
    manager_->controlWatches_ = this;
}

CWindowManagerUI::ControlWatch::~ControlWatch() {
    if (manager_ == nullptr) return;
    for (ControlWatch** at = &manager_->controlWatches_; *at != nullptr; at = &(*at)->outer_) {
        if (*at != this) continue;
        *at = outer_;
        return;
    }
}

CWindowManagerUI::~CWindowManagerUI() {
    for (LifeWatch* watch = lifeWatches_; watch != nullptr; watch = watch->outer_) watch->manager_ = nullptr;
    lifeWatches_ = nullptr;
    // The tree goes with the manager.
    for (ControlWatch* watch = controlWatches_; watch != nullptr; watch = watch->outer_) {
        watch->manager_ = nullptr;
        watch->control_ = nullptr;
    }
    controlWatches_ = nullptr;
    DeleteDelayedCleanup();
    DeleteQueuedNotifications();
    controlNames_.RemoveAll();
    // The tree goes while the manager can still forget its controls.
    CControlUI* root = root_;
    if (root != nullptr) root->Delete();
    root_ = focus_ = hover_ = click_ = keyControl_ = nullptr;
    RemoveAllTimers();
    RemoveAllWindowCustomAttribute();
    RemoveAllOptionGroups();
    if (tooltipWindow_ != nullptr && ::IsWindow(tooltipWindow_)) ::DestroyWindow(tooltipWindow_);
    tooltipWindow_ = nullptr;
    ReleaseSurfaces();
    paintDC_.Reset();
    CPointerArray& managers = Managers();
    int at = managers.Find(this);
    if (at >= 0) managers.Remove(at);
    // The window's fonts (its default font too), images and lists go with resources_.
}

void CWindowManagerUI::Init(HWND window, const wchar_t* name) {
    controlNames_.Resize(83);
    RemoveAllFonts(false);
    RemoveAllImages(false);
    RemoveAllDefaultAttributeList(false);
    RemoveAllWindowCustomAttribute();
    RemoveAllOptionGroups();
    RemoveAllTimers();
    name_ = name;
    if (window == paintWindow_) return;
    paintWindow_ = window;
    ::SetRectEmpty(&lastInvalidated_);
    // The DC of an earlier window is given back, not kept.
    paintDC_ = ScopedWindowDC(window);
    CPointerArray& managers = Managers();
    if (managers.Find(this) < 0) managers.Add(this);
}

void CWindowManagerUI::ReleaseSurfaces() {
    // The DCs go before the bitmaps that may still be selected into them.
    offscreenDC_.Reset();
    backgroundDC_.Reset();
    offscreenBitmap_.Reset();
    offscreenPixels_ = nullptr;
    backgroundBitmap_.Reset();
    backgroundPixels_ = nullptr;
}

SIZE CWindowManagerUI::GetScreenBound() {
    // Room for a window over every monitor, and then some; hostile skin
    // values beyond it would cost gigabytes of surface.
    int cx = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int cy = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (cx <= 0 || cy <= 0) {
        cx = ::GetSystemMetrics(SM_CXSCREEN);
        cy = ::GetSystemMetrics(SM_CYSCREEN);
    }
    // No screen at all (a service's desktop): a common one.
    if (cx <= 0 || cy <= 0) {
        cx = 1920;
        cy = 1080;
    }
    return SIZE{2 * cx, 2 * cy};
}

void CWindowManagerUI::SetInitSize(int cx, int cy) {
    initSize_ = CSizeUI(cx, cy);
    if (root_ == nullptr && paintWindow_ != nullptr) {
        ::SetWindowPos(paintWindow_, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

void CWindowManagerUI::RemoveAllOptionGroups() {
    optionGroups_.ForEach([](const wchar_t*, void* data) {
        delete static_cast<CPointerArray*>(data);
        return true;
    });
    optionGroups_.Resize(83);
}

}  // namespace QuillUI
