#include "ui/core/control/control_ui.h"

#include "ui/core/manager/notify_sender_name.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/markup/dialog_build_budget.h"

#include <algorithm>
#include <cwchar>

namespace QuillUI {

CControlUI::CControlUI() : budget_(CDialogBuildBudget::ChargeControl()) {
    SetNotifySenderNameReader(&CControlUI::NameOf);
}

CControlUI::~CControlUI() {
    delete cover_;
    cover_ = nullptr;
    RemoveAllCustomAttributes();
    if (OnDestroy.HasDelegates()) OnDestroy.Invoke(this);
    if (manager_ != nullptr) manager_->ReapObjects(this);
    if (budget_ != nullptr) budget_->RefundControl(buildWeight_);
}

bool CControlUI::SetBuildWeight(long units, bool affordOnly) {
    if (units < 1) units = 1;
    if (budget_ != nullptr && units > buildWeight_) {
        if (affordOnly && !budget_->CanAfford(units - buildWeight_)) return false;
        budget_->ChargeMore(units - buildWeight_);
    } else if (budget_ != nullptr && units < buildWeight_) {
        budget_->Refund(buildWeight_ - units);
    }
    buildWeight_ = units;
    return true;
}

void CControlUI::Delete() { delete this; }

const wchar_t* CControlUI::NameOf(const CControlUI* control) { return control->name_.GetData(); }

// ---- Identity -----------------------------------------------------------

CWideString CControlUI::GetName() const { return name_; }

void CControlUI::SetName(const wchar_t* name) {
    if (name_ == name) return;
    // The map is renamed before the name is stored: the manager compares
    // against the stored name and would otherwise see nothing to do.
    if (manager_ != nullptr && !renaming_) {
        renaming_ = true;
        manager_->RenameControl(this, name);
        renaming_ = false;
    }
    name_ = name;
}

const wchar_t* CControlUI::GetClass() const { return L"Control"; }

void* CControlUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"Control") == 0) return this;
    return nullptr;
}

UINT CControlUI::GetControlFlags() const { return 0; }

HWND CControlUI::GetNativeWindow() const { return nullptr; }

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

CWindowManagerUI* CControlUI::GetManager() const { return manager_; }

void CControlUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
    if (cover_ != nullptr) cover_->SetManager(manager, this, init);
    // The manager this control leaves forgets it first: its name, focus,
    // hover, capture, timers and lists would otherwise outlive it there,
    // since a control is reaped only by the manager it has when it dies.
    if (manager_ != nullptr && manager_ != manager) manager_->ReapObjects(this);
    manager_ = manager;
    parent_ = parent;
    if (manager_ != nullptr) {
        // What was set while the control had no manager reaches it now.
        if (!virtualWnd_.IsEmpty()) manager_->UsedVirtualWnd(true);
        LoadBkImage();
    }
    if (init && parent_ != nullptr) Init();
}

CControlUI* CControlUI::GetParent() const { return parent_; }

CControlUI* CControlUI::GetCover() const { return cover_; }

void CControlUI::SetCover(CControlUI* cover) {
    if (cover == cover_) return;
    delete cover_;
    cover_ = cover;
    if (cover_ == nullptr) return;
    if (manager_ != nullptr) {
        manager_->InitControls(cover_, this);
    } else {
        // Built before the tree is attached: bound to this control only;
        // SetManager passes the manager on later.
        cover_->SetManager(nullptr, this, false);
    }
    if (IsVisible()) {
        NeedUpdate();
    } else {
        cover_->SetInternVisible(false);
    }
}

CWideString CControlUI::GetText() const { return text_; }

void CControlUI::SetText(const wchar_t* text) {
    if (text_ == text) return;
    text_ = text;
    Invalidate();
}

// ---- Geometry -----------------------------------------------------------

const RECT& CControlUI::GetPos() const { return itemRect_; }

RECT CControlUI::GetRelativePos() const {
    if (parent_ == nullptr) return CRectUI();
    const RECT& parent = parent_->GetPos();
    CRectUI relative = itemRect_;
    relative.Offset(-parent.left, -parent.top);
    return relative;
}

RECT CControlUI::GetClientPos() const { return itemRect_; }

int CControlUI::GetWidth() const { return itemRect_.right - itemRect_.left; }
int CControlUI::GetHeight() const { return itemRect_.bottom - itemRect_.top; }
int CControlUI::GetX() const { return itemRect_.left; }
int CControlUI::GetY() const { return itemRect_.top; }

RECT CControlUI::GetPadding() const { return padding_; }

