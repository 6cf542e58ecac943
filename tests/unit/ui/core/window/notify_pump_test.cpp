#include "ui/core/window/notify_pump.h"
#include "ui/core/manager/notify_sender_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace QuillUI;

namespace {

// Senders are opaque to the pump; the tests' reader knows this stand-in.
struct NamedSender {
    const wchar_t* name;
};
CControlUI* Sender(NamedSender& sender) { return reinterpret_cast<CControlUI*>(&sender); }
const wchar_t* ReadName(const CControlUI* sender) { return reinterpret_cast<const NamedSender*>(sender)->name; }

// A first base, so that the pump part does not start the object and each
// call must adjust the object pointer.
class Padding {
public:
    virtual ~Padding() = default;
    long long padding[3] = {1, 2, 3};
};

class BaseWindow : public Padding, public CNotifyPump {
public:
    const NotifyMapUI* GetMessageMap() const override { return &kMap; }
    static const NotifyMapUI kMap;

    void OnMenu(NotifyMessageUI&) { calls.push_back(L"base menu"); }
    void OnSelect(NotifyMessageUI&) { calls.push_back(L"base select"); }

    std::vector<std::wstring> calls;
};

const NotifyMapEntryUI kBaseEntries[] = {
    NotifyEntry(L"menu", L"", &BaseWindow::OnMenu),
    NotifyEntry(L"select", L"", &BaseWindow::OnSelect),
    NotifyMapEnd(),
};
const NotifyMapUI BaseWindow::kMap = {&CNotifyPump::kMessageMap, kBaseEntries};

class DerivedWindow : public BaseWindow {
public:
    const NotifyMapUI* GetMessageMap() const override { return &kMap; }
    static const NotifyMapUI kMap;

    void OnAnyFirst(NotifyMessageUI&) { calls.push_back(L"any first"); }
    void OnOk(NotifyMessageUI& message) { calls.push_back(std::wstring(L"ok ") + message.type.GetData()); }
    void OnAnyLast(NotifyMessageUI&) { calls.push_back(L"any last"); }
    void OnListSelect(NotifyMessageUI&) { calls.push_back(L"list1 select"); }
    LRESULT OnValue(WPARAM wParam, LPARAM lParam) {
        calls.push_back(L"value " + std::to_wstring(wParam) + L" " + std::to_wstring(lParam));
        return 0;
    }
};

const NotifyMapEntryUI kDerivedEntries[] = {
    NotifyEntry(L"click", L"", &DerivedWindow::OnAnyFirst),
    NotifyEntry(L"click", L"okbtn", &DerivedWindow::OnOk),
    NotifyEntry(L"click", L"", &DerivedWindow::OnAnyLast),
    NotifyEntry(L"select", L"list1", &DerivedWindow::OnListSelect),
    NotifyEntry(L"value", L"", &DerivedWindow::OnValue),
    // An unknown signature code: taken, but not handled.
    NotifyMapEntryUI(L"odd", L"", 3, static_cast<NotifyMessageHandlerUI>(&DerivedWindow::OnAnyFirst)),
    NotifyMapEnd(),
};
const NotifyMapUI DerivedWindow::kMap = {&BaseWindow::kMap, kDerivedEntries};

class NotifyPumpTest : public testing::Test {
protected:
    void SetUp() override { SetNotifySenderNameReader(ReadName); }
    void TearDown() override { SetNotifySenderNameReader(nullptr); }
};

TEST_F(NotifyPumpTest, EntryChoice) {
    NamedSender ok{L"okbtn"}, close{L"closebtn"}, list1{L"list1"}, list2{L"list2"}, upper{L"OKBTN"};
    struct Case {
        const wchar_t* type;
        CControlUI* sender;
        WPARAM wParam;
        LPARAM lParam;
        bool handled;
        const wchar_t* call;
    } cases[] = {
        // A named entry wins over unnamed ones before and after it.
        {L"click", Sender(ok), 0, 0, true, L"ok click"},
        // No entry names the sender: the last unnamed entry.
        {L"click", Sender(close), 0, 0, true, L"any last"},
        {L"click", Sender(upper), 0, 0, true, L"any last"},  // names are case-sensitive
        // A sender destroyed while its notification was queued has no name.
        {L"click", nullptr, 0, 0, true, L"any last"},
        {L"Click", Sender(ok), 0, 0, false, nullptr},  // types are case-sensitive
        // Only the base map knows "menu"; a named entry for another control
        // leaves "select" to the base map as well.
        {L"menu", Sender(ok), 0, 0, true, L"base menu"},
        {L"select", Sender(list1), 0, 0, true, L"list1 select"},
        {L"select", Sender(list2), 0, 0, true, L"base select"},
        // Signature 1 gets the notification's parameters.
        {L"value", Sender(ok), 5, -9, true, L"value 5 -9"},
        {L"odd", Sender(ok), 0, 0, false, nullptr},
        {L"unknown", Sender(ok), 0, 0, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << GetNotifySenderName(c.sender));
        DerivedWindow window;
        NotifyMessageUI message;
        message.type = c.type;
        message.sender = c.sender;
        message.wParam = c.wParam;
        message.lParam = c.lParam;
        EXPECT_EQ(window.NotifyPump(message), c.handled);
        if (c.call == nullptr) {
            EXPECT_TRUE(window.calls.empty());
        } else {
            ASSERT_EQ(window.calls.size(), 1u);
            EXPECT_EQ(window.calls[0], c.call);
        }
    }
}

TEST_F(NotifyPumpTest, VirtualWindowsServeTheirNotificationsFirst) {
    DerivedWindow window;
    BaseWindow panel;
    ASSERT_TRUE(window.AddVirtualWnd(L"Panel", &panel));
    EXPECT_FALSE(window.AddVirtualWnd(L"Panel", &panel));
    NamedSender ok{L"okbtn"};

    NotifyMessageUI menu;
    menu.type = L"menu";
    menu.virtualWnd = L"PANEL";  // matched without regard to case
    menu.sender = Sender(ok);
    EXPECT_TRUE(window.NotifyPump(menu));
    ASSERT_EQ(panel.calls.size(), 1u);
    EXPECT_TRUE(window.calls.empty());

    // What the virtual window does not handle reaches the window's own map.
    NotifyMessageUI click = menu;
    click.type = L"click";
    EXPECT_TRUE(window.NotifyPump(click));
    EXPECT_EQ(panel.calls.size(), 1u);
    ASSERT_EQ(window.calls.size(), 1u);
    EXPECT_EQ(window.calls[0], L"ok click");

    // The pump's own map handles nothing.
    CNotifyPump plain;
    EXPECT_FALSE(plain.NotifyPump(click));
}

}  // namespace
