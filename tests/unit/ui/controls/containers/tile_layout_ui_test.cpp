#include "ui/controls/containers/tile_layout_ui.h"

#include "tests/unit/ui/support/ui_test_support.h"
#include "tests/unit/ui/support/widget_test_support.h"
#include "ui/controls/containers/scroll_bar_ui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace QuillUI;

namespace {

struct GridCase {
    const char* what;
    const wchar_t* tile;  // attributes of the tile
    int width;
    int height;
    std::vector<const wchar_t*> children;  // attributes of each child
    std::vector<RECT> expected;            // of the children that show
    SIZE range;                            // of the bars, when the tile has them
};

}  // namespace

TEST(TileLayout, PlacesChildrenInAGridOfCells) {
    const GridCase cases[] = {
        {"the free width spread between as many columns as fit", L"", 250, 100, {L"", L"", L"", L""},
         {{0, 0, 80, 80}, {85, 0, 165, 80}, {170, 0, 250, 80}, {0, 80, 80, 160}}, {0, 0}},
        {"the child padding as the gap", L"childpadding=\"3\"", 250, 100, {L"", L""},
         {{0, 0, 80, 80}, {83, 0, 163, 80}}, {0, 0}},
        {"rows apart by childvpadding", L"columns=\"3\" childvpadding=\"10\" itemsize=\"50,80\"", 150, 300,
         {L"", L"", L"", L""}, {{0, 0, 50, 80}, {50, 0, 100, 80}, {100, 0, 150, 80}, {0, 90, 50, 170}}, {0, 0}},
        {"a hidden child leaves its cell empty", L"columns=\"3\"", 240, 200,
         {L"", L"", L"visible=\"false\"", L""}, {{0, 0, 80, 80}, {80, 0, 160, 80}, {0, 80, 80, 160}}, {0, 0}},
        {"seven children in three columns need 260", L"columns=\"3\" childvpadding=\"10\" vscrollbar=\"true\"", 260,
         100, {L"", L"", L"", L"", L"", L"", L""}, {}, {0, 160}},
        {"the extent covers a child behind a hidden one", L"columns=\"3\" vscrollbar=\"true\"", 260, 100,
         {L"", L"", L"visible=\"false\"", L""}, {}, {0, 60}},
        {"narrower than a cell: one column that scrolls across", L"hscrollbar=\"true\"", 50, 300, {L"", L""},
         {}, {30, 0}},
        {"narrower than a cell: the cells stack", L"", 50, 300, {L"", L""}, {{0, 0, 80, 80}, {0, 80, 80, 160}},
         {0, 0}},
        {"padding comes off the cell and off the edges", L"", 80, 80, {L"padding=\"5,6,7,8\""}, {{5, 6, 61, 58}},
         {0, 0}},
        {"align centre", L"childalign=\"center\" childvalign=\"vcenter\"", 80, 80,
         {L"maxwidth=\"40\" maxheight=\"20\""}, {{20, 30, 60, 50}}, {0, 0}},
        {"align far", L"childalign=\"right\" childvalign=\"bottom\"", 80, 80, {L"maxwidth=\"40\" maxheight=\"20\""},
         {{40, 60, 80, 80}}, {0, 0}},
        {"inset", L"inset=\"10,20,0,0\"", 90, 100, {L""}, {{10, 20, 90, 100}}, {0, 0}},
        {"float children keep their place", L"", 250, 100, {L"float=\"true\" pos=\"1,2,11,12\"", L""},
         {{1, 2, 11, 12}, {85, 0, 165, 80}}, {0, 0}},
    };
    for (const GridCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::wstring markup = std::wstring(L"<Window><TileLayout name=\"tile\" ") + c.tile + L">";
        for (size_t i = 0; i < c.children.size(); ++i)
            markup += L"<Control name=\"c" + std::to_wstring(i) + L"\" " + c.children[i] + L" />";
        markup += L"</TileLayout></Window>";
        WidgetWindow window(c.width, c.height);
        ASSERT_NE(nullptr, window.Build(markup.c_str()));
        size_t shown = 0;
        for (size_t i = 0; i < c.children.size() && !c.expected.empty(); ++i) {
            CControlUI* child = window.Find<CControlUI>((L"c" + std::to_wstring(i)).c_str());
            if (!child->IsVisible()) continue;
            ASSERT_LT(shown, c.expected.size());
            EXPECT_EQ(RectText(c.expected[shown++]), RectText(child->GetPos())) << "child " << i;
        }
        EXPECT_EQ(c.expected.size(), shown);
        auto* tile = window.Find<CTileLayoutUI>(L"tile");
        EXPECT_EQ(c.range.cx, tile->GetScrollRange().cx);
        EXPECT_EQ(c.range.cy, tile->GetScrollRange().cy);
    }
}

TEST(TileLayout, ItemSizesWithoutAnExtentAreRefusedAndValuesAreNotOverRead) {
    const struct {
        const wchar_t* value;
        SIZE expected;
    } cases[] = {
        {L"90,60", {90, 60}}, {L"90,60,7", {90, 60}}, {L"0,0", {80, 80}}, {L"-5,10", {80, 80}},
        {L"90", {80, 80}},    {L"", {80, 80}},        {L"90,", {80, 80}},
    };
    GuardedBytes guard(64);
    for (const auto& c : cases) {
        CTileLayoutUI tile;
        // The value ends right at a page that may not be read.
        tile.SetAttribute(L"itemsize", guard.PlaceText(c.value));
        EXPECT_EQ(c.expected.cx, tile.GetItemSize().cx) << std::string(c.value, c.value + wcslen(c.value));
        EXPECT_EQ(c.expected.cy, tile.GetItemSize().cy) << std::string(c.value, c.value + wcslen(c.value));
        // Laying out children with what was kept divides by nothing.
        tile.Add(new CControlUI());
        tile.SetPos(RECT{0, 0, 50, 50}, false);
    }
}

TEST(TileLayout, SettersAndTags) {
    CTileLayoutUI tile;
    tile.SetColumns(4);
    tile.SetColumns(-1);
    EXPECT_EQ(4, tile.GetColumns());
    tile.SetChildVPadding(-3);
    EXPECT_EQ(0, tile.GetChildVPadding());
    EXPECT_STREQ(L"TileLayout", tile.GetClass());
    EXPECT_EQ(static_cast<void*>(&tile), tile.GetInterface(L"TileLayout"));
    EXPECT_NE(nullptr, tile.GetInterface(L"IContainer"));
}
