// A control that logs what reaches it: init, destruction, events and the
// stages of its painting, into a log that several controls may share.
#pragma once
#include "ui/core/control/control_ui.h"

#include <string>
#include <vector>

struct RecordedEvent {
    int kind;
    QuillUI::CControlUI* sender;
    WPARAM wParam;
};

class CRecordingControlUI : public QuillUI::CControlUI {
public:
    explicit CRecordingControlUI(const wchar_t* label = L"", std::vector<std::wstring>* log = nullptr)
        : label_(label), log_(log) {}
    ~CRecordingControlUI() override {
        Log(L"destroy");
        if (deleted_ != nullptr) *deleted_ = true;
    }

    // Set to true when the control is destroyed.
    void WatchDeletion(bool* deleted) { deleted_ = deleted; }
    void SetClass(const wchar_t* name) { class_ = name; }
    void SetControlFlags(UINT flags) { flags_ = flags; }
    // DoPaint answers this after painting.
    void SetPaintResult(bool result) { paintResult_ = result; }

    const wchar_t* GetClass() const override { return class_.c_str(); }
    UINT GetControlFlags() const override { return flags_; }
    void DoInit() override { Log(L"init"); }
    void DoEvent(QuillUI::ControlEventUI& event) override {
        events.push_back(RecordedEvent{event.kind, event.sender, event.wParam});
        CControlUI::DoEvent(event);
    }
    bool DoPaint(HDC dc, const RECT& paint, QuillUI::CControlUI* stop) override {
        Log(L"paint");
        return CControlUI::DoPaint(dc, paint, stop) && paintResult_;
    }
    void PaintBkColor(HDC dc) override {
        Log(L"bkcolor");
        CControlUI::PaintBkColor(dc);
    }
    void PaintBkImage(HDC dc) override {
        Log(L"bkimage");
        CControlUI::PaintBkImage(dc);
    }
    void PaintStatusImage(HDC dc) override {
        Log(L"statusimage");
        CControlUI::PaintStatusImage(dc);
    }
    void PaintText(HDC dc) override {
        Log(L"text");
        CControlUI::PaintText(dc);
    }
    void PaintBorder(HDC dc) override {
        Log(L"border");
        CControlUI::PaintBorder(dc);
    }

    std::vector<RecordedEvent> events;

private:
    void Log(const wchar_t* what) {
        if (log_ != nullptr) log_->push_back(label_ + L"." + what);
    }

    std::wstring label_;
    std::vector<std::wstring>* log_;
    bool* deleted_ = nullptr;
    std::wstring class_ = L"Recording";
    UINT flags_ = 0;
    bool paintResult_ = true;
};
