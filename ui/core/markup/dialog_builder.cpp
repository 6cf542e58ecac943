// Loading markup and building control trees from it.
#include "ui/core/markup/dialog_builder.h"

#include "ui/core/markup/attribute_value_ui.h"
#include "common/common_log.h"
#include "ui/core/markup/dialog_build_scope.h"
#include "ui/core/control/control_ui.h"
#include "ui/controls/containers/container_ui.h"
#include "ui/core/markup/dialog_builder_tags.h"
#include "ui/core/manager/window_manager_ui.h"

#include <cwchar>
#include <cwctype>

namespace QuillUI {

namespace {

bool IsTag(const wchar_t* name, const wchar_t* tag) { return name != nullptr && _wcsicmp(name, tag) == 0; }

bool IsResourceElement(const wchar_t* name) {
    return IsTag(name, L"Image") || IsTag(name, L"Font") || IsTag(name, L"Default") || IsTag(name, L"MultiLanguage");
}

}  // namespace

CControlUI* CDialogBuilder::Create(const wchar_t* markup, const wchar_t* type, IDialogBuilderCallback* callback,
                                   CWindowManagerUI* manager, CControlUI* parent) {
    CDialogBuildScope scope(markup, type);
    return Create(scope, callback, manager, parent);
}

CControlUI* CDialogBuilder::Create(CDialogBuildScope& scope, IDialogBuilderCallback* callback,
                                   CWindowManagerUI* manager, CControlUI* parent) {
    // Opening a source costs a unit: a build that includes small or empty
    // files many times over is bounded too.
    if (!scope.IsOpen() || !scope.Spend()) return nullptr;
    CXmlDocumentUI* document = scope.GetDocument();
    if (document == nullptr) return nullptr;
    RememberType(scope.GetSource(), scope.GetType());
    return Build(*document, scope, callback, manager, parent);
}

CControlUI* CDialogBuilder::Create(IDialogBuilderCallback* callback, CWindowManagerUI* manager, CControlUI* parent) {
    CDialogBuildScope scope;
    return Build(document_, scope, callback, manager, parent);
}

void CDialogBuilder::RememberType(const wchar_t* markup, const wchar_t* type) {
    typeId_ = nullptr;
    typeName_.Empty();
    fromResource_ = markup != nullptr && IS_INTRESOURCE(markup) && type != nullptr;
    if (!fromResource_) return;
    if (IS_INTRESOURCE(type))
        typeId_ = type;
    else
        typeName_ = type;
}

CControlUI* CDialogBuilder::Build(CXmlDocumentUI& document, CDialogBuildScope& scope,
                                  IDialogBuilderCallback* callback, CWindowManagerUI* manager, CControlUI* parent) {
    callback_ = callback;
    CXmlNodeUI root = document.GetRoot();
    if (!root.IsValid()) return nullptr;
    scope_ = &scope;
    if (manager != nullptr) {
        RegisterResources(root, manager);
        if (IsTag(root.GetName(), L"Window") && manager->GetPaintWindow() != nullptr) {
            const int count = root.GetAttributeCount();
            for (int i = 0; i < count; ++i) manager->SetWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i));
        }
    }
    CControlUI* first = ParseLevel(root, parent, manager);
    scope_ = nullptr;
    return first;
}

