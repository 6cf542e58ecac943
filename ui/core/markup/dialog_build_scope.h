// The work of one build of control trees from markup, shared by every
// builder that the build starts: each "Include", and each child layout that
// builds a markup file of its own.
//
// A scope is opened for every markup source that is built, on the stack of
// the window's thread, and joins the chain of scopes open on that thread
// (the innermost one is the build running there). A source that is already
// being built up the chain is refused, so no markup can build itself,
// directly or through others, and the chain is at most kMaxDepth deep.
//
// A scope builds under a budget (dialog_build_budget.h): the budget of the
// build it joins, a new build's when none is running, or the one it is
// given: a child layout builds under the budget of the build that made it,
// whenever its Init runs. The first scope of a budget on the stack starts
// a run, which keeps the units of the sources and elements it visits, and
// the documents it parsed: a source is read and parsed once per run,
// however often it is included.
//
// A child layout keeps its scope open while it adds the tree it built, as
// the layouts inside that tree build their own files when they are
// initialised:
//
//     CDialogBuildScope scope(file, nullptr, budget);
//     CDialogBuilder builder;
//     CControlUI* root = builder.Create(scope, nullptr, manager_, nullptr);
//     if (root != nullptr) Add(root);  // inner layouts build under scope
#pragma once
#include "ui/core/markup/dialog_build_budget.h"

namespace QuillUI {

class CXmlDocumentUI;

class CDialogBuildScope {
public:
    // Scopes deeper than this below the first one on the stack are refused.
    static const int kMaxDepth = 16;

    // source is a file name, markup text (it starts with "<" and, naming no
    // file, is never met again up the chain), a resource id
    // (MAKEINTRESOURCE) with its type (a text or a MAKEINTRESOURCE id), or
    // null for a document loaded already. Both must outlive the scope.
    explicit CDialogBuildScope(const wchar_t* source = nullptr, const wchar_t* type = nullptr);
    // Builds under budget rather than under the build running on the
    // thread; a null budget refuses the source.
    CDialogBuildScope(const wchar_t* source, const wchar_t* type, CDialogBuildBudget* budget);
    ~CDialogBuildScope();
    CDialogBuildScope(const CDialogBuildScope&) = delete;
    CDialogBuildScope& operator=(const CDialogBuildScope&) = delete;

    const wchar_t* GetSource() const { return source_; }
    const wchar_t* GetType() const { return type_; }
    CDialogBuildBudget* GetBudget() const { return budget_.Get(); }
    // False when nothing may be built from the source: it is already being
    // built up the chain, the chain is too deep, or the run stopped because
    // the budget was spent. Refusals are logged.
    bool IsOpen() const;
    // False when the budget is spent, which stops the run (logged once).
    bool HasRoom();
    // Takes one unit for this run: a source opened, an element that made
    // nothing. False when the budget was spent already.
    bool Spend();
    // The units of the controls alive that the budget counts.
    long GetCharged() const { return budget_ ? budget_->GetCharged() : 0; }
    // The source's document, read and parsed on the first call of the run;
    // null when it cannot be read or parsed.
    CXmlDocumentUI* GetDocument();

    // The innermost scope open on this thread, or null.
    static CDialogBuildScope* Current();

private:
    struct CachedDocument;

    void Join();
    bool IsSameSource(const wchar_t* source, const wchar_t* type) const;

    CDialogBuildScope* outer_;
    CDialogBuildScope* run_;  // the first scope of the run, which keeps its units and documents
    const wchar_t* source_;
    const wchar_t* type_;
    CDialogBuildBudgetRef budget_;
    int depth_ = 0;
    bool refused_ = false;
    CXmlDocumentUI* document_ = nullptr;  // the source's, once asked for
    bool asked_ = false;
    // The run's.
    long spent_ = 0;
    bool exhausted_ = false;
    CachedDocument* documents_ = nullptr;
};

}  // namespace QuillUI
