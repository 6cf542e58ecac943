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

// How tree nodes join a tree, supplied by the tree view's code. A tree node
// element is skipped until these are set.
struct TreeBuildOpsUI {
    bool (*addNodeToNode)(CControlUI* parentNode, CControlUI* node) = nullptr;
    bool (*addNodeToView)(CControlUI* view, CControlUI* node) = nullptr;
    // A control that is no node goes into the parent node's row.
    bool (*addToNodeRow)(CControlUI* parentNode, CControlUI* control) = nullptr;
};
const TreeBuildOpsUI& GetTreeBuildOps();
void SetTreeBuildOps(const TreeBuildOpsUI& ops);

// The plug-in creators that CWindowManagerUI::GetPlugins lists.
using ControlPluginUI = CControlUI* (*)(const wchar_t* tag);

}  // namespace QuillUI
