// Turns layout markup into a tree of controls: the root element's resource
// declarations go to the window's manager, its attributes become window
// attributes, and every other element becomes a control made by tag name.
#pragma once
#include "common/win.h"
#include "ui/core/values/wide_string.h"
#include "ui/core/markup/xml_document_ui.h"

namespace QuillUI {

class CControlUI;
class CDialogBuildScope;
class IContainerUI;
class CWindowManagerUI;

// Makes the application's own controls for tags the framework does not know.
class IDialogBuilderCallback {
public:
    // Null when the tag is not the application's either.
    virtual CControlUI* CreateControl(const wchar_t* className) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

// Every build runs in a CDialogBuildScope (ui/core/markup/dialog_build_scope.h)
// and joins the build already running on the thread: a source being built
// up the chain is refused, an included source is parsed once per build, and
// the whole build makes what its budget allows (dialog_build_budget.h),
// checked before each element, with a log line when it stops.
class CDialogBuilder {
public:
    CDialogBuilder() = default;
    CDialogBuilder(const CDialogBuilder&) = delete;
    CDialogBuilder& operator=(const CDialogBuilder&) = delete;

    // markup is a resource id (MAKEINTRESOURCE, found with type in the
    // resource module), markup text (it starts with "<") or a file name in
    // the skin folder or zip. type is a text or a MAKEINTRESOURCE id. Null
    // when the markup cannot be found, read or parsed, or builds nothing.
    CControlUI* Create(const wchar_t* markup, const wchar_t* type = nullptr, IDialogBuilderCallback* callback = nullptr,
                       CWindowManagerUI* manager = nullptr, CControlUI* parent = nullptr);
    // Builds the source of a scope that the caller opened, and keeps open
    // for as long as what is built may build more: a child layout adds the
    // built root before its scope ends. Null as above, and when the scope
    // is refused or the build's budget is spent.
    CControlUI* Create(CDialogBuildScope& scope, IDialogBuilderCallback* callback = nullptr,
                       CWindowManagerUI* manager = nullptr, CControlUI* parent = nullptr);
    // Builds from the document already loaded.
    CControlUI* Create(IDialogBuilderCallback* callback = nullptr, CWindowManagerUI* manager = nullptr,
                       CControlUI* parent = nullptr);

    CXmlDocumentUI* GetMarkup() { return &document_; }

private:
    // What includes need of the source's type.
    void RememberType(const wchar_t* markup, const wchar_t* type);
    CControlUI* Build(CXmlDocumentUI& document, CDialogBuildScope& scope, IDialogBuilderCallback* callback,
                      CWindowManagerUI* manager, CControlUI* parent);
    void RegisterResources(CXmlNodeUI root, CWindowManagerUI* manager);
    // The controls of one level; the first one made (tree nodes aside), or
    // null when the parent cannot take children.
    CControlUI* ParseLevel(CXmlNodeUI node, CControlUI* parent, CWindowManagerUI* manager);
    struct LevelState {
        IContainerUI* container = nullptr;
        bool containerAsked = false;
        CControlUI* first = nullptr;
    };
    // False when the level must end.
    bool ParseElement(CXmlNodeUI node, CControlUI* parent, CWindowManagerUI* manager, LevelState& level);
    void BuildInclude(CXmlNodeUI node, CControlUI* parent, CWindowManagerUI* manager);
    // False when the level must end: the parent takes no tree nodes.
    bool BuildTreeNode(CXmlNodeUI node, CControlUI* parent, CWindowManagerUI* manager);
    CControlUI* MakeControl(const wchar_t* tag);
    static void ApplyAttributes(CControlUI* control, CXmlNodeUI node, const wchar_t* tag, CWindowManagerUI* manager);

    CXmlDocumentUI document_;  // for a document loaded before the build
    IDialogBuilderCallback* callback_ = nullptr;
    // The resource type the markup came with; includes use it as well.
    const wchar_t* typeId_ = nullptr;  // a MAKEINTRESOURCE type
    CWideString typeName_;             // a text type
    bool fromResource_ = false;
    CDialogBuildScope* scope_ = nullptr;  // while building
};

}  // namespace QuillUI
