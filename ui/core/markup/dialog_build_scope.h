// The work of one build of control trees from markup, shared by every
// builder that the build starts: each "Include", and each child layout that
// builds a markup file of its own while the build is running.
//
// A scope is opened for every markup source that is built, on the stack of
// the window's thread, and joins the build that is running on that thread
// (the innermost scope still open), or starts a new build when none is. A
// source that is already being built up the chain of open scopes is
// refused, so no markup can build itself, directly or through others; and
// the whole build may make a bounded number of controls and open a bounded
// number of sources, so that markup including other markup many times over
// cannot keep the thread busy.
//
// A child layout keeps its scope open while it adds the tree it built, as
// the layouts inside that tree build their own files when they are
// initialised:
//
//     CDialogBuildScope scope(file);
//     CDialogBuilder builder;
//     CControlUI* root = builder.Create(scope, nullptr, manager_, nullptr);
//     if (root != nullptr) Add(root);  // inner layouts build under scope
#pragma once

namespace QuillUI {

class CDialogBuildScope {
public:
    // Scopes deeper than this below the build's first one are refused.
    static const int kMaxDepth = 16;
    // What one build may make: each control and each source opened costs one.
    // Room for a list or tree of tens of thousands of rows from one file,
    // while the controls stay within the memory of a 32-bit process.
    static const long kMaxElements = 100000;

    // source is a file name, markup text (it starts with "<" and, naming no
    // file, is never met again up the chain), a resource id
    // (MAKEINTRESOURCE) with its type (a text or a MAKEINTRESOURCE id), or
    // null for a document loaded already. Both must outlive the scope.
    explicit CDialogBuildScope(const wchar_t* source = nullptr, const wchar_t* type = nullptr);
    ~CDialogBuildScope();
    CDialogBuildScope(const CDialogBuildScope&) = delete;
    CDialogBuildScope& operator=(const CDialogBuildScope&) = delete;

    const wchar_t* GetSource() const { return source_; }
    const wchar_t* GetType() const { return type_; }
    // False when nothing may be built from the source: it is already being
    // built up the chain, the chain is too deep, or the build's budget ran
    // out. Refusals are logged.
    bool IsOpen() const;
    // Takes one element from the build's budget; false when the scope is
    // not open, or when the budget runs out (logged), which closes every
    // scope of the build.
    bool Spend();

    // The innermost scope open on this thread, or null.
    static CDialogBuildScope* Current();

private:
    bool IsSameSource(const wchar_t* source, const wchar_t* type) const;

    CDialogBuildScope* outer_;
    CDialogBuildScope* build_;  // the build's first scope, which keeps the budget
    const wchar_t* source_;
    const wchar_t* type_;
    int depth_ = 0;
    bool refused_ = false;
    long spent_ = 0;
    bool exhausted_ = false;
};

}  // namespace QuillUI
