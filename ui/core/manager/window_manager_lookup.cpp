// Binding a control tree, its name map, the control under a point, option
// groups, and forgetting a control that is being destroyed.
#include "ui/core/control/control_ui.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <new>

namespace QuillUI {

namespace {

const int kOptionGroupCapacity = 6;

// A later control with the same name replaces an earlier one.
CControlUI* RegisterNameProc(CControlUI* control, void* data) {
    const CWideString name = control->GetName();
    if (!name.IsEmpty()) static_cast<CStringHashMap*>(data)->Set(name.GetData(), control);
    return nullptr;
}

CControlUI* PointProc(CControlUI* control, void* data) {
    const RECT& pos = control->GetPos();
    return ::PtInRect(&pos, *static_cast<const POINT*>(data)) ? control : nullptr;
}

}  // namespace

bool CWindowManagerUI::IsOwn(const CControlUI* control) const {
    return control != nullptr && control->GetManager() == this;
}

bool CWindowManagerUI::AttachDialog(CControlUI* root) {
    SetFocus(nullptr, true);
    hover_ = nullptr;
    keyControl_ = nullptr;
    if (click_ != nullptr && mouseCaptured_) ReleaseCapture();
    click_ = nullptr;
    if (root_ != nullptr) {
        DeleteDelayedCleanup();
        DeleteQueuedNotifications();
        controlNames_.RemoveAll();
        postPaintControls_.Empty();
        nativeWindows_.Empty();
        nativeWindowControls_.Empty();
        // The old tree lives until the next flush, but no hover change or
        // layout pass may reach it before then.
        mouseLeaveNeeded_.Empty();
        foundControls_.Empty();
        AddDelayedCleanup(root_);
    }
    root_ = root;
    firstLayout_ = true;
    updateNeeded_ = true;
    focusNeeded_ = true;
    return InitControls(root, nullptr);
}

bool CWindowManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
    if (control == nullptr) return false;
    control->SetManager(this, parent != nullptr ? parent : control->GetParent(), true);
    RegisterControlNames(control);
    return true;
}

void CWindowManagerUI::RegisterControlNames(CControlUI* control) {
    if (control != nullptr) control->FindControl(RegisterNameProc, &controlNames_, 0);
}

bool CWindowManagerUI::RenameControl(CControlUI* control, const wchar_t* name) {
    if (control == nullptr || control->GetManager() != this || name == nullptr || name[0] == L'\0') return false;
    const CWideString old = control->GetName();
    if (old == name) return true;
    void* holder = controlNames_.Find(name, false);
    if (holder != nullptr && holder != control) return false;
    // The old name may belong to a later control of the same name.
    if (!old.IsEmpty() && controlNames_.Find(old.GetData(), false) == control) controlNames_.Remove(old.GetData());
    if (holder == nullptr && !controlNames_.Insert(name, control)) return false;
    control->SetName(name);
    return true;
}

void CWindowManagerUI::ReapObjects(CControlUI* control) {
    if (control == nullptr) return;
    for (ControlWatch* watch = controlWatches_; watch != nullptr; watch = watch->outer_) {
        if (watch->control_ == control) watch->control_ = nullptr;
    }
    if (control == keyControl_) keyControl_ = nullptr;
    if (control == hover_) hover_ = nullptr;
    if (control == click_) {
        click_ = nullptr;
        // Hover tracking stops for good while the window keeps the capture.
        if (mouseCaptured_) ReleaseCapture();
    }
    if (control == focus_) focus_ = nullptr;
    // The root stays: a window's final message reaps it, and the tree is
    // still the manager's to delete.
    KillAllTimers(control);
    const CWideString name = control->GetName();
    if (!name.IsEmpty() && controlNames_.Find(name.GetData(), false) == control) controlNames_.Remove(name.GetData());
    for (int i = 0; i < asyncNotifications_.GetSize(); ++i) {
        NotifyMessageUI* message = static_cast<NotifyMessageUI*>(asyncNotifications_[i]);
        if (message->sender == control) message->sender = nullptr;
    }
    RemoveFrom(mouseLeaveNeeded_, control);
    RemoveFrom(postPaintControls_, control);
    RemoveFrom(foundControls_, control);
    RemoveFrom(delayedCleanup_, control);
    for (int i = nativeWindowControls_.GetSize() - 1; i >= 0; --i) {
        if (nativeWindowControls_[i] != control) continue;
        nativeWindowControls_.Remove(i);
        nativeWindows_.Remove(i);
    }
}

CControlUI* CWindowManagerUI::FindControl(const wchar_t* name) {
    if (name == nullptr) return nullptr;
    return static_cast<CControlUI*>(controlNames_.Find(name));
}

CControlUI* CWindowManagerUI::FindControlAt(POINT point) const {
    if (root_ == nullptr) return nullptr;
    return root_->FindControl(PointProc, &point, FindVisible | FindHitTest | FindTopFirst);
}

bool CWindowManagerUI::AddOptionGroup(const wchar_t* group, CControlUI* control) {
    if (group == nullptr || group[0] == L'\0' || control == nullptr) return false;
    CPointerArray* members = static_cast<CPointerArray*>(optionGroups_.Find(group));
    if (members != nullptr) {
        if (members->Find(control) >= 0) return false;
        return members->Add(control);
    }
    members = new (std::nothrow) CPointerArray(kOptionGroupCapacity);
    if (members == nullptr) return false;
    if (!members->Add(control) || !optionGroups_.Insert(group, members)) {
        delete members;
        return false;
    }
    return true;
}

CPointerArray* CWindowManagerUI::GetOptionGroup(const wchar_t* group) {
    if (group == nullptr) return nullptr;
    return static_cast<CPointerArray*>(optionGroups_.Find(group));
}

void CWindowManagerUI::RemoveOptionGroup(const wchar_t* group, CControlUI* control) {
    CPointerArray* members = GetOptionGroup(group);
    if (members == nullptr || !RemoveFrom(*members, control) || !members->IsEmpty()) return;
    delete members;
    optionGroups_.Remove(group);
}

}  // namespace QuillUI
