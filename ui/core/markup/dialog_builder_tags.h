// The markup tags the framework makes controls for, matched without case.
// The framework's own rows live in dialog_builder_tags.cpp; a control class
// adds its row there, and a program may register more at start-up.
#pragma once

namespace QuillUI {

class CControlUI;

using ControlFactoryUI = CControlUI* (*)();

struct ControlTagUI {
    const wchar_t* tag;
    ControlFactoryUI create;
};

// A new control of the tag's class, or null for a tag nobody knows.
CControlUI* CreateControlForTag(const wchar_t* tag);

// Adds a row, or replaces the factory of a tag already known; false for an
// empty tag or a null factory.
bool RegisterControlTag(const wchar_t* tag, ControlFactoryUI create);

// Adds control to parent through the parent's IContainerUI::Add; false
// when the parent is no container or refuses it.
bool AddThroughContainer(CControlUI* parent, CControlUI* control);

// How the elements of a tree join it. A node joins its parent node through
// that node's own add, which takes a node as a child node, and a tree view
// through the view's add; both are routed so by default. Any other control
// under a node goes into the node's row, which only the tree's code can
// reach: such controls are skipped, with a log line, until it sets
// addToNodeRow. The "TreeNode" tag itself comes from the tag table.
struct TreeBuildOpsUI {
    bool (*addNodeToNode)(CControlUI* parentNode, CControlUI* node) = &AddThroughContainer;
    bool (*addNodeToView)(CControlUI* view, CControlUI* node) = &AddThroughContainer;
    bool (*addToNodeRow)(CControlUI* parentNode, CControlUI* control) = nullptr;
};
const TreeBuildOpsUI& GetTreeBuildOps();
// Null node operations keep the default routing.
void SetTreeBuildOps(const TreeBuildOpsUI& ops);

// The plug-in creators that CWindowManagerUI::GetPlugins lists.
using ControlPluginUI = CControlUI* (*)(const wchar_t* tag);

}  // namespace QuillUI
