#include "ui/core/render/image_info_ui.h"
#include "ui/core/skin/skin_location.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/markup/xml_document_ui.h"
#include "tests/unit/ui/support/ui_test_support.h"
#include "tests/unit/ui/support/window_manager_test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace QuillUI;

namespace {

const wchar_t kImageType[] = L"WMTESTIMG";

LOGFONTW LogFontOf(HFONT font) {
    LOGFONTW lf = {};
    GetObjectW(font, sizeof(lf), &lf);
    return lf;
}

TEST(WindowManagerFonts, WindowTableThenSharedTableThenDefaultFont) {
    PlainWindow window;
    CWindowManagerUI manager, other;
    manager.Init(window.Get());
    HFONT defaultFont = manager.GetDefaultFontInfo()->GetHandle();
    ASSERT_NE(defaultFont, nullptr);
    EXPECT_EQ(LogFontOf(defaultFont).lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(manager.GetFont(5), defaultFont);
    EXPECT_EQ(manager.GetFont(-1), defaultFont);

    HFONT shared3 = manager.AddFont(3, L"Arial", 12, false, false, false, true);
    ASSERT_NE(shared3, nullptr);
    EXPECT_EQ(other.GetFont(3), shared3);
    HFONT own3 = manager.AddFont(3, L"Arial", 14, true, false, true);
    ASSERT_NE(own3, nullptr);
    EXPECT_EQ(manager.GetFont(3), own3);
    EXPECT_EQ(other.GetFont(3), shared3);
    EXPECT_EQ(manager.GetFont(-3), defaultFont);
    LOGFONTW lf = LogFontOf(own3);
    EXPECT_EQ(lf.lfHeight, -14);
    EXPECT_GE(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);

    // The same index again deletes the old font object.
    HFONT replaced = manager.AddFont(3, L"Arial", 16, false, true, false);
    ASSERT_NE(replaced, nullptr);
    EXPECT_EQ(GetObjectType(own3), 0u);
    FontInfoUI* info = manager.GetFontInfo(3);
    EXPECT_EQ(info->GetHandle(), replaced);
    EXPECT_EQ(info->size, 16);
    EXPECT_TRUE(info->underline);
    EXPECT_GT(info->metrics.tmHeight, 0);  // measured with the window's DC

    // Face names compare case-sensitively; the window's table comes first.
    EXPECT_EQ(manager.FindFont(L"Arial", 16, false, true, false), replaced);
    EXPECT_EQ(manager.FindFont(L"arial", 16, false, true, false), nullptr);
    EXPECT_EQ(manager.FindFont(L"Arial", 12, false, false, false), shared3);
    EXPECT_EQ(manager.GetFontInfoByHandle(shared3)->size, 12);
    EXPECT_EQ(manager.GetFontInfoByHandle(nullptr)->GetHandle(), defaultFont);

    // Forced shared resources skip the window's table both ways.
    manager.SetForceUseSharedResources(true);
    EXPECT_EQ(manager.GetFont(3), shared3);
    HFONT forced = manager.AddFont(4, L"Arial", 9, false, false, false);
    EXPECT_EQ(other.GetFont(4), forced);
    manager.SetForceUseSharedResources(false);

    manager.RemoveAllFonts();
    EXPECT_EQ(GetObjectType(replaced), 0u);
    EXPECT_EQ(manager.GetFont(3), shared3);
    manager.RemoveAllFonts(true);
    EXPECT_EQ(manager.GetFont(3), defaultFont);
}

TEST(WindowManagerFonts, FaceNamesAreCutWithRoomForTheTerminator) {
    CWindowManagerUI manager;
    const std::wstring longFace(40, L'F');
    HFONT font = manager.AddFont(1, longFace.c_str(), 12, false, false, false);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(std::wstring(LogFontOf(font).lfFaceName), std::wstring(31, L'F'));

    HFONT sharedDefault = manager.GetDefaultFontInfo()->GetHandle();
    manager.SetDefaultFont(longFace.c_str(), 20, false, false, false);
    FontInfoUI* own = manager.GetDefaultFontInfo();
    EXPECT_NE(own->GetHandle(), sharedDefault);
    EXPECT_EQ(LogFontOf(own->GetHandle()).lfHeight, -20);
    EXPECT_EQ(std::wstring(LogFontOf(own->GetHandle()).lfFaceName), std::wstring(31, L'F'));
    CWindowManagerUI other;
    EXPECT_EQ(other.GetDefaultFontInfo()->GetHandle(), sharedDefault);
}

TEST(WindowManagerFonts, FreeIndexesAvoidEveryLayoutFont) {
    CWindowManagerUI manager;
    const int first = manager.GetFreeFontIndex();
    manager.AddFont(first + 1, L"Arial", 10, false, false, false);
    manager.AddFont(first + 2, L"Arial", 11, false, false, false, true);
    const int next = manager.GetFreeFontIndex();
    EXPECT_EQ(next, first + 3);
    // A font added under a free index replaces none of the layout's.
    HFONT layoutFont = manager.GetFont(first + 1);
    manager.AddFont(next, L"Arial", 12, true, false, false);
    EXPECT_EQ(manager.GetFont(first + 1), layoutFont);
    EXPECT_NE(GetObjectType(layoutFont), 0u);
    manager.RemoveAllFonts(true);
}

TEST(WindowManagerImages, LeadingDigitsNameAResourceIdAndFailuresAreNotStored) {
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CWindowManagerUI manager;
    ImageInfoUI* byId = manager.AddImage(L"123", kImageType);
    ASSERT_NE(byId, nullptr);
    EXPECT_EQ(byId->width, 2);
    EXPECT_EQ(byId->height, 3);
    EXPECT_EQ(byId->resourceType, kImageType);
    ImageInfoUI* byName = manager.AddImage(L"a123", kImageType, 0xFF000000);
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName->width, 4);
    EXPECT_EQ(byName->mask, 0xFF000000u);
    EXPECT_EQ(manager.GetImage(L"123"), byId);

    // Not there, or no 16-bit resource id: nothing loaded, nothing stored.
    for (const wchar_t* name : {L"124", L"0", L"70000", L"65659"}) {
        SCOPED_TRACE(testing::Message() << name);
        EXPECT_EQ(manager.AddImage(name, kImageType), nullptr);
        EXPECT_EQ(manager.GetImage(name), nullptr);
    }
    EXPECT_EQ(manager.AddImage(L"", kImageType), nullptr);
    EXPECT_EQ(manager.AddImage(L"123"), nullptr);  // no type: a file, which does not exist

    // A colour's hexadecimal name may start with a digit; it is no resource id.
    ImageInfoUI* colour = manager.AddImage(L"80FF0000", L"*COLOR*");
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->width, 1);
    EXPECT_EQ(colour->height, 1);
}

