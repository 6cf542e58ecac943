#include "ui/controls/containers/container_ui.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/core/values/number_list_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <cstdlib>
#include <cwchar>

namespace QuillUI {

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
    // Children go at once: the manager may be going away with this tree.
    delayedDestroy_ = false;
    if (autoDestroy_) {
        for (int i = 0; i < items_.GetSize(); ++i) static_cast<CControlUI*>(items_[i])->Delete();
    }
    items_.Empty();
    if (verticalScrollBar_ != nullptr) verticalScrollBar_->Delete();
    if (horizontalScrollBar_ != nullptr) horizontalScrollBar_->Delete();
    verticalScrollBar_ = nullptr;
    horizontalScrollBar_ = nullptr;
}

const wchar_t* CContainerUI::GetClass() const { return L"Container"; }

void* CContainerUI::GetInterface(const wchar_t* name) {
    if (name != nullptr) {
        if (wcscmp(name, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
        if (wcscmp(name, L"Container") == 0) return static_cast<CContainerUI*>(this);
    }
    return CControlUI::GetInterface(name);
}

// ---- Children -------------------------------------------------------------

CControlUI* CContainerUI::GetItemAt(int index) const {
    if (index < 0 || index >= items_.GetSize()) return nullptr;
    return static_cast<CControlUI*>(items_[index]);
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
    if (control == nullptr) return -1;
    return items_.Find(control);
}

// The child edits find and take children in the own array, never through
// the accessors: a list forwards those to its body, and a qualified call of
// these from it must not unlink, or delete, an item the body holds.

bool CContainerUI::SetItemIndex(CControlUI* control, int newIndex) {
    const int index = items_.Find(control);
    if (index < 0) return false;
    // Checked before the child leaves the array, so a bad index loses nothing.
    if (newIndex < 0 || newIndex >= items_.GetSize()) return false;
    if (newIndex == index) return true;
    NeedUpdate();
    items_.Remove(index);
    // The array only shrank, so the insert needs no memory.
    return items_.InsertAt(newIndex, control);
}

bool CContainerUI::MoveItems(CControlUI* control, int count, int newIndex) {
    if (control == nullptr || count < 0 || newIndex < 0) return false;
    const int index = items_.Find(control);
    if (index < 0) return false;
    if (index == newIndex || count == 0) return true;
    const int total = items_.GetSize();
    if (count > total - index || count > total - newIndex) return false;
    CPointerArray run(count);
    for (int i = 0; i < count; ++i) {
        if (!run.Add(items_[index + i])) return false;
    }
    items_.Remove(index, count);
    for (int i = 0; i < count; ++i) items_.InsertAt(newIndex + i, run[i]);
    NeedUpdate();
    return true;
}

int CContainerUI::GetCount() const { return items_.GetSize(); }

void CContainerUI::AdoptChild(CControlUI* control) {
    if (manager_ != nullptr) manager_->InitControls(control, this);
    if (!IsVisible())
        control->SetInternVisible(false);
    else
        NeedUpdate();
}

bool CContainerUI::Add(CControlUI* control) {
    if (control == nullptr) return false;
    AdoptChild(control);
    return items_.Add(control);
}

bool CContainerUI::AddAt(CControlUI* control, int index) {
    if (control == nullptr) return false;
    AdoptChild(control);
    return items_.InsertAt(index, control);
}

void CContainerUI::DestroyChild(CControlUI* control) {
    if (delayedDestroy_ && manager_ != nullptr)
        manager_->AddDelayedCleanup(control);
    else
        control->Delete();
}

bool CContainerUI::Remove(CControlUI* control, bool keep) {
    const int index = control != nullptr ? items_.Find(control) : -1;
    if (index < 0) return false;
    NeedUpdate();
    items_.Remove(index);
    if (!keep && autoDestroy_) DestroyChild(control);
    return true;
}

bool CContainerUI::RemoveAt(int index, bool keep) {
    CControlUI* control = static_cast<CControlUI*>(items_.GetAt(index));
    if (control == nullptr) return false;
    return CContainerUI::Remove(control, keep);
}

void CContainerUI::RemoveAll() {
    if (autoDestroy_) {
        for (int i = 0; i < items_.GetSize(); ++i) DestroyChild(static_cast<CControlUI*>(items_[i]));
    }
    items_.Empty();
    NeedUpdate();
}

// ---- Settings ---------------------------------------------------------------

RECT CContainerUI::GetInset() const { return inset_; }

void CContainerUI::SetInset(RECT inset) {
    inset_ = inset;
    NeedUpdate();
}

int CContainerUI::GetChildPadding() const { return childPadding_; }

void CContainerUI::SetChildPadding(int padding) {
    childPadding_ = padding < 0 ? 0 : padding;
    NeedUpdate();
}

UINT CContainerUI::GetChildAlign() const { return childAlign_; }

void CContainerUI::SetChildAlign(UINT align) {
    childAlign_ = align;
    NeedUpdate();
}

UINT CContainerUI::GetChildVAlign() const { return childVAlign_; }

void CContainerUI::SetChildVAlign(UINT align) {
    childVAlign_ = align;
    NeedUpdate();
}

bool CContainerUI::IsAutoDestroy() const { return autoDestroy_; }
void CContainerUI::SetAutoDestroy(bool autoDestroy) { autoDestroy_ = autoDestroy; }
bool CContainerUI::IsDelayedDestroy() const { return delayedDestroy_; }
void CContainerUI::SetDelayedDestroy(bool delayed) { delayedDestroy_ = delayed; }
bool CContainerUI::IsMouseChildEnabled() const { return mouseChildEnabled_; }
void CContainerUI::SetMouseChildEnabled(bool enabled) { mouseChildEnabled_ = enabled; }

// ---- Tree, visibility -------------------------------------------------------

void CContainerUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
    for (int i = 0; i < items_.GetSize(); ++i) static_cast<CControlUI*>(items_[i])->SetManager(manager, this, init);
    if (verticalScrollBar_ != nullptr) verticalScrollBar_->SetManager(manager, this, init);
    if (horizontalScrollBar_ != nullptr) horizontalScrollBar_->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
}

void CContainerUI::SetVisible(bool visible) {
    if (visible_ == visible) return;
    CControlUI::SetVisible(visible);
    const bool shown = IsVisible();
    for (int i = 0; i < items_.GetSize(); ++i) static_cast<CControlUI*>(items_[i])->SetInternVisible(shown);
}

void CContainerUI::SetInternVisible(bool visible) {
    CControlUI::SetInternVisible(visible);
    const bool shown = IsVisible();
    for (int i = 0; i < items_.GetSize(); ++i) static_cast<CControlUI*>(items_[i])->SetInternVisible(shown);
}

void CContainerUI::SetMouseEnabled(bool enabled) {
    if (verticalScrollBar_ != nullptr) verticalScrollBar_->SetMouseEnabled(enabled);
    if (horizontalScrollBar_ != nullptr) horizontalScrollBar_->SetMouseEnabled(enabled);
    CControlUI::SetMouseEnabled(enabled);
}

// ---- Attributes ---------------------------------------------------------------

void CContainerUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr || value == nullptr) return;
    const bool isTrue = IsTrueValue(value);
    // "exists" asks the accessors: a list keeps its bars in its body.
    if (wcscmp(name, L"inset") == 0) {
        SetInset(ParseRectList(value));
    } else if (wcscmp(name, L"mousechild") == 0) {
        SetMouseChildEnabled(isTrue);
    } else if (wcscmp(name, L"vscrollbar") == 0) {
        EnableScrollBar(isTrue, GetHorizontalScrollBar() != nullptr);
    } else if (wcscmp(name, L"vscrollbarstyle") == 0) {
        EnableScrollBar(true, GetHorizontalScrollBar() != nullptr);
        if (CScrollBarUI* bar = GetVerticalScrollBar()) bar->ApplyAttributeList(value);
    } else if (wcscmp(name, L"hscrollbar") == 0) {
        EnableScrollBar(GetVerticalScrollBar() != nullptr, isTrue);
    } else if (wcscmp(name, L"hscrollbarstyle") == 0) {
        EnableScrollBar(GetVerticalScrollBar() != nullptr, true);
        if (CScrollBarUI* bar = GetHorizontalScrollBar()) bar->ApplyAttributeList(value);
    } else if (wcscmp(name, L"childpadding") == 0) {
        SetChildPadding(_wtoi(value));
    } else if (wcscmp(name, L"childalign") == 0) {
        if (wcscmp(value, L"left") == 0)
            childAlign_ = DT_LEFT;
        else if (wcscmp(value, L"center") == 0)
            childAlign_ = DT_CENTER;
        else if (wcscmp(value, L"right") == 0)
            childAlign_ = DT_RIGHT;
    } else if (wcscmp(name, L"childvalign") == 0) {
        if (wcscmp(value, L"top") == 0)
            childVAlign_ = DT_TOP;
        else if (wcscmp(value, L"vcenter") == 0)
            childVAlign_ = DT_VCENTER;
        else if (wcscmp(value, L"bottom") == 0)
            childVAlign_ = DT_BOTTOM;
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

}  // namespace QuillUI
