// The control of the markup tag "CheckBox": an option under its own class
// name.
#pragma once
#include "ui/controls/buttons/option_ui.h"

namespace QuillUI {

class CCheckBoxUI : public COptionUI {
public:
    CCheckBoxUI();
    ~CCheckBoxUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
};

}  // namespace QuillUI