void CDialogBuilder::RegisterResources(CXmlNodeUI root, CWindowManagerUI* manager) {
    for (CXmlNodeUI node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const wchar_t* tag = node.GetName();
        if (!IsResourceElement(tag)) continue;
        const int count = node.GetAttributeCount();
        if (IsTag(tag, L"Image")) {
            const wchar_t* name = nullptr;
            const wchar_t* type = nullptr;
            DWORD mask = 0;
            bool shared = false;
            for (int i = 0; i < count; ++i) {
                const wchar_t* key = node.GetAttributeName(i);
                const wchar_t* value = node.GetAttributeValue(i);
                if (wcscmp(key, L"name") == 0) name = value;
                else if (wcscmp(key, L"restype") == 0) type = value;
                else if (wcscmp(key, L"mask") == 0) mask = ReadColorValue(value);
                else if (wcscmp(key, L"shared") == 0) shared = IsTrueValueAnyCase(value);
            }
            if (name != nullptr && *name != L'\0') manager->AddImage(name, type, mask, false, shared);
        } else if (IsTag(tag, L"Font")) {
            long id = -1;
            const wchar_t* face = nullptr;
            int size = 12;
            bool bold = false, underline = false, italic = false, isDefault = false, shared = false;
            for (int i = 0; i < count; ++i) {
                const wchar_t* key = node.GetAttributeName(i);
                const wchar_t* value = node.GetAttributeValue(i);
                if (wcscmp(key, L"id") == 0) id = wcstol(value, nullptr, 10);
                else if (wcscmp(key, L"name") == 0) face = value;
                else if (wcscmp(key, L"size") == 0) size = static_cast<int>(wcstol(value, nullptr, 10));
                else if (wcscmp(key, L"bold") == 0) bold = IsTrueValueAnyCase(value);
                else if (wcscmp(key, L"underline") == 0) underline = IsTrueValueAnyCase(value);
                else if (wcscmp(key, L"italic") == 0) italic = IsTrueValueAnyCase(value);
                else if (wcscmp(key, L"default") == 0) isDefault = IsTrueValueAnyCase(value);
                else if (wcscmp(key, L"shared") == 0) shared = IsTrueValueAnyCase(value);
            }
            if (id < 0 || id > 0x7FFFFFFFL || face == nullptr || *face == L'\0') continue;
            manager->AddFont(static_cast<int>(id), face, size, bold, underline, italic, shared);
            if (isDefault) manager->SetDefaultFont(face, size, bold, underline, italic, shared);
        } else if (IsTag(tag, L"Default")) {
            const wchar_t* name = nullptr;
            const wchar_t* value = nullptr;
            bool shared = false;
            for (int i = 0; i < count; ++i) {
                const wchar_t* key = node.GetAttributeName(i);
                if (wcscmp(key, L"name") == 0) name = node.GetAttributeValue(i);
                else if (wcscmp(key, L"value") == 0) value = node.GetAttributeValue(i);
                else if (wcscmp(key, L"shared") == 0) shared = IsTrueValueAnyCase(node.GetAttributeValue(i));
            }
            if (name != nullptr && *name != L'\0' && value != nullptr)
                manager->AddDefaultAttributeList(name, value, shared);
        } else {
            long id = -1;
            const wchar_t* value = nullptr;
            for (int i = 0; i < count; ++i) {
                const wchar_t* key = node.GetAttributeName(i);
                if (wcscmp(key, L"id") == 0) id = wcstol(node.GetAttributeValue(i), nullptr, 10);
                else if (wcscmp(key, L"value") == 0) value = node.GetAttributeValue(i);
            }
            if (id >= 0 && id <= 0x7FFFFFFFL && value != nullptr)
                CWindowManagerUI::AddMultiLanguageString(static_cast<int>(id), value);
        }
    }
}

CControlUI* CDialogBuilder::MakeControl(const wchar_t* tag) {
    if (CControlUI* control = CreateControlForTag(tag)) return control;
    const CPointerArray* plugins = CWindowManagerUI::GetPlugins();
    for (int i = 0; i < plugins->GetSize(); ++i) {
        ControlPluginUI plugin = reinterpret_cast<ControlPluginUI>(plugins->GetAt(i));
        if (plugin == nullptr) continue;
        if (CControlUI* control = plugin(tag)) return control;
    }
    if (callback_ != nullptr) return callback_->CreateControl(tag);
    return nullptr;
}

void CDialogBuilder::ApplyAttributes(CControlUI* control, CXmlNodeUI node, const wchar_t* tag,
                                     CWindowManagerUI* manager) {
    if (manager != nullptr) {
        control->SetManager(manager, nullptr, false);
        if (const wchar_t* defaults = manager->GetDefaultAttributeList(tag)) control->ApplyAttributeList(defaults);
    }
    const int count = node.GetAttributeCount();
    for (int i = 0; i < count; ++i) control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
}

void CDialogBuilder::BuildInclude(CXmlNodeUI node, CControlUI* parent, CWindowManagerUI* manager) {
    wchar_t text[500] = L"";
    long count = 1;
    if (node.GetAttributeValue(L"count", text, 500)) count = wcstol(text, nullptr, 10);
    wchar_t source[500] = L"";
    node.GetAttributeValue(L"source", source, 500);
    const wchar_t* markup = source;
    const wchar_t* type = nullptr;
    if (fromResource_) {
        const long id = wcstol(source, nullptr, 10);
        if (id <= 0 || id > 0xFFFF) return;
        markup = MAKEINTRESOURCEW(id);
        type = typeId_ != nullptr ? typeId_ : typeName_.GetData();
    }
    // One scope for every copy: a source that is being built up the chain
    // is refused once, not count times.
    CDialogBuildScope scope(markup, type);
    for (long i = 0; i < count && scope.IsOpen(); ++i) {
        CDialogBuilder builder;
        CControlUI* made = builder.Create(scope, callback_, manager, parent);
        // With a parent the included controls are attached to it; without
        // one nothing would own them.
        if (made != nullptr && parent == nullptr) made->Delete();
    }
}

