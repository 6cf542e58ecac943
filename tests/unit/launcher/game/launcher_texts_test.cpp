// The texts the launcher hands to the game client, the page and the movie.
#include "launcher/flash_invoke_request.h"
#include "launcher/game_client_command_line.h"
#include "launcher/page_query.h"

#include <gtest/gtest.h>

namespace {

TEST(GameClientCommandLineTest, NamesTheWindowAndCarriesTheWholeToken) {
    const std::wstring longToken(600, L'x');
    const struct {
        intptr_t window;
        std::wstring token;
        std::wstring expected;
    } cases[] = {
        {0x1234, L"tok", L"wnd:4660;wndoffset:2,53,2,2;token:tok"},
        {0x20, L"", L"wnd:32;wndoffset:2,53,2,2;token:"},
        {0x1234, L"t\u00e9k;wnd:1", L"wnd:4660;wndoffset:2,53,2,2;token:t\u00e9k;wnd:1"},
        {0x1234, longToken, L"wnd:4660;wndoffset:2,53,2,2;token:" + longToken},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GameClientCommandLine(reinterpret_cast<HWND>(c.window), c.token), c.expected);
}

TEST(PageQueryTest, ParametersInKeyOrderUnescaped) {
    EXPECT_EQ(PageQuery(LauncherParameterList(L"Key=k,ID=7")), L"ID=7&Key=k");
    EXPECT_EQ(PageQuery(LauncherParameterList(L"PROCPARA=a b&c,ID=7")), L"ID=7&PROCPARA=a b&c");
    EXPECT_EQ(PageQuery(LauncherParameterList(L"")), L"");
    EXPECT_EQ(PageAddress(L"http://h/p", L"ID=7", false), L"http://h/p?ID=7");
    EXPECT_EQ(PageAddress(L"http://h/p", L"", false), L"http://h/p");
    EXPECT_EQ(PageAddress(L"http://h/p", L"", true), L"http://h/p?");
}

TEST(FlashInvokeRequestTest, PercentagesNeverOverflow) {
    const struct {
        uint32_t value, total;
        uint64_t percent;
    } cases[] = {
        {40, 80, 50}, {0, 100, 0}, {1, 6, 16}, {3, 6, 50}, {5, 0, 0}, {0xFFFFFFFFu, 0xFFFFFFFFu, 100}, {1, 3, 33},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgressPercent(c.value, c.total), c.percent) << c.value << "/" << c.total;
}

TEST(FlashInvokeRequestTest, RequestsAreWholeAndWellFormed) {
    EXPECT_EQ(FlashNumberRequest(L"setProValOne", 50),
              L"<invoke name='setProValOne'><arguments><number>50</number></arguments></invoke>");
    EXPECT_EQ(FlashStringRequest(L"setTextOne", L"a<b>&c  5%"),
              L"<invoke name='setTextOne'><arguments><string>a&lt;b&gt;&amp;c  5%</string></arguments></invoke>");
    const std::wstring longText(300, L'y');
    const std::wstring request = FlashStringRequest(L"setTextTwo", longText);
    EXPECT_NE(request.find(longText + L"</string></arguments></invoke>"), std::wstring::npos);
}

}  // namespace
