#include "ui/core/render/image_draw_info_ui.h"
#include "ui/core/values/number_list_ui.h"
#include "tests/unit/ui/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace QuillUI;

namespace {

TEST(NumberList, StopsAtTheEndOfTheTextAndMissingNumbersAreZero) {
    GuardedBytes guard(4096);
    const struct {
        const wchar_t* text;
        int count;
        long expected[4];
    } cases[] = {
        {L"10,20,110,50", 4, {10, 20, 110, 50}},
        {L"800", 2, {800, 0}},
        {L"1,2,", 4, {1, 2, 0, 0}},
        {L"", 4, {0, 0, 0, 0}},
        {L"-4 5", 2, {-4, 5}},
        {L"7,8,9,10,11", 4, {7, 8, 9, 10}},
    };
    for (const auto& c : cases) {
        long values[4] = {-1, -1, -1, -1};
        // A read past the terminator touches a page that may not be read.
        ParseNumberList(guard.PlaceText(c.text), values, c.count);
        for (int i = 0; i < c.count; ++i) EXPECT_EQ(values[i], c.expected[i]) << c.text << " #" << i;
    }
}

TEST(ImageDescription, KeysValuesAndMalformedPairs) {
    const struct {
        const wchar_t* text;
        const wchar_t* name;
        const wchar_t* type;
        const wchar_t* source;
        const wchar_t* corner;
        const wchar_t* dest;
        int fade;
        DWORD mask;
        const wchar_t* flags;  // h hole, x xtiled, y ytiled, s hsl
    } cases[] = {
        {L"bk.png", L"bk.png", L"", L"0,0,0,0", L"0,0,0,0", L"0,0,0,0", 255, 0, L""},
        {L"file='btn.png' source='0,0,20,20' corner='4,4,4,4'", L"btn.png", L"", L"0,0,20,20", L"4,4,4,4", L"0,0,0,0",
         255, 0, L""},
        {L"res='a.png' restype='PNG' dest='1,2,3,4' scale9='1,1,1,1' mask='#FFFF00FF' fade='128' hole='true' "
         L"xtiled='true' ytiled='true' hsl='true'",
         L"a.png", L"PNG", L"0,0,0,0", L"1,1,1,1", L"1,2,3,4", 128, 0xFFFF00FF, L"hxys"},
        {L"color='FF00FF00'", L"FF00FF00", L"*COLOR*", L"0,0,0,0", L"0,0,0,0", L"0,0,0,0", 255, 0, L""},
        // Eight bits cannot hold 300: it stays at full opacity, not 44.
        {L"file='a.png' fade='300'", L"a.png", L"", L"0,0,0,0", L"0,0,0,0", L"0,0,0,0", 255, 0, L""},
        {L"file='a.png' fade='-5'", L"a.png", L"", L"0,0,0,0", L"0,0,0,0", L"0,0,0,0", 0, 0, L""},
        // Blanks around "=" and between pairs; a short list is padded with 0.
        {L"  file = 'a.png'   dest='1,2'", L"a.png", L"", L"0,0,0,0", L"0,0,0,0", L"1,2,0,0", 255, 0, L""},
        // No blank after a value ends the list.
        {L"file='a.png'source='1,2,3,4'", L"a.png", L"", L"0,0,0,0", L"0,0,0,0", L"0,0,0,0", 255, 0, L""},
        // An unclosed quote ends it silently, at the very end of the text.
        {L"file='a.png' source='1,2,3,4", L"a.png", L"", L"0,0,0,0", L"0,0,0,0", L"0,0,0,0", 255, 0, L""},
        {L"file='a.png' source", L"a.png", L"", L"0,0,0,0", L"0,0,0,0", L"0,0,0,0", 255, 0, L""},
        {L"file='a.png' source=", L"a.png", L"", L"0,0,0,0", L"0,0,0,0", L"0,0,0,0", 255, 0, L""},
        // An empty value is ignored: the name stays the whole text.
        {L"file='' hole='true'", L"file='' hole='true'", L"", L"0,0,0,0", L"0,0,0,0", L"0,0,0,0", 255, 0, L"h"},
        // Booleans are "true" exactly; unknown keys are skipped.
        {L"file='a.png' hole='TRUE' what='x' xtiled='true'", L"a.png", L"", L"0,0,0,0", L"0,0,0,0", L"0,0,0,0", 255, 0,
         L"x"},
        {L"source='-5,-5,500,500' file='a.png'", L"a.png", L"", L"-5,-5,500,500", L"0,0,0,0", L"0,0,0,0", 255, 0, L""},
    };
    GuardedBytes guard(4096);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ImageDrawInfoUI info;
        info.fade = 7;
        info.hole = true;
        ImageDescriptionUI out;
        ParseImageDescription(guard.PlaceText(c.text), info, out);
        EXPECT_STREQ(out.name.GetData(), c.name);
        EXPECT_STREQ(info.imageName.GetData(), c.name);
        EXPECT_STREQ(out.resourceType.GetData(), c.type);
        EXPECT_EQ(RectText(info.source), c.source);
        EXPECT_EQ(RectText(info.corner), c.corner);
        EXPECT_EQ(RectText(info.dest), c.dest);
        EXPECT_EQ(static_cast<int>(info.fade), c.fade);
        EXPECT_EQ(out.mask, c.mask);
        const std::wstring flags = c.flags;
        EXPECT_EQ(info.hole, flags.find(L'h') != std::wstring::npos);
        EXPECT_EQ(info.xTiled, flags.find(L'x') != std::wstring::npos);
        EXPECT_EQ(info.yTiled, flags.find(L'y') != std::wstring::npos);
        EXPECT_EQ(out.useHsl, flags.find(L's') != std::wstring::npos);
        EXPECT_TRUE(info.parsed);
    }
}

}  // namespace
