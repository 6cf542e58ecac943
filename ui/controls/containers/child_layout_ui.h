// The layout of the markup tag "ChildLayout": when it is initialised it
// fills itself with the control tree of a markup file of its own.
#pragma once
#include "common/win.h"
#include "ui/controls/containers/container_ui.h"
#include "ui/core/markup/dialog_build_budget.h"
#include "ui/core/values/wide_string.h"

namespace QuillUI {

class CChildLayoutUI : public CContainerUI {
public:
    CChildLayoutUI();
    ~CChildLayoutUI() override;

    const wchar_t* GetClass() const override;
    // "ChildLayout" answers the layout; other names go to the container.
    void* GetInterface(const wchar_t* name) override;
    // Builds the file, under the budget of the build that made the layout
    // (or one of its own, made by the first Init, when no build did); a
    // file that builds nothing empties the layout.
    void Init() override;
    // "xmlfile".
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // A file name, or a resource id as the dialog builder takes it; nothing
    // is read before Init.
    void SetChildLayoutXML(const wchar_t* file);
    CWideString GetChildLayoutXML() const { return xmlFile_; }

private:
    CWideString xmlFile_;
    CDialogBuildBudgetRef build_;
    // The account of the tree built last.
    CDialogBuildBudgetRef tree_;
};

}  // namespace QuillUI
