// The least of a container that tests of the control base and the manager
// need: owned children in order, the manager passed on, the search of the
// children (first to last, or last to first with FindTopFirst) and the
// children painted after the container itself. Children are placed by the
// test.
#pragma once
#include "ui/core/control/control_ui.h"

#include <cwchar>
#include <vector>

class CTestContainerUI : public QuillUI::CControlUI {
public:
    ~CTestContainerUI() override {
        for (QuillUI::CControlUI* child : children_) delete child;
    }

    // Takes ownership.
    void Add(QuillUI::CControlUI* child) {
        children_.push_back(child);
        child->SetManager(GetManager(), this, GetManager() != nullptr);
    }
    QuillUI::CControlUI* GetItemAt(size_t index) const { return index < children_.size() ? children_[index] : nullptr; }

    const wchar_t* GetClass() const override { return L"TestContainer"; }
    void* GetInterface(const wchar_t* name) override {
        if (name != nullptr && wcscmp(name, L"TestContainer") == 0) return this;
        return CControlUI::GetInterface(name);
    }
    void SetManager(QuillUI::CWindowManagerUI* manager, QuillUI::CControlUI* parent, bool init = true) override {
        for (QuillUI::CControlUI* child : children_) child->SetManager(manager, this, init);
        CControlUI::SetManager(manager, parent, init);
    }
    void SetVisible(bool visible = true) override {
        CControlUI::SetVisible(visible);
        for (QuillUI::CControlUI* child : children_) child->SetInternVisible(IsVisible());
    }
    void SetInternVisible(bool visible = true) override {
        CControlUI::SetInternVisible(visible);
        for (QuillUI::CControlUI* child : children_) child->SetInternVisible(IsVisible());
    }

    QuillUI::CControlUI* FindControl(QuillUI::FindControlProcUI proc, void* data, UINT flags) override {
        using namespace QuillUI;
        if ((flags & FindVisible) != 0 && !IsVisible()) return nullptr;
        if ((flags & FindEnabled) != 0 && !IsEnabled()) return nullptr;
        const bool hitTest = (flags & FindHitTest) != 0;
        if (hitTest && !PtInRect(&GetPos(), *static_cast<const POINT*>(data))) return nullptr;
        if ((flags & FindUpdateTest) != 0 && proc(this, data) != nullptr) return nullptr;
        const bool answers = !hitTest || IsMouseEnabled();
        CControlUI* result = nullptr;
        if ((flags & FindMeFirst) != 0 && answers) result = proc(this, data);
        if (result == nullptr && GetCover() != nullptr) result = GetCover()->FindControl(proc, data, flags);
        const bool topFirst = (flags & FindTopFirst) != 0;
        for (size_t i = 0; result == nullptr && i < children_.size(); ++i) {
            CControlUI* child = children_[topFirst ? children_.size() - 1 - i : i];
            result = child->FindControl(proc, data, flags);
        }
        if (result == nullptr && (flags & FindMeFirst) == 0 && answers) result = proc(this, data);
        return result;
    }

    bool DoPaint(HDC dc, const RECT& paint, QuillUI::CControlUI* stop) override {
        if (!CControlUI::DoPaint(dc, paint, stop)) return false;
        for (QuillUI::CControlUI* child : children_) {
            if (child == stop) return false;
            RECT meet;
            if (!child->IsVisible() || !IntersectRect(&meet, &paint, &child->GetPos())) continue;
            if (!child->Paint(dc, paint, stop)) return false;
        }
        return true;
    }

private:
    std::vector<QuillUI::CControlUI*> children_;
};
