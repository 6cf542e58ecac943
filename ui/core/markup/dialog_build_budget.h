// What one build of control trees from markup may make. Markup is data
// that users edit, and one window's build must stay within the memory and
// the time of the process whatever the markup says.
//
// The budget is counted in units, and a build is spent when the units of
// its controls alive and those of its current run reach kMaxUnits:
// - every control constructed while the build runs on the thread costs one
//   unit for as long as it lives (CControlUI's constructor charges it to
//   the budget of the innermost open CDialogBuildScope, whoever makes it:
//   the builder, a control making its own parts, the application's
//   callback); the control keeps a reference to the budget and gives its
//   units back when it is destroyed, so the budget lives as long as
//   anything charged to it. A control that holds much more than an
//   ordinary one weighs more (CControlUI::SetBuildWeight): a rich edit's
//   text services, a hosted program, an animation's file and frame at a
//   unit a kilobyte;
// - a run, one stretch of building on the thread's stack (a window's build
//   while its tree is attached, or a child layout's Init later), also pays
//   one unit for every source it opens (each copy of an "Include") and for
//   every element that leaves no control behind. These units are forgotten
//   when the run ends: they bound the work, and a layout that is built
//   again and again (moved into a popup and back) builds every time.
//
// A budget is a tree of accounts. The root is the build's and holds the
// count that is checked; a child layout opens an account under the budget
// it was made in for each tree it builds, and every unit charged to an
// account is counted in its parents as well. When the layout builds again
// its old account gives back at once what it still counts (GiveBack), also
// while the old tree waits for a delayed deletion; the old controls'
// destruction then changes nothing above it.
//
// Used on one thread: the window's.
#pragma once

namespace QuillUI {

class CDialogBuildBudget {
public:
    // Room for a list of 50,000 rows or a tree of 10,000 nodes (six
    // controls each) from one file, built within a second or two. A
    // budget's worth of the heaviest everyday controls (options or check
    // boxes with their images set, rich edits by their weight) commits
    // 40-65 MB in the 64-bit build and less in the 32-bit one, of tree
    // nodes or list rows 25-30 MB (tools/bench/build_budget.sh), which
    // leaves room for a child layout's old tree while its new one is built.
    static const long kMaxUnits = 60000;

    // A new build's budget, or an account under parent; the caller holds
    // the one reference. Null when out of memory.
    static CDialogBuildBudget* New(CDialogBuildBudget* parent = nullptr);
    CDialogBuildBudget(const CDialogBuildBudget&) = delete;
    CDialogBuildBudget& operator=(const CDialogBuildBudget&) = delete;

    void AddRef() { ++refs_; }
    void Release();

    // The budget of the build running on this thread, or null.
    static CDialogBuildBudget* Current();
    // Charges one control to the build running on this thread: its budget,
    // referenced for the control, or null outside a build.
    static CDialogBuildBudget* ChargeControl();
    // A charged control's units back, and its reference dropped.
    void RefundControl(long units = 1);
    // Units more, or back, for a control charged already (its weight).
    void ChargeMore(long units) { Count(units); }
    void Refund(long units) { Uncount(units); }
    // Whether the build still has room for that many units.
    bool CanAfford(long units) const { return root_->counted_ + units <= kMaxUnits; }

    CDialogBuildBudget* GetRoot() const { return root_; }
    // The units of the controls alive that the whole build counts.
    long GetCharged() const { return root_->counted_; }
    // What this account counts is no longer counted above it.
    void GiveBack();

private:
    explicit CDialogBuildBudget(CDialogBuildBudget* parent);
    ~CDialogBuildBudget();
    void Count(long units);
    void Uncount(long units);

    CDialogBuildBudget* parent_;  // referenced
    CDialogBuildBudget* root_;
    long refs_ = 1;
    long counted_ = 0;
};

// One reference to a budget, released when the holder goes.
class CDialogBuildBudgetRef {
public:
    CDialogBuildBudgetRef() = default;
    // Takes over the caller's reference.
    explicit CDialogBuildBudgetRef(CDialogBuildBudget* adopted) : budget_(adopted) {}
    CDialogBuildBudgetRef(const CDialogBuildBudgetRef& other) : budget_(other.budget_) {
        if (budget_ != nullptr) budget_->AddRef();
    }
    CDialogBuildBudgetRef& operator=(const CDialogBuildBudgetRef& other) {
        CDialogBuildBudgetRef copy(other);
        Swap(copy);
        return *this;
    }
    ~CDialogBuildBudgetRef() {
        if (budget_ != nullptr) budget_->Release();
    }
    // A new reference to budget, which may be null.
    static CDialogBuildBudgetRef Share(CDialogBuildBudget* budget) {
        if (budget != nullptr) budget->AddRef();
        return CDialogBuildBudgetRef(budget);
    }

    CDialogBuildBudget* Get() const { return budget_; }
    CDialogBuildBudget* operator->() const { return budget_; }
    explicit operator bool() const { return budget_ != nullptr; }

private:
    void Swap(CDialogBuildBudgetRef& other) {
        CDialogBuildBudget* held = budget_;
        budget_ = other.budget_;
        other.budget_ = held;
    }

    CDialogBuildBudget* budget_ = nullptr;
};

}  // namespace QuillUI
