// The tag table of the dialog builder.
#include "ui/core/markup/dialog_builder_tags.h"

#include "ui/controls/buttons/button_ui.h"
#include "ui/controls/buttons/check_box_ui.h"
#include "ui/controls/buttons/option_ui.h"
#include "ui/controls/containers/child_layout_ui.h"
#include "ui/controls/containers/container_ui.h"
#include "ui/controls/containers/horizontal_layout_ui.h"
#include "ui/controls/containers/scroll_bar_ui.h"
#include "ui/controls/containers/tab_layout_ui.h"
#include "ui/controls/containers/tile_layout_ui.h"
#include "ui/controls/containers/vertical_layout_ui.h"
#include "ui/controls/lists/combo_ui.h"
#include "ui/controls/lists/list_container_element_ui.h"
#include "ui/controls/lists/list_hbox_element_ui.h"
#include "ui/controls/lists/list_header_item_ui.h"
#include "ui/controls/lists/list_header_ui.h"
#include "ui/controls/lists/list_label_element_ui.h"
#include "ui/controls/lists/list_text_element_ui.h"
#include "ui/controls/lists/list_ui.h"
#include "ui/controls/media/gif_anim_ui.h"
#include "ui/controls/text/edit_ui.h"
#include "ui/controls/text/label_ui.h"
#include "ui/controls/text/rich_edit_ui.h"
#include "ui/controls/text/text_ui.h"
#include "ui/controls/tree/tree_node_ui.h"
#include "ui/controls/tree/tree_view_ui.h"
#include "ui/controls/values/date_time_ui.h"
#include "ui/controls/values/progress_ui.h"
#include "ui/controls/values/slider_ui.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/hosts/active_x_ui.h"
#include "ui/core/hosts/flash_ui.h"
#include "ui/core/hosts/web_browser_ui.h"

#include <cwchar>
#include <new>
#include <string>
#include <vector>

namespace QuillUI {

namespace {

template <class Control>
CControlUI* Make() {
    return new (std::nothrow) Control();
}

// One row per tag; several tags may make one class.
const ControlTagUI kFrameworkTags[] = {
    {L"Control", &Make<CControlUI>},
    {L"Container", &Make<CContainerUI>},
    {L"ScrollBar", &Make<CScrollBarUI>},
    {L"ActiveX", &Make<CActiveXUI>},
    {L"WebBrowser", &Make<CWebBrowserUI>},
    {L"Flash", &Make<CFlashUI>},
    {L"VerticalLayout", &Make<CVerticalLayoutUI>},
    {L"VBox", &Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", &Make<CHorizontalLayoutUI>},
    {L"HBox", &Make<CHorizontalLayoutUI>},
    {L"Label", &Make<CLabelUI>},
    {L"Text", &Make<CTextUI>},
    {L"Button", &Make<CButtonUI>},
    {L"Option", &Make<COptionUI>},
    {L"CheckBox", &Make<CCheckBoxUI>},
    {L"TabLayout", &Make<CTabLayoutUI>},
    {L"TileLayout", &Make<CTileLayoutUI>},
    {L"ChildLayout", &Make<CChildLayoutUI>},
    {L"GifAnim", &Make<CGifAnimUI>},
    {L"List", &Make<CListUI>},
    {L"ListHeader", &Make<CListHeaderUI>},
    {L"ListHeaderItem", &Make<CListHeaderItemUI>},
    {L"ListLabelElement", &Make<CListLabelElementUI>},
    {L"ListTextElement", &Make<CListTextElementUI>},
    {L"ListHBoxElement", &Make<CListHBoxElementUI>},
    {L"ListContainerElement", &Make<CListContainerElementUI>},
    {L"Combo", &Make<CComboUI>},
    {L"ComboBox", &Make<CComboUI>},
    {L"RichEdit", &Make<CRichEditUI>},
    {L"Progress", &Make<CProgressUI>},
    {L"Slider", &Make<CSliderUI>},
    {L"Edit", &Make<CEditUI>},
    {L"DateTime", &Make<CDateTimeUI>},
    {L"Tree", &Make<CTreeViewUI>},
    {L"TreeView", &Make<CTreeViewUI>},
    {L"TreeNode", &Make<CTreeNodeUI>},
};

struct RegisteredTag {
    std::wstring tag;
    ControlFactoryUI create;
};

std::vector<RegisteredTag>& Registered() {
    static std::vector<RegisteredTag> rows;
    return rows;
}

TreeBuildOpsUI& TreeOps() {
    static TreeBuildOpsUI ops;
    return ops;
}

}  // namespace

CControlUI* CreateControlForTag(const wchar_t* tag) {
    if (tag == nullptr || *tag == L'\0') return nullptr;
    // Rows a program registered win over the framework's own.
    for (const RegisteredTag& row : Registered()) {
        if (_wcsicmp(row.tag.c_str(), tag) == 0) return row.create();
    }
    for (const ControlTagUI& row : kFrameworkTags) {
        if (_wcsicmp(row.tag, tag) == 0) return row.create();
    }
    return nullptr;
}

bool RegisterControlTag(const wchar_t* tag, ControlFactoryUI create) {
    if (tag == nullptr || *tag == L'\0' || create == nullptr) return false;
    for (RegisteredTag& row : Registered()) {
        if (_wcsicmp(row.tag.c_str(), tag) == 0) {
            row.create = create;
            return true;
        }
    }
    Registered().push_back({tag, create});
    return true;
}

bool AddThroughContainer(CControlUI* parent, CControlUI* control) {
    if (parent == nullptr || control == nullptr) return false;
    IContainerUI* container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
    return container != nullptr && container->Add(control);
}

const TreeBuildOpsUI& GetTreeBuildOps() { return TreeOps(); }

// A null operation falls back to the default routing, or, for the row, to
// skipping.
void SetTreeBuildOps(const TreeBuildOpsUI& ops) {
    TreeBuildOpsUI& held = TreeOps();
    held = ops;
    const TreeBuildOpsUI defaults;
    if (held.addNodeToNode == nullptr) held.addNodeToNode = defaults.addNodeToNode;
    if (held.addNodeToView == nullptr) held.addNodeToView = defaults.addNodeToView;
}

}  // namespace QuillUI