TEST(WindowManagerImages, WindowTableThenSharedAndReplacedRecordsStayValid) {
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CWindowManagerUI manager, other;
    ImageInfoUI* shared = manager.AddImage(L"123", kImageType, 0, false, true);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(other.GetImage(L"123"), shared);
    ImageInfoUI* own = manager.GetImageEx(L"a123", kImageType);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(manager.GetImageEx(L"a123", kImageType), own);  // loaded once
    EXPECT_EQ(other.GetImage(L"a123"), nullptr);

    // The same declaration again keeps the record; a different one replaces
    // it, and a control still draws the record it was given.
    EXPECT_EQ(manager.AddImage(L"a123", kImageType), own);
    HBITMAP oldBitmap = own->bitmap;
    ImageInfoUI* again = manager.AddImage(L"a123", kImageType, 0xFF0000FF);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, own);
    EXPECT_EQ(manager.GetImage(L"a123"), again);
    EXPECT_EQ(own->width, 4);
    EXPECT_EQ(GetObjectType(oldBitmap), static_cast<DWORD>(OBJ_BITMAP));

    HBITMAP newBitmap = again->bitmap;
    manager.RemoveAllImages();
    EXPECT_EQ(GetObjectType(oldBitmap), 0u);
    EXPECT_EQ(GetObjectType(newBitmap), 0u);
    EXPECT_EQ(manager.GetImage(L"a123"), nullptr);
    EXPECT_EQ(manager.GetImage(L"123"), shared);
    manager.RemoveAllImages(true);
}