bool CDialogBuilder::BuildTreeNode(CXmlNodeUI node, CControlUI* parent, CWindowManagerUI* manager) {
    // A node outside any tree has nowhere to go; the level goes on, as it
    // would lose the controls made so far otherwise.
    if (parent == nullptr) {
        CommonLog("Layout tree node without a tree skipped");
        return true;
    }
    const TreeBuildOpsUI& ops = GetTreeBuildOps();
    const bool parentIsNode = parent->GetInterface(L"TreeNode") != nullptr;
    const bool parentIsView = !parentIsNode && parent->GetInterface(L"TreeView") != nullptr;
    if (!parentIsNode && !parentIsView) return false;
    CControlUI* treeNode = CreateControlForTag(L"TreeNode");
    if (treeNode == nullptr) {
        CommonLog("Layout tree node skipped: no tree node control is known");
        return true;
    }
    if (parentIsNode && !ops.addNodeToNode(parent, treeNode)) {
        CommonLog("Layout tree node skipped: its parent node refused it");
        treeNode->Delete();
        return true;
    }
    ApplyAttributes(treeNode, node, node.GetName(), manager);
    if (node.HasChildren()) ParseLevel(node, treeNode, manager);
    if (parentIsView && !ops.addNodeToView(parent, treeNode)) {
        CommonLog("Layout tree node skipped: its tree refused it");
        treeNode->Delete();
    }
    return true;
}

CControlUI* CDialogBuilder::ParseLevel(CXmlNodeUI level, CControlUI* parent, CWindowManagerUI* manager) {
    LevelState state;
    for (CXmlNodeUI node = level.GetChild(); node.IsValid(); node = node.GetSibling()) {
        // Everything after the budget is spent is skipped; what was made
        // stays where it is.
        if (!scope_->HasRoom()) break;
        const long charged = scope_->GetCharged();
        const bool goOn = ParseElement(node, parent, manager, state);
        // An element that leaves no control behind costs its visit, so that
        // markup of skipped elements repeated by includes is bounded too.
        if (scope_->GetCharged() <= charged) scope_->Spend();
        if (!goOn) return nullptr;
    }
    return state.first;
}

bool CDialogBuilder::ParseElement(CXmlNodeUI node, CControlUI* parent, CWindowManagerUI* manager,
                                  LevelState& level) {
    const wchar_t* tag = node.GetName();
    if (IsResourceElement(tag)) return true;
    if (IsTag(tag, L"Include")) {
        if (node.HasAttributes()) BuildInclude(node, parent, manager);
        return true;
    }
    if (IsTag(tag, L"TreeNode")) return BuildTreeNode(node, parent, manager);
    CControlUI* control = MakeControl(tag);
    if (control == nullptr) return true;
    // Children are complete before their parent is attached.
    if (node.HasChildren()) ParseLevel(node, control, manager);

    if (parent != nullptr) {
        wchar_t cover[256] = L"";
        node.GetAttributeValue(L"cover", cover, 256);
        const bool parentIsNode = parent->GetInterface(L"TreeNode") != nullptr;
        if (IsTrueValue(cover)) {
            parent->SetCover(control);
        } else if (parentIsNode) {
            const TreeBuildOpsUI& ops = GetTreeBuildOps();
            if (ops.addToNodeRow == nullptr || !ops.addToNodeRow(parent, control)) {
                CommonLog("Layout control in a tree node skipped: the node's row refused it");
                control->Delete();
                return true;
            }
        } else {
            if (!level.containerAsked) {
                level.container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
                level.containerAsked = true;
            }
            if (level.container == nullptr) {
                // Nothing would own the control.
                control->Delete();
                return false;
            }
            if (!level.container->Add(control)) {
                control->Delete();
                return true;
            }
        }
    }

    ApplyAttributes(control, node, tag, manager);
    if (manager != nullptr) control->SetManager(nullptr, nullptr, false);

    if (level.first == nullptr) {
        level.first = control;
    } else if (parent == nullptr) {
        // Only the first top-level control is handed back.
        control->Delete();
    }
    return true;
}

}  // namespace QuillUI
