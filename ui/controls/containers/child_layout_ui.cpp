#include "ui/controls/containers/child_layout_ui.h"

#include "ui/core/markup/dialog_build_scope.h"
#include "ui/core/markup/dialog_builder.h"

#include <cwchar>

namespace QuillUI {

CChildLayoutUI::CChildLayoutUI() : build_(CDialogBuildBudgetRef::Share(CDialogBuildBudget::Current())) {}

CChildLayoutUI::~CChildLayoutUI() = default;

const wchar_t* CChildLayoutUI::GetClass() const { return L"ChildLayout"; }

void* CChildLayoutUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"ChildLayout") == 0) return this;
    return CContainerUI::GetInterface(name);
}

void CChildLayoutUI::Init() {
    if (xmlFile_.IsEmpty()) return;
    if (!build_) {
        CDialogBuildBudget* running = CDialogBuildBudget::Current();
        build_ = running != nullptr ? CDialogBuildBudgetRef::Share(running)
                                    : CDialogBuildBudgetRef(CDialogBuildBudget::New());
    }
    // Initialised again (moved into another window), the layout builds its
    // file again: the old tree's units come back first, though its deletion
    // may wait.
    if (tree_) tree_->GiveBack();
    tree_ = build_ ? CDialogBuildBudgetRef(CDialogBuildBudget::New(build_.Get())) : CDialogBuildBudgetRef();
    // The scope stays open while the tree is added: child layouts inside it
    // build their files as they are initialised, within the same build, so
    // a file that leads back to itself is refused there.
    CDialogBuildScope scope(xmlFile_.GetData(), nullptr, tree_.Get());
    CDialogBuilder builder;
    CControlUI* root = builder.Create(scope, nullptr, manager_, nullptr);
    // The file's root is the only child, also when the layout is
    // initialised again (moved into another window).
    RemoveAll();
    if (root != nullptr) Add(root);
}

void CChildLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr || value == nullptr) return;
    if (wcscmp(name, L"xmlfile") == 0)
        SetChildLayoutXML(value);
    else
        CContainerUI::SetAttribute(name, value);
}

void CChildLayoutUI::SetChildLayoutXML(const wchar_t* file) { xmlFile_ = file; }

}  // namespace QuillUI
