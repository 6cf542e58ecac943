#include "common/launcher_parameter_list.h"
#include "common/split_string.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(LauncherSplitString, DropsEmptyFields) {
    struct Case {
        const wchar_t* text;
        std::vector<std::wstring> fields;
    } cases[] = {
        {L",a,,b,", {L"a", L"b"}},
        {L"", {}},
        {L",,,", {}},
        {L"one", {L"one"}},
        {L"a,b", {L"a", L"b"}},
    };
    for (const Case& c : cases) EXPECT_EQ(LauncherSplitString(c.text, L','), c.fields) << c.text;
}

TEST(LauncherParameterList, ParsesByTheListRules) {
    // Text, then the items it gives in key order ("key=value" joined by ",").
    struct Case {
        const wchar_t* text;
        const wchar_t* items;
    } cases[] = {
        {L"PROCPARA=x,ID=7,ID=8,Key", L"ID=7,PROCPARA=x"},  // first occurrence wins, bare word ignored
        {L",,ID=7,,", L"ID=7"},
        {L"A=b=c", L""},
        {L"A==b,=b,c=,=", L""},
        {L"", L""},
        {L"b=2,B=1,a=3", L"B=1,a=3,b=2"},  // keys compare exactly: upper case sorts first
        {L"ModelID=Quillon.Game,PROCPARA=p q", L"ModelID=Quillon.Game,PROCPARA=p q"},
    };
    for (const Case& c : cases) EXPECT_EQ(LauncherParameterList(c.text).ToText(), c.items) << c.text;
}

TEST(LauncherParameterList, GetGivesTheValueOrEmpty) {
    LauncherParameterList list(L"PROCPARA=old,ID=7");
    EXPECT_EQ(list.Get(L"PROCPARA"), L"old");
    EXPECT_EQ(list.Get(L"ID"), L"7");
    EXPECT_EQ(list.Get(L"id"), L"");
    EXPECT_EQ(list.Get(L"Key"), L"");
}

TEST(LauncherParameterList, RebuildsInKeyOrderAroundAFreshValue) {
    LauncherParameterList list(L"PROCPARA=old,ID=7");
    EXPECT_EQ(list.RebuiltWith(L"PROCPARA", L"abc"), L"ID=7,PROCPARA=abc");
    EXPECT_EQ(list.Get(L"PROCPARA"), L"old");  // the list itself is unchanged
    EXPECT_EQ(LauncherParameterList(L"ID=7,ModelID=m").RebuiltWith(L"PROCPARA", L"n"), L"ID=7,ModelID=m,PROCPARA=n");
}

}  // namespace
