#pragma once
#include "common/win.h"
#include "ui/controls/containers/container_ui.h"
#include "ui/controls/containers/scroll_bar_ui.h"

#include <cwchar>
#include <string>
#include <vector>

// A control that counts its destruction.
class CountedControl : public QuillUI::CControlUI {
public:
    explicit CountedControl(int* destroyed = nullptr, const wchar_t* name = L"") : destroyed_(destroyed) {
        SetName(name);
    }
    ~CountedControl() override {
        if (destroyed_ != nullptr) ++*destroyed_;
    }

private:
    int* destroyed_;
};

// A control that answers as a list item.
class ListItemControl : public QuillUI::CControlUI {
public:
    void* GetInterface(const wchar_t* name) override {
        if (name != nullptr && wcscmp(name, L"IListItem") == 0) return this;
        return QuillUI::CControlUI::GetInterface(name);
    }
};

// Stacks its visible children from the top with their fixed heights and
// asks for the bars like a layout does; the extent it needs is
// (content width, sum of heights).
class StackLayout : public QuillUI::CContainerUI {
public:
    int contentWidth = 0;
    int layouts = 0;

    void SetPos(RECT rect, bool needInvalidate = true) override {
        ++layouts;
        QuillUI::CControlUI::SetPos(rect, needInvalidate);
        const RECT area = GetLayoutArea();
        int y = area.top;
        int needed = 0;
        for (int i = 0; i < items_.GetSize(); ++i) {
            auto* child = static_cast<QuillUI::CControlUI*>(items_[i]);
            if (!child->IsVisible()) continue;
            const int h = child->GetFixedHeight();
            child->SetPos(RECT{area.left, y, area.right, y + h}, false);
            y += h;
            needed += h;
        }
        ProcessScrollBar(GetClientPos(), contentWidth, needed);
    }
    void SetScrollProcess(bool on) { scrollProcess_ = on; }
};

// The names of a container's children in order.
inline std::wstring ChildNames(const QuillUI::CContainerUI& container) {
    std::wstring names;
    for (int i = 0; i < container.GetCount(); ++i) names += container.GetItemAt(i)->GetName().GetData();
    return names;
}
