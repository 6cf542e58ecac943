// The control of the markup tag "Option": a button with a selected state.
// Alone it toggles on each click; in a named group, kept by the window's
// manager, selecting one option deselects the others. Each change the user
// makes sends "selectchanged" from the option that became selected (or, out
// of a group, from the option that changed).
#pragma once
#include "ui/controls/buttons/button_ui.h"

namespace QuillUI {

class COptionUI : public CButtonUI {
public:
    COptionUI();
    // Leaves its group.
    ~COptionUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    bool Activate() override;
    // Joins its group in the new manager when init is set or the manager
    // changed.
    void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
    // Disabling keeps only the selected bit of the state word.
    void SetEnabled(bool enabled = true) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;
    virtual void Selected(bool select, bool sendNotify = true);

    bool IsSelected() const { return selected_; }
    CWideString GetGroup() const { return group_; }
    // Null or empty: no group.
    void SetGroup(const wchar_t* name);

    CWideString GetSelectedImage() const { return selectedImage_.GetDescription(); }
    void SetSelectedImage(const wchar_t* description);
    CWideString GetSelectedHotImage() const { return selectedHotImage_.GetDescription(); }
    void SetSelectedHotImage(const wchar_t* description);
    // The option's fore image, drawn over its state images.
    CWideString GetForeImage() const { return optionForeImage_.GetDescription(); }
    void SetForeImage(const wchar_t* description);
    DWORD GetSelectedBkColor() const { return selectedBkColor_; }
    void SetSelectedBkColor(DWORD color) { selectedBkColor_ = color; }
    DWORD GetSelectedTextColor() const { return selectedTextColor_; }
    void SetSelectedTextColor(DWORD color) { selectedTextColor_ = color; }

protected:
    bool selected_ = false;
    CWideString group_;
    DWORD selectedBkColor_ = 0;
    DWORD selectedTextColor_ = 0;
    CImageSlotUI selectedImage_;
    CImageSlotUI selectedHotImage_;
    CImageSlotUI optionForeImage_;
};

}  // namespace QuillUI