void CControlUI::SetPadding(RECT padding) {
    padding_ = padding;
    NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const { return fixedXY_; }

void CControlUI::SetFixedXY(SIZE xy) {
    fixedXY_ = xy;
    NeedParentUpdate();
}

FloatPercentUI CControlUI::GetFloatPercent() const { return floatPercent_; }

void CControlUI::SetFloatPercent(FloatPercentUI percent) {
    floatPercent_ = percent;
    NeedParentUpdate();
}

int CControlUI::GetFixedWidth() const { return fixedSize_.cx; }

void CControlUI::SetFixedWidth(int width) {
    if (width < 0) return;
    fixedSize_.cx = width;
    NeedParentUpdate();
}

int CControlUI::GetFixedHeight() const { return fixedSize_.cy; }

void CControlUI::SetFixedHeight(int height) {
    if (height < 0) return;
    fixedSize_.cy = height;
    NeedParentUpdate();
}

int CControlUI::GetMinWidth() const { return minSize_.cx; }

void CControlUI::SetMinWidth(int width) {
    if (width == minSize_.cx || width < 0) return;
    minSize_.cx = width;
    NeedParentUpdate();
}

int CControlUI::GetMinHeight() const { return minSize_.cy; }

void CControlUI::SetMinHeight(int height) {
    if (height == minSize_.cy || height < 0) return;
    minSize_.cy = height;
    NeedParentUpdate();
}

int CControlUI::GetMaxWidth() const { return std::max(maxSize_.cx, minSize_.cx); }

void CControlUI::SetMaxWidth(int width) {
    if (width == maxSize_.cx || width < 0) return;
    maxSize_.cx = width;
    NeedParentUpdate();
}

int CControlUI::GetMaxHeight() const { return std::max(maxSize_.cy, minSize_.cy); }

void CControlUI::SetMaxHeight(int height) {
    if (height == maxSize_.cy || height < 0) return;
    maxSize_.cy = height;
    NeedParentUpdate();
}

SIZE CControlUI::EstimateSize(SIZE) { return fixedSize_; }

// ---- Texts and data -----------------------------------------------------

CWideString CControlUI::GetToolTip() const { return toolTip_; }

void CControlUI::SetToolTip(const wchar_t* text) {
    toolTip_ = text;
    toolTip_.Replace(L"<n>", L"\r\n");
}

void CControlUI::SetToolTipWidth(int width) { toolTipWidth_ = width; }
int CControlUI::GetToolTipWidth() const { return toolTipWidth_; }

wchar_t CControlUI::GetShortcut() const { return shortcut_; }
void CControlUI::SetShortcut(wchar_t ch) { shortcut_ = ch; }

bool CControlUI::IsContextMenuUsed() const { return menuUsed_; }
void CControlUI::SetContextMenuUsed(bool used) { menuUsed_ = used; }

CWideString CControlUI::GetUserData() const { return userData_; }
void CControlUI::SetUserData(const wchar_t* text) { userData_ = text; }

uintptr_t CControlUI::GetTag() const { return tag_; }
void CControlUI::SetTag(uintptr_t tag) { tag_ = tag; }

// ---- State --------------------------------------------------------------

bool CControlUI::IsVisible() const { return visible_ && internVisible_; }

void CControlUI::SetVisible(bool visible) {
    if (visible_ == visible) return;
    const bool wasVisible = IsVisible();
    visible_ = visible;
    focused_ = false;
    if (!visible && manager_ != nullptr && manager_->GetFocus() == this) manager_->SetFocus(nullptr, false);
    if (IsVisible() != wasVisible) NeedParentUpdate();
    if (cover_ != nullptr) cover_->SetInternVisible(IsVisible());
}

void CControlUI::SetInternVisible(bool visible) {
    internVisible_ = visible;
    if (!visible && manager_ != nullptr && manager_->GetFocus() == this) manager_->SetFocus(nullptr, false);
    if (cover_ != nullptr) cover_->SetInternVisible(IsVisible());
}

bool CControlUI::IsEnabled() const { return enabled_; }

void CControlUI::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return mouseEnabled_; }
void CControlUI::SetMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }

bool CControlUI::IsKeyboardEnabled() const { return keyboardEnabled_; }
void CControlUI::SetKeyboardEnabled(bool enabled) { keyboardEnabled_ = enabled; }

bool CControlUI::IsFocused() const { return focused_; }

void CControlUI::SetFocus() {
    if (manager_ != nullptr) manager_->SetFocus(this, true);
}

bool CControlUI::IsFloat() const { return float_; }

void CControlUI::SetFloat(bool isFloat) {
    if (float_ == isFloat) return;
    float_ = isFloat;
    NeedParentUpdate();
}

}  // namespace QuillUI
