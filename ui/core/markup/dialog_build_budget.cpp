#include "ui/core/markup/dialog_build_budget.h"

#include "ui/core/markup/dialog_build_scope.h"

#include <new>

namespace QuillUI {

CDialogBuildBudget* CDialogBuildBudget::New(CDialogBuildBudget* parent) {
    return new (std::nothrow) CDialogBuildBudget(parent);
}

CDialogBuildBudget::CDialogBuildBudget(CDialogBuildBudget* parent)
    : parent_(parent), root_(parent != nullptr ? parent->root_ : this) {
    if (parent_ != nullptr) parent_->AddRef();
}

CDialogBuildBudget::~CDialogBuildBudget() {
    if (parent_ != nullptr) parent_->Release();
}

void CDialogBuildBudget::Release() {
    if (--refs_ == 0) delete this;
}

CDialogBuildBudget* CDialogBuildBudget::Current() {
    CDialogBuildScope* scope = CDialogBuildScope::Current();
    return scope != nullptr ? scope->GetBudget() : nullptr;
}

CDialogBuildBudget* CDialogBuildBudget::ChargeControl() {
    CDialogBuildBudget* budget = Current();
    if (budget == nullptr) return nullptr;
    budget->AddRef();
    budget->Count(1);
    return budget;
}

void CDialogBuildBudget::RefundControl(long units) {
    Uncount(units);
    Release();
}

void CDialogBuildBudget::GiveBack() {
    if (parent_ != nullptr) parent_->Uncount(counted_);
    counted_ = 0;
}

void CDialogBuildBudget::Count(long units) {
    for (CDialogBuildBudget* account = this; account != nullptr; account = account->parent_)
        account->counted_ += units;
}

void CDialogBuildBudget::Uncount(long units) {
    // An account that gave its units back passes on only what it counted
    // since.
    for (CDialogBuildBudget* account = this; account != nullptr && units > 0; account = account->parent_) {
        if (units > account->counted_) units = account->counted_;
        account->counted_ -= units;
    }
}

}  // namespace QuillUI
