#include "ui/core/markup/dialog_build_scope.h"

#include "common/common_log.h"
#include "common/win.h"

#include <cstdint>
#include <cwchar>
#include <string>

namespace QuillUI {

namespace {

thread_local CDialogBuildScope* t_innermost = nullptr;

bool IsMarkupText(const wchar_t* source) { return !IS_INTRESOURCE(source) && source[0] == L'<'; }

// The source as log lines show it.
std::string Describe(const wchar_t* source) {
    if (IS_INTRESOURCE(source)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(source));
    if (IsMarkupText(source)) return "(markup text)";
    std::string out;
    for (; *source != L'\0'; ++source) out += (*source < 0x80) ? static_cast<char>(*source) : '?';
    return out;
}

bool IsSameType(const wchar_t* a, const wchar_t* b) {
    if (a == nullptr || b == nullptr) return a == b;
    if (IS_INTRESOURCE(a) || IS_INTRESOURCE(b)) return a == b;
    return _wcsicmp(a, b) == 0;
}

}  // namespace

CDialogBuildScope::CDialogBuildScope(const wchar_t* source, const wchar_t* type)
    : outer_(t_innermost), build_(this), source_(source), type_(type) {
    t_innermost = this;
    if (outer_ == nullptr) return;
    build_ = outer_->build_;
    depth_ = outer_->depth_ + 1;
    if (source_ == nullptr) return;
    if (depth_ > kMaxDepth) {
        refused_ = true;
        CommonLog("Layout \"" + Describe(source_) + "\" skipped: layouts nested too deeply");
        return;
    }
    for (const CDialogBuildScope* up = outer_; up != nullptr; up = up->outer_) {
        if (!up->IsSameSource(source_, type_)) continue;
        refused_ = true;
        CommonLog("Layout \"" + Describe(source_) + "\" skipped: it is already being built");
        return;
    }
}

CDialogBuildScope::~CDialogBuildScope() {
    // Scopes live on the stack, so the innermost ends first.
    if (t_innermost == this) t_innermost = outer_;
}

bool CDialogBuildScope::IsSameSource(const wchar_t* source, const wchar_t* type) const {
    if (source_ == nullptr || source == nullptr) return false;
    if (IS_INTRESOURCE(source_) || IS_INTRESOURCE(source)) return source_ == source && IsSameType(type_, type);
    if (IsMarkupText(source_) || IsMarkupText(source)) return false;
    return _wcsicmp(source_, source) == 0;
}

bool CDialogBuildScope::IsOpen() const { return !refused_ && !build_->exhausted_; }

bool CDialogBuildScope::Spend() {
    if (!IsOpen()) return false;
    CDialogBuildScope& build = *build_;
    if (build.spent_ >= kMaxElements) {
        build.exhausted_ = true;
        CommonLog("Layout build stopped: more than " + std::to_string(kMaxElements) +
                  " controls and included layouts");
        return false;
    }
    ++build.spent_;
    return true;
}

CDialogBuildScope* CDialogBuildScope::Current() { return t_innermost; }

}  // namespace QuillUI