TEST(WindowManagerTables, AttributeListsCustomAttributesAndInitClearsTheWindowsOwn) {
    PlainWindow window;
    CWindowManagerUI manager, other;
    manager.AddDefaultAttributeList(L"Button", L"shared=\"1\"", true);
    manager.AddDefaultAttributeList(L"Button", L"own=\"1\"");
    EXPECT_STREQ(manager.GetDefaultAttributeList(L"Button"), L"own=\"1\"");
    EXPECT_STREQ(other.GetDefaultAttributeList(L"Button"), L"shared=\"1\"");
    EXPECT_EQ(manager.GetDefaultAttributeList(L"button"), nullptr);
    manager.AddDefaultAttributeList(L"Button", L"own=\"2\"");
    EXPECT_STREQ(manager.GetDefaultAttributeList(L"Button"), L"own=\"2\"");

    manager.AddWindowCustomAttribute(L"skin", L"first");
    manager.AddWindowCustomAttribute(L"skin", L"second");
    manager.AddWindowCustomAttribute(L"empty", L"");
    EXPECT_STREQ(manager.GetWindowCustomAttribute(L"skin"), L"first");
    EXPECT_EQ(manager.GetWindowCustomAttribute(L"empty"), nullptr);

    manager.AddFont(2, L"Arial", 10, false, false, false);
    manager.Init(window.Get(), L"main");
    EXPECT_EQ(manager.GetName(), L"main");
    EXPECT_STREQ(manager.GetDefaultAttributeList(L"Button"), L"shared=\"1\"");
    EXPECT_EQ(manager.GetWindowCustomAttribute(L"skin"), nullptr);
    EXPECT_EQ(manager.GetFont(2), manager.GetDefaultFontInfo()->GetHandle());
    manager.RemoveAllDefaultAttributeList(true);
    EXPECT_EQ(other.GetDefaultAttributeList(L"Button"), nullptr);
}

