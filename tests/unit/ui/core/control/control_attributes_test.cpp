#include "ui/core/control/control_ui.h"
#include "tests/unit/ui/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace QuillUI;

namespace {

std::wstring Text(const CWideString& s) { return s.GetData(); }

struct AttributeCase {
    const wchar_t* name;
    const wchar_t* value;
    std::function<void(CControlUI&)> check;
};

TEST(ControlAttributes, EachNameAndItsValueSyntax) {
    const AttributeCase cases[] = {
        {L"pos", L"10,20,110,50",
         [](CControlUI& c) {
             EXPECT_EQ(c.GetFixedXY().cx, 10);
             EXPECT_EQ(c.GetFixedXY().cy, 20);
             EXPECT_EQ(c.GetFixedWidth(), 100);
             EXPECT_EQ(c.GetFixedHeight(), 30);
             EXPECT_TRUE(IsRectEmpty(&c.GetPos())) << "the item rectangle waits for the layout";
         }},
        {L"padding", L"1,2,3,4",
         [](CControlUI& c) {
             const RECT p = c.GetPadding();
             EXPECT_EQ(p.left + p.top * 10 + p.right * 100 + p.bottom * 1000, 4321);
         }},
        {L"bkcolor", L"#FF3A8EE6", [](CControlUI& c) { EXPECT_EQ(c.GetBkColor(), 0xFF3A8EE6u); }},
        {L"bkcolor1", L" \t#80FF0000", [](CControlUI& c) { EXPECT_EQ(c.GetBkColor(), 0x80FF0000u); }},
        {L"bkcolor", L"FF0000", [](CControlUI& c) { EXPECT_EQ(c.GetBkColor(), 0x00FF0000u) << "six digits: alpha 0"; }},
        {L"bkcolor2", L"#FF00FF00", [](CControlUI& c) { EXPECT_EQ(c.GetBkColor2(), 0xFF00FF00u); }},
        {L"bkcolor3", L"#FF0000FF", [](CControlUI& c) { EXPECT_EQ(c.GetBkColor3(), 0xFF0000FFu); }},
        {L"bordercolor", L"#FF123456", [](CControlUI& c) { EXPECT_EQ(c.GetBorderColor(), 0xFF123456u); }},
        {L"focusbordercolor", L"#FF654321", [](CControlUI& c) { EXPECT_EQ(c.GetFocusBorderColor(), 0xFF654321u); }},
        {L"colorhsl", L"true", [](CControlUI& c) { EXPECT_TRUE(c.IsColorHSL()); }},
        {L"bordersize", L"2",
         [](CControlUI& c) {
             const RECT b = c.GetBorderRect();
             EXPECT_TRUE(b.left == 2 && b.top == 2 && b.right == 2 && b.bottom == 2);
         }},
        {L"bordersize", L"0,1,0,1",
         [](CControlUI& c) {
             const RECT b = c.GetBorderRect();
             EXPECT_TRUE(b.left == 0 && b.top == 1 && b.right == 0 && b.bottom == 1);
         }},
        {L"borderstyle", L"2", [](CControlUI& c) { EXPECT_EQ(c.GetBorderStyle(), PS_DOT); }},
        {L"borderround", L"4,6",
         [](CControlUI& c) { EXPECT_TRUE(c.GetBorderRound().cx == 4 && c.GetBorderRound().cy == 6); }},
        {L"width", L"  42px", [](CControlUI& c) { EXPECT_EQ(c.GetFixedWidth(), 42); }},
        {L"width", L"-5", [](CControlUI& c) { EXPECT_EQ(c.GetFixedWidth(), 0) << "negative sizes are ignored"; }},
        {L"height", L"abc", [](CControlUI& c) { EXPECT_EQ(c.GetFixedHeight(), 0); }},
        {L"minwidth", L"-1", [](CControlUI& c) { EXPECT_EQ(c.GetMinWidth(), 0); }},
        {L"minheight", L"7", [](CControlUI& c) { EXPECT_EQ(c.GetMinHeight(), 7); }},
        {L"maxwidth", L"20", [](CControlUI& c) { EXPECT_EQ(c.GetMaxWidth(), 20); }},
        {L"maxheight", L"-3", [](CControlUI& c) { EXPECT_EQ(c.GetMaxHeight(), 9999); }},
        {L"name", L"ok", [](CControlUI& c) { EXPECT_EQ(Text(c.GetName()), L"ok"); }},
        {L"text", L"Play", [](CControlUI& c) { EXPECT_EQ(Text(c.GetText()), L"Play"); }},
        {L"tooltip", L"a<n>b<n>", [](CControlUI& c) { EXPECT_EQ(Text(c.GetToolTip()), L"a\r\nb\r\n"); }},
        {L"userdata", L"u", [](CControlUI& c) { EXPECT_EQ(Text(c.GetUserData()), L"u"); }},
        {L"tag", L"123", [](CControlUI& c) { EXPECT_EQ(c.GetTag(), 123u); }},
        {L"enabled", L"false", [](CControlUI& c) { EXPECT_FALSE(c.IsEnabled()); }},
        {L"mouse", L"false", [](CControlUI& c) { EXPECT_FALSE(c.IsMouseEnabled()); }},
        {L"keyboard", L"0", [](CControlUI& c) { EXPECT_FALSE(c.IsKeyboardEnabled()); }},
        {L"visible", L"True", [](CControlUI& c) { EXPECT_FALSE(c.IsVisible()) << "only \"true\" is true"; }},
        {L"float", L"true", [](CControlUI& c) { EXPECT_TRUE(c.IsFloat()); }},
        {L"float", L"0.5,0,.25,1e-1",
         [](CControlUI& c) {
             EXPECT_TRUE(c.IsFloat());
             const FloatPercentUI p = c.GetFloatPercent();
             EXPECT_DOUBLE_EQ(p.left, 0.5);
             EXPECT_DOUBLE_EQ(p.top, 0.0);
             EXPECT_DOUBLE_EQ(p.right, 0.25);
             EXPECT_DOUBLE_EQ(p.bottom, 0.1);
         }},
        {L"shortcut", L"xyz", [](CControlUI& c) { EXPECT_EQ(c.GetShortcut(), L'x'); }},
        {L"menu", L"true", [](CControlUI& c) { EXPECT_TRUE(c.IsContextMenuUsed()); }},
        {L"virtualwnd", L"vw", [](CControlUI& c) { EXPECT_EQ(Text(c.GetVirtualWnd()), L"vw"); }},
        {L"Width", L"50",
         [](CControlUI& c) {
             EXPECT_EQ(c.GetFixedWidth(), 0) << "names compare case-sensitively";
             EXPECT_STREQ(c.GetCustomAttribute(L"Width"), L"50");
         }},
    };
    for (const AttributeCase& row : cases) {
        SCOPED_TRACE(std::wstring(row.name) + L"=" + row.value);
        CControlUI control;
        control.SetAttribute(row.name, row.value);
        row.check(control);
    }
}

TEST(ControlAttributes, FloatTrueKeepsThePercentagesAndMaxNeverBelowMin) {
    CControlUI control;
    control.SetAttribute(L"float", L"0.5,0,0.5,0");
    control.SetAttribute(L"float", L"false");
    control.SetAttribute(L"float", L"true");
    EXPECT_TRUE(control.IsFloat());
    EXPECT_DOUBLE_EQ(control.GetFloatPercent().left, 0.5);
    EXPECT_DOUBLE_EQ(control.GetFloatPercent().right, 0.5);

    control.SetAttribute(L"maxwidth", L"20");
    control.SetAttribute(L"minwidth", L"50");
    EXPECT_EQ(control.GetMaxWidth(), 50);
}

// Lists shorter than the attribute expects end at the terminator, which
// here is the last readable character.
TEST(ControlAttributes, ShortNumberListsStopAtTheTerminator) {
    GuardedBytes guard(256);
    CControlUI control;
    control.SetAttribute(L"pos", guard.PlaceText(L"800"));
    EXPECT_EQ(control.GetFixedXY().cx, 800);
    EXPECT_EQ(control.GetFixedXY().cy, 0);
    control.SetAttribute(L"padding", guard.PlaceText(L"1,2,"));
    EXPECT_EQ(control.GetPadding().top, 2);
    EXPECT_EQ(control.GetPadding().bottom, 0);
    control.SetAttribute(L"borderround", guard.PlaceText(L"5"));
    EXPECT_EQ(control.GetBorderRound().cx, 5);
    EXPECT_EQ(control.GetBorderRound().cy, 0);
    control.SetAttribute(L"bordersize", guard.PlaceText(L"3,"));
    EXPECT_EQ(control.GetBorderRect().left, 3);
    EXPECT_EQ(control.GetBorderRect().top, 0);
    control.SetAttribute(L"float", guard.PlaceText(L"0.5,"));
    EXPECT_DOUBLE_EQ(control.GetFloatPercent().left, 0.5);
    EXPECT_DOUBLE_EQ(control.GetFloatPercent().bottom, 0.0);
    control.SetAttribute(L"bkcolor", guard.PlaceText(L"  "));
    EXPECT_EQ(control.GetBkColor(), 0u);
}

struct ListCase {
    const wchar_t* list;
    const wchar_t* name;      // expected name
    const wchar_t* text;      // expected text
    const wchar_t* tooltip;   // expected tooltip
};

TEST(ControlAttributes, ApplyAttributeListStopsAtTheFirstMalformedPair) {
    const ListCase cases[] = {
        {L"name=\"a\" text=\"b\" tooltip=\"c\"", L"a", L"b", L"c"},
        {L"name=\"a\" text=\"b\" ", L"a", L"b", L""},
        {L"name=\"a\" text='b' tooltip=\"c\"", L"a", L"", L""},
        {L"name=\"a\" text", L"a", L"", L""},
        {L"name=\"a\" text=", L"a", L"", L""},
        {L"name=\"a\" text=\"b", L"a", L"", L""},
        {L"name=\"a\"text=\"b\"", L"a", L"", L""},
        {L"name=a", L"", L"", L""},
        {L"", L"", L"", L""},
        {L"text=\"x=\\\" y\"", L"", L"x=\\", L""},
    };
    GuardedBytes guard(512);
    for (const ListCase& row : cases) {
        SCOPED_TRACE(row.list);
        CControlUI control;
        control.ApplyAttributeList(guard.PlaceText(row.list));
        EXPECT_EQ(Text(control.GetName()), row.name);
        EXPECT_EQ(Text(control.GetText()), row.text);
        EXPECT_EQ(Text(control.GetToolTip()), row.tooltip);
    }
}

TEST(ControlAttributes, TwoBlanksPassANameThatBeginsWithABlank) {
    CControlUI control;
    control.ApplyAttributeList(L"name=\"a\"  text=\"b\"");
    EXPECT_EQ(Text(control.GetName()), L"a");
    EXPECT_EQ(Text(control.GetText()), L"");
    EXPECT_STREQ(control.GetCustomAttribute(L" text"), L"b");
}

TEST(ControlAttributes, SurrogatePairsStayWhole) {
    CControlUI control;
    control.ApplyAttributeList(L"text=\"\xD83D\xDE00!\" name=\"\xD83D\xDE01\"");
    EXPECT_EQ(Text(control.GetText()), L"\xD83D\xDE00!");
    EXPECT_EQ(Text(control.GetName()), L"\xD83D\xDE01");
}

TEST(ControlAttributes, CustomAttributesKeepTheFirstValue) {
    CControlUI control;
    control.ApplyAttributeList(L"skin=\"one\" skin=\"two\" empty=\"\"");
    EXPECT_STREQ(control.GetCustomAttribute(L"skin"), L"one");
    EXPECT_EQ(control.GetCustomAttribute(L"empty"), nullptr);
    control.AddCustomAttribute(nullptr, L"x");
    control.AddCustomAttribute(L"", L"x");
    control.RemoveAllCustomAttributes();
    EXPECT_EQ(control.GetCustomAttribute(L"skin"), nullptr);
    control.AddCustomAttribute(L"skin", L"three");
    EXPECT_STREQ(control.GetCustomAttribute(L"skin"), L"three");
}

TEST(ControlAttributes, VirtualWindowNamesAreInherited) {
    CControlUI parent;
    CControlUI* child = new CControlUI;
    parent.SetVirtualWnd(L"page");
    parent.SetCover(child);  // binds the parent, as a tree would
    EXPECT_EQ(Text(child->GetVirtualWnd()), L"page");
    child->SetVirtualWnd(L"own");
    EXPECT_EQ(Text(child->GetVirtualWnd()), L"own");
}

}  // namespace
