#include "ui/controls/containers/container_ui.h"
#include "ui/controls/values/date_time_ui.h"
#include "tests/unit/ui/support/native_child_test_support.h"
#include "tests/unit/ui/support/skinned_window_fixture.h"
#include "ui/core/window/window_impl_base.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

using namespace QuillUI;

namespace {

std::wstring DateText(const SYSTEMTIME& time) {
    wchar_t text[32];
    wsprintfW(text, L"%4d-%02d-%02d", time.wYear, time.wMonth, time.wDay);
    return text;
}

SYSTEMTIME Date(WORD year, WORD month, WORD day) {
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    return time;
}

// A skinned window with one date-time, its keys going through the message
// loop's translation as a program's do.
class DateWindow : public WindowImplBase {
public:
    const wchar_t* GetWindowClassName() const override { return L"QuillDateTestWindow"; }
    CWideString GetSkinFolder() override { return CWideString(L""); }
    CWideString GetSkinFile() override {
        return CWideString(L"<Window size=\"300,200\"><VerticalLayout>"
                           L"<DateTime name=\"d\" height=\"30\" /><Control /></VerticalLayout></Window>");
    }
};

class DateTimeInSkinnedWindow : public SkinnedWindowFixture<DateWindow> {};

class DateTimeWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, window.Build(L"<Window><VerticalLayout name=\"box\">"
                                        L"<DateTime name=\"d\" height=\"30\" />"
                                        L"<Label name=\"other\" height=\"30\" />"
                                        L"<Control /></VerticalLayout></Window>"));
        date = window.Find<CDateTimeUI>(L"d");
        ASSERT_NE(nullptr, date);
    }
    HWND Open() {
        date->SetFocus();
        return date->GetNativeWindow();
    }
    // The picker closes itself by a posted message.
    void PumpUntilGone(HWND native) {
        for (DWORD start = GetTickCount(); IsWindow(native) && GetTickCount() - start < 5000;) PumpFor(10);
    }
    SYSTEMTIME Shown(HWND native) {
        SYSTEMTIME time = {};
        SendMessageW(native, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
        return time;
    }
    void Pick(HWND native, SYSTEMTIME time) {
        SendMessageW(native, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    }
    // A press on the picker's drop-down button; the calendar that opens.
    HWND DropDown(HWND native) {
        RECT client = {};
        GetClientRect(native, &client);
        const LPARAM at = MAKELPARAM(client.right - 4, client.bottom / 2);
        SendMessageW(native, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(native, WM_LBUTTONUP, 0, at);
        return reinterpret_cast<HWND>(SendMessageW(native, DTM_GETMONTHCAL, 0, 0));
    }
    // A click on a day that the calendar shows; false when it shows none.
    bool ClickDay(HWND calendar, WORD month, WORD day) {
        RECT client = {};
        GetClientRect(calendar, &client);
        for (int y = 0; y < client.bottom; y += 2) {
            for (int x = 0; x < client.right; x += 2) {
                MCHITTESTINFO hit = {};
                hit.cbSize = sizeof(hit);
                hit.pt = POINT{x, y};
                SendMessageW(calendar, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
                if (hit.uHit != MCHT_CALENDARDATE || hit.st.wMonth != month || hit.st.wDay != day) continue;
                SendMessageW(calendar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
                SendMessageW(calendar, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
                return true;
            }
        }
        return false;
    }

    NativeChildWindow window{300, 200};
    CDateTimeUI* date = nullptr;
};

}  // namespace

TEST(DateTimeText, ANewControlShowsTodaysDate) {
    SYSTEMTIME before = {}, after = {};
    GetLocalTime(&before);
    CDateTimeUI date;
    GetLocalTime(&after);
    const std::wstring text = date.GetText().GetData();
    EXPECT_TRUE(text == DateText(before) || text == DateText(after)) << std::string(text.begin(), text.end());
    EXPECT_EQ(10u, text.size());
}

TEST_F(DateTimeWindow, APickedDateBecomesTheTextWhenTheFocusMoves) {
    HWND native = Open();
    ASSERT_NE(nullptr, native);
    EXPECT_TRUE(IsWindowVisible(native));
    EXPECT_EQ(native, GetFocus());
    const RECT at = window.manager().GetChildWindowRect(native);
    EXPECT_TRUE(EqualRect(&at, &date->GetPos()));
    Pick(native, Date(2027, 1, 5));
    window.Click(150, 45);
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(nullptr, date->GetNativeWindow());
    EXPECT_EQ(L"2027-01-05", std::wstring(date->GetText().GetData()));

    // Opened again, the picker starts from that date.
    native = Open();
    ASSERT_NE(nullptr, native);
    EXPECT_EQ(L"2027-01-05", DateText(Shown(native)));
}

TEST_F(DateTimeWindow, TheDropDownCalendarPicksWithinThePicker) {
    HWND native = Open();
    ASSERT_NE(nullptr, native);
    Pick(native, Date(2027, 1, 5));
    HWND calendar = DropDown(native);
    ASSERT_NE(nullptr, calendar);
    EXPECT_TRUE(IsWindow(native)) << "the calendar taking the keyboard ends no picking";
    ASSERT_TRUE(ClickDay(calendar, 1, 20));
    for (DWORD start = GetTickCount(); GetFocus() != native && GetTickCount() - start < 5000;) PumpFor(10);
    ASSERT_TRUE(IsWindow(native));
    EXPECT_EQ(native, GetFocus()) << "the keyboard came back to the picker";
    EXPECT_EQ(L"2027-01-20", DateText(Shown(native)));
    window.Click(150, 45);
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(L"2027-01-20", std::wstring(date->GetText().GetData()));

    // Dropped, then a click elsewhere: the picking ends with the date shown.
    native = Open();
    ASSERT_NE(nullptr, native);
    Pick(native, Date(2028, 2, 3));
    ASSERT_NE(nullptr, DropDown(native));
    window.Click(150, 45);
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(nullptr, date->GetNativeWindow());
    EXPECT_EQ(L"2028-02-03", std::wstring(date->GetText().GetData()));
}

TEST_F(DateTimeWindow, DeleteClearsTheTextAndTheNextOpeningStartsToday) {
    HWND native = Open();
    ASSERT_NE(nullptr, native);
    Pick(native, Date(2027, 1, 5));
    SendMessageW(native, WM_KEYUP, VK_DELETE, 0);
    EXPECT_EQ(L"", std::wstring(date->GetText().GetData()));
    PumpUntilGone(native);
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(L"", std::wstring(date->GetText().GetData())) << "the focus loss takes no date";

    // The control keeps the focus: a click on it opens the picker again.
    SYSTEMTIME today = {};
    GetLocalTime(&today);
    window.Click(150, 15);
    native = date->GetNativeWindow();
    ASSERT_NE(nullptr, native);
    EXPECT_EQ(DateText(today), DateText(Shown(native)));
}

TEST_F(DateTimeWindow, EscapeKeepsTheTextThoughAnotherDateWasPicked) {
    date->SetText(L"2020-02-02");
    HWND native = Open();
    ASSERT_NE(nullptr, native);
    Pick(native, Date(2031, 3, 4));
    SendMessageW(native, WM_KEYUP, VK_ESCAPE, 0);
    PumpUntilGone(native);
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(L"2020-02-02", std::wstring(date->GetText().GetData()));
}

TEST_F(DateTimeWindow, TheFocusLossIsToldToTheSkinnedWindow) {
    // A native window of another control, as an edit's or a browser's is.
    auto* other = window.Find<CControlUI>(L"other");
    HWND child = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 0, 30, 300, 30, window.Get(), nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(window.manager().AddNativeWindow(other, child));
    HWND native = Open();
    ASSERT_NE(nullptr, native);
    SetFocus(child);
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(other, window.manager().GetFocus()) << "the window's manager followed the keyboard";
    EXPECT_EQ(child, GetFocus());
    DestroyWindow(child);
}

TEST_F(DateTimeWindow, HidingOrDisablingTheControlClosesItsPicker) {
    struct Case {
        const char* what;
        void (*act)(CDateTimeUI* date, bool on);
    };
    const Case cases[] = {
        {"disabled", [](CDateTimeUI* d, bool on) { d->SetEnabled(on); }},
        {"hidden", [](CDateTimeUI* d, bool on) { d->SetVisible(on); }},
        {"hidden with its parent", [](CDateTimeUI* d, bool on) { d->GetParent()->SetVisible(on); }},
    };
    for (const Case& c : cases) {
        HWND native = Open();
        ASSERT_NE(nullptr, native) << c.what;
        c.act(date, false);
        EXPECT_FALSE(IsWindow(native)) << c.what;
        EXPECT_EQ(nullptr, date->GetNativeWindow()) << c.what;
        EXPECT_NE(date, window.manager().GetFocus()) << c.what;
        c.act(date, true);
    }
}

TEST_F(DateTimeWindow, DeletedWhileOpenItLeavesNoWindow) {
    HWND native = Open();
    ASSERT_NE(nullptr, native);
    ASSERT_TRUE(window.Find<CContainerUI>(L"box")->Remove(date));
    window.Flush();
    EXPECT_FALSE(IsWindow(native));
    EXPECT_FALSE(window.manager().RemoveNativeWindow(native));
    EXPECT_EQ(window.Get(), GetFocus());
}

TEST_F(DateTimeInSkinnedWindow, EscapeCancelsThePickerAndLeavesTheWindowOpen) {
    Open(new DateWindow(), L"date");
    auto* date = static_cast<CDateTimeUI*>(Find(L"d"));
    ASSERT_NE(nullptr, date);
    date->SetText(L"2020-02-02");
    date->SetFocus();
    HWND picker = date->GetNativeWindow();
    ASSERT_NE(nullptr, picker);
    SYSTEMTIME other = Date(2031, 3, 4);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&other));
    PostMessageW(picker, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(picker, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    for (DWORD start = GetTickCount(); IsWindow(picker) && GetTickCount() - start < 5000;) Pump(10);
    Pump(50);
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_TRUE(IsWindow(hwnd_)) << "the key was the picker's, not the window's";
    EXPECT_EQ(L"2020-02-02", std::wstring(date->GetText().GetData()));
}