TEST(WindowManagerTexts, MultiLanguageTokensAreReplacedInOnePass) {
    CWindowManagerUI::AddMultiLanguageString(7, L"seven");
    CWindowManagerUI::AddMultiLanguageString(9, L"x%{9}");  // contains its own token
    CWindowManagerUI::AddMultiLanguageString(10, L"%{11}");
    CWindowManagerUI::AddMultiLanguageString(11, L"%{10}");
    CWindowManagerUI::AddMultiLanguageString(12, L"old");
    CWindowManagerUI::AddMultiLanguageString(12, L"twelve");
    EXPECT_STREQ(CWindowManagerUI::GetMultiLanguageString(12), L"twelve");
    EXPECT_EQ(CWindowManagerUI::GetMultiLanguageString(8), nullptr);
    struct Case {
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {
        {L"a %{7} b", L"a seven b"},
        {L"%{7}%{7}", L"sevenseven"},
        {L"%{8}", L"%{8}"},  // no text 8
        {L"%{7", L"%{7"},
        {L"%a %", L"%a %"},
        {L"%{}", L"%{}"},
        {L"%%{7}", L"%seven"},
        {L"%{99999999999}", L"%{99999999999}"},
        {L"%{\x0667}", L"%{\x0667}"},  // a digit of another script is no digit here
        {L"%{9}", L"x%{9}"},
        {L"%{10}", L"%{11}"},
        {L"no tokens", L"no tokens"},
    };
    for (const Case& c : cases) {
        CWideString text(c.text);
        CWindowManagerUI::ProcessMultiLanguageTokens(text);
        EXPECT_STREQ(text.GetData(), c.expected) << c.text;
    }
    CWindowManagerUI::RemoveAllMultiLanguageString();
    EXPECT_EQ(CWindowManagerUI::GetMultiLanguageString(7), nullptr);
}

TEST(WindowManagerColours, SharedChangesReachWindowsThatKeptTheSharedColour) {
    PlainWindow first, second, third;
    CWindowManagerUI a, b, c;
    a.Init(first.Get());
    b.Init(second.Get());
    c.Init(third.Get());
    EXPECT_EQ(a.GetDefaultFontColor(), 0xFF000000u);
    EXPECT_EQ(a.GetDefaultDisabledColor(), 0xFFA7A6AAu);
    EXPECT_EQ(a.GetDefaultLinkFontColor(), 0xFF0000FFu);
    EXPECT_EQ(a.GetDefaultLinkHoverFontColor(), 0xFFD3215Fu);
    EXPECT_EQ(a.GetDefaultSelectedBkColor(), 0xFFBAE4FFu);

    b.SetWindowAttribute(L"defaultfontcolor", L"#FF112233");
    EXPECT_EQ(b.GetDefaultFontColor(), 0xFF112233u);
    a.SetDefaultFontColor(0xFF445566, true);
    EXPECT_EQ(a.GetDefaultFontColor(), 0xFF445566u);
    EXPECT_EQ(c.GetDefaultFontColor(), 0xFF445566u);
    EXPECT_EQ(b.GetDefaultFontColor(), 0xFF112233u);
    CWindowManagerUI later;
    EXPECT_EQ(later.GetDefaultFontColor(), 0xFF445566u);

    c.SetDefaultLinkFontColor(0xFF010203);
    EXPECT_EQ(c.GetDefaultLinkFontColor(), 0xFF010203u);
    EXPECT_EQ(a.GetDefaultLinkFontColor(), 0xFF0000FFu);
    a.SetDefaultFontColor(0xFF000000, true);
}

TEST(WindowManagerShared, ManagerListInstancePathAndSkinLocation) {
    PlainWindow first, second;
    const int before = CWindowManagerUI::GetManagers().GetSize();
    {
        CWindowManagerUI manager;
        manager.Init(first.Get());
        manager.Init(first.Get());
        manager.Init(second.Get());  // another window: still listed once, the DC is the new window's
        EXPECT_EQ(CWindowManagerUI::GetManagers().GetSize(), before + 1);
        EXPECT_EQ(manager.GetPaintWindow(), second.Get());
        EXPECT_EQ(WindowFromDC(manager.GetPaintDC()), second.Get());
    }
    EXPECT_EQ(CWindowManagerUI::GetManagers().GetSize(), before);

    CWideString path = CWindowManagerUI::GetInstancePath();
    ASSERT_FALSE(path.IsEmpty());
    EXPECT_EQ(path.GetAt(path.GetLength() - 1), L'\\');
    EXPECT_EQ(std::wstring(path.GetData()), TestExeFolder());

    // The manager's skin location is the one the markup loader reads.
    CWindowManagerUI::SetResourcePath(FixturePath(L"").c_str());
    CWindowManagerUI::SetResourcePath(FixturePath(L"").substr(0, FixturePath(L"").size() - 1).c_str());
    EXPECT_STREQ(CSkinLocationUI::GetResourcePath().GetData(), FixturePath(L"").c_str());
    CWindowManagerUI::SetResourceZip(L"skin.zip", true);
    ZipHandleUI* handle = CWindowManagerUI::GetResourceZipHandle();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(CSkinLocationUI::GetResourceZipHandle(), handle);
    CWindowManagerUI::SetResourceZip(L"skin.zip", true);
    EXPECT_EQ(CWindowManagerUI::GetResourceZipHandle(), handle);  // unchanged: not reopened
    CXmlDocumentUI doc;
    EXPECT_TRUE(doc.LoadFromFile(L"layout/main.xml")) << doc.GetLastErrorMessage();

    // A memory zip replaces the file; a second block is ignored.
    const std::string first_block = ReadFixture(L"small.zip");
    const std::string second_block = ReadFixture(L"skin.zip");
    CWindowManagerUI::SetResourceZip(first_block.data(), static_cast<unsigned int>(first_block.size()));
    EXPECT_STREQ(CWindowManagerUI::GetResourceZip().GetData(), L"membuffer");
    ZipHandleUI* memory = CWindowManagerUI::GetResourceZipHandle();
    ASSERT_NE(memory, nullptr);
    CWindowManagerUI::SetResourceZip(second_block.data(), static_cast<unsigned int>(second_block.size()));
    EXPECT_EQ(CWindowManagerUI::GetResourceZipHandle(), memory);
    CXmlDocumentUI fromMemory;
    EXPECT_TRUE(fromMemory.LoadFromFile(L"a.xml")) << fromMemory.GetLastErrorMessage();
    EXPECT_FALSE(fromMemory.LoadFromFile(L"layout/main.xml"));

    CWindowManagerUI::Term();
    EXPECT_EQ(CWindowManagerUI::GetResourceZipHandle(), nullptr);
    CSkinLocationUI::SetResourceZipState(L"", true, nullptr);
}

}  // namespace
