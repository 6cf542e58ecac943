#include "ui/core/markup/dialog_build_scope.h"

#include "common/common_log.h"
#include "common/win.h"
#include "ui/core/markup/xml_document_ui.h"
#include "ui/core/skin/module_resource.h"
#include "ui/core/values/wide_string.h"

#include <cstdint>
#include <cwchar>
#include <new>
#include <string>

namespace QuillUI {

namespace {

thread_local CDialogBuildScope* t_innermost = nullptr;

// What a run keeps of the documents it parsed; past it, a document lives
// only as long as the scope that reads it.
const size_t kMaxCachedBytes = 16 * 1024 * 1024;

bool IsMarkupText(const wchar_t* source) { return !IS_INTRESOURCE(source) && source[0] == L'<'; }

// The source as log lines show it.
std::string Describe(const wchar_t* source) {
    if (source == nullptr) return "(loaded markup)";
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

bool LoadSource(CXmlDocumentUI& document, const wchar_t* source, const wchar_t* type) {
    if (!IS_INTRESOURCE(source)) {
        if (source[0] == L'<') return document.Load(source);
        return document.LoadFromFile(source, CXmlDocumentUI::kEncodingUtf8);
    }
    if (type == nullptr) return false;
    DWORD size = 0;
    const void* bytes = FindModuleResource(source, type, size);
    if (bytes == nullptr) return false;
    return document.LoadFromMem(bytes, size, CXmlDocumentUI::kEncodingUtf8);
}

}  // namespace

// One source's document, with copies of the source and type it was read
// from, as the scopes that asked for it may have ended.
struct CDialogBuildScope::CachedDocument {
    bool Matches(const wchar_t* source, const wchar_t* type) const {
        if (!IsSameType(typeId != nullptr ? typeId : typeText.GetData(), type)) return false;
        if (IS_INTRESOURCE(source)) return sourceId == source;
        if (sourceId != nullptr) return false;
        // Markup text is the same only as it stands; file names in any case.
        return IsMarkupText(source) ? sourceText == source : _wcsicmp(sourceText.GetData(), source) == 0;
    }

    CachedDocument* next = nullptr;
    const wchar_t* sourceId = nullptr;  // a MAKEINTRESOURCE id
    CWideString sourceText;
    const wchar_t* typeId = nullptr;  // a MAKEINTRESOURCE type
    CWideString typeText;
    bool loaded = false;
    CXmlDocumentUI document;
};

CDialogBuildScope::CDialogBuildScope(const wchar_t* source, const wchar_t* type)
    : outer_(t_innermost), run_(this), source_(source), type_(type) {
    budget_ = outer_ != nullptr ? outer_->budget_ : CDialogBuildBudgetRef(CDialogBuildBudget::New());
    Join();
}

CDialogBuildScope::CDialogBuildScope(const wchar_t* source, const wchar_t* type, CDialogBuildBudget* budget)
    : outer_(t_innermost), run_(this), source_(source), type_(type), budget_(CDialogBuildBudgetRef::Share(budget)) {
    Join();
}

void CDialogBuildScope::Join() {
    t_innermost = this;
    if (!budget_) {
        refused_ = true;
        CommonLog("Layout \"" + Describe(source_) + "\" skipped: no memory for its build");
        return;
    }
    if (outer_ == nullptr) return;
    // A scope of another build on the stack (a child layout made by one
    // window and initialised during another's build) starts a run of its own.
    if (outer_->budget_ && outer_->budget_->GetRoot() == budget_->GetRoot()) run_ = outer_->run_;
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
    while (CachedDocument* entry = documents_) {
        documents_ = entry->next;
        delete entry;
    }
}

bool CDialogBuildScope::IsSameSource(const wchar_t* source, const wchar_t* type) const {
    if (source_ == nullptr || source == nullptr) return false;
    if (IS_INTRESOURCE(source_) || IS_INTRESOURCE(source)) return source_ == source && IsSameType(type_, type);
    if (IsMarkupText(source_) || IsMarkupText(source)) return false;
    return _wcsicmp(source_, source) == 0;
}

bool CDialogBuildScope::IsOpen() const { return !refused_ && !run_->exhausted_; }

bool CDialogBuildScope::HasRoom() {
    if (!IsOpen()) return false;
    if (GetCharged() + run_->spent_ < CDialogBuildBudget::kMaxUnits) return true;
    run_->exhausted_ = true;
    CommonLog("Layout build stopped: it reached " + std::to_string(CDialogBuildBudget::kMaxUnits) +
              " controls, included layouts and skipped elements");
    return false;
}

bool CDialogBuildScope::Spend() {
    if (!HasRoom()) return false;
    ++run_->spent_;
    return true;
}

CXmlDocumentUI* CDialogBuildScope::GetDocument() {
    if (asked_ || source_ == nullptr || refused_) return document_;
    asked_ = true;
    size_t cached = 0;
    for (CachedDocument* entry = run_->documents_; entry != nullptr; entry = entry->next) {
        if (entry->Matches(source_, type_)) return document_ = entry->loaded ? &entry->document : nullptr;
        cached += entry->document.GetMemorySize();
    }
    CachedDocument* entry = new (std::nothrow) CachedDocument;
    if (entry == nullptr) return nullptr;
    if (IS_INTRESOURCE(source_))
        entry->sourceId = source_;
    else
        entry->sourceText = source_;
    if (type_ != nullptr && IS_INTRESOURCE(type_))
        entry->typeId = type_;
    else if (type_ != nullptr)
        entry->typeText = type_;
    entry->loaded = LoadSource(entry->document, source_, type_);
    // Over the run's share the document stays this scope's: read once for
    // all the copies of one include still.
    CDialogBuildScope* keeper = cached + entry->document.GetMemorySize() <= kMaxCachedBytes ? run_ : this;
    entry->next = keeper->documents_;
    keeper->documents_ = entry;
    if (entry->loaded) document_ = &entry->document;
    return document_;
}

CDialogBuildScope* CDialogBuildScope::Current() { return t_innermost; }

}  // namespace QuillUI
