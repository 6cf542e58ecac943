#include "tools/gallery/gallery_window.h"

#include "tests/unit/ui/support/render_test_support.h"
#include "tests/unit/ui/support/skinned_window_fixture.h"
#include "tests/support/desktop_input_lock.h"
#include "ui/controls/lists/combo_ui.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/markup/xml_document_ui.h"
#include "ui/core/markup/xml_node_ui.h"
#include "ui/core/values/delegate.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <map>
#include <set>
#include <string>

using namespace QuillUI;

namespace {

// Every tag of the builder, the control of the skin made by it, the class it
// answers and, for some, a further interface it answers.
struct TagRow {
    const wchar_t* tag;
    const wchar_t* name;
    const wchar_t* className;
    const wchar_t* alsoAnswers;
};

const TagRow kTags[] = {
    {L"Control", L"control", L"Control", nullptr},
    {L"Container", L"container", L"Container", L"IContainer"},
    {L"VerticalLayout", L"root", L"VerticalLayout", L"IContainer"},
    {L"VBox", L"left", L"VerticalLayout", L"IContainer"},
    {L"HorizontalLayout", L"main", L"HorizontalLayout", L"IContainer"},
    {L"HBox", L"caption", L"HorizontalLayout", L"IContainer"},
    {L"TabLayout", L"tabs", L"TabLayout", L"IContainer"},
    {L"TileLayout", L"tiles", L"TileLayout", L"IContainer"},
    {L"ChildLayout", L"child", L"ChildLayout", L"IContainer"},
    {L"ScrollBar", L"scrollbar", L"ScrollBar", nullptr},
    {L"Label", L"title", L"Label", nullptr},
    {L"Text", L"links", L"Text", L"Label"},
    {L"Button", L"button", L"Button", L"Label"},
    {L"Option", L"option", L"Option", L"Button"},
    {L"CheckBox", L"checkbox", L"CheckBox", L"Option"},
    {L"Edit", L"edit", L"Edit", L"Label"},
    {L"RichEdit", L"richedit", L"RichEdit", L"IContainer"},
    {L"Combo", L"combo", L"Combo", L"IListOwner"},
    {L"ComboBox", L"combobox", L"Combo", L"IListOwner"},
    {L"List", L"list", L"List", L"IList"},
    {L"ListHeader", L"header", L"ListHeader", L"IContainer"},
    {L"ListHeaderItem", L"column", L"ListHeaderItem", nullptr},
    {L"ListLabelElement", L"labelrow", L"ListLabelElement", L"IListItem"},
    {L"ListTextElement", L"textrow", L"ListTextElement", L"IListItem"},
    {L"ListHBoxElement", L"hboxrow", L"ListHBoxElement", L"IListItem"},
    {L"ListContainerElement", L"containerrow", L"ListContainerElement", L"IListItem"},
    {L"Tree", L"tree", L"TreeView", L"List"},
    {L"TreeView", L"treeview", L"TreeView", L"List"},
    {L"TreeNode", L"node", L"TreeNode", L"IListItem"},
    {L"Progress", L"progress", L"Progress", L"Label"},
    {L"Slider", L"slider", L"Slider", L"Progress"},
    {L"DateTime", L"datetime", L"DateTime", L"Label"},
    {L"GifAnim", L"gif", L"GifAnim", nullptr},
    {L"ActiveX", L"activex", L"ActiveX", nullptr},
    {L"WebBrowser", L"browser", L"WebBrowser", L"ActiveX"},
    {L"Flash", L"flash", L"Flash", L"ActiveX"},
};

std::wstring Lower(const wchar_t* text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
    return lower;
}

std::string Narrow(const wchar_t* text) { return std::string(text, text + wcslen(text)); }

// The tags the skin uses, and the tag of each named element.
struct SkinTags {
    std::set<std::wstring> used;
    std::map<std::wstring, std::wstring> byName;
};

void CollectTags(const CXmlNodeUI& node, SkinTags& tags) {
    for (CXmlNodeUI child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
        tags.used.insert(Lower(child.GetName()));
        wchar_t name[100] = {};
        if (child.GetAttributeValue(L"name", name, 100)) tags.byName[name] = child.GetName();
        CollectTags(child, tags);
    }
}

// Notes every control of a tree and each one's deletion.
class ControlCensus {
public:
    void Watch(CControlUI* root) {
        root->FindControl(&ControlCensus::Visit, this, 0);
    }
    size_t Watched() const { return watched_.size(); }
    size_t Alive() const { return watched_.size() - deleted_.size(); }

private:
    static CControlUI* Visit(CControlUI* control, void* data) {
        auto* census = static_cast<ControlCensus*>(data);
        if (census->watched_.insert(control).second)
            control->OnDestroy.Add(CDelegate<ControlCensus, ControlCensus>(census, &ControlCensus::Deleted));
        return nullptr;
    }
    bool Deleted(void* control) {
        deleted_.insert(control);
        return true;
    }

    std::set<void*> watched_;
    std::set<void*> deleted_;
};

// What a COM double still holds, through the counts its DLL exports.
long DoubleCount(const wchar_t* dll, const char* counter) {
    HMODULE module = GetModuleHandleW(dll);
    if (module == nullptr) return -1;
    auto count = reinterpret_cast<LONG(STDAPICALLTYPE*)(const char*)>(GetProcAddress(module, "ComDoubleCount"));
    return count != nullptr ? count(counter) : -1;
}

class Gallery : public SkinnedWindowFixture<GalleryWindow> {
protected:
    void SetUp() override { Open(new GalleryWindow(), L"Gallery"); }
};

}  // namespace

TEST_F(Gallery, EveryTagMadeAControlOfItsClass) {
    CXmlDocumentUI skin;
    ASSERT_TRUE(skin.LoadFromFile(L"gallery.xml")) << Narrow(skin.GetLastErrorMessage());
    SkinTags tags;
    CollectTags(skin.GetRoot(), tags);
    ASSERT_EQ(36u, sizeof(kTags) / sizeof(kTags[0]));
    for (const TagRow& row : kTags) {
        SCOPED_TRACE(Narrow(row.tag));
        EXPECT_EQ(1u, tags.used.count(Lower(row.tag))) << "the skin does not use the tag";
        EXPECT_EQ(row.tag, tags.byName[row.name]) << "the skin's " << Narrow(row.name) << " has another tag";
        CControlUI* control = Find(row.name);
        if (control == nullptr) continue;
        EXPECT_STREQ(row.className, control->GetClass());
        EXPECT_NE(nullptr, control->GetInterface(row.className));
        if (row.alsoAnswers != nullptr) {
            EXPECT_NE(nullptr, control->GetInterface(row.alsoAnswers));
        }
    }
}

TEST_F(Gallery, TheWholeWindowPaints) {
    RECT client;
    GetClientRect(hwnd_, &client);
    // Through the window's own paint, and once more into a bitmap to look at.
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(hwnd_, &pending, FALSE));
    DibSurface surface(client.right, client.bottom);
    EXPECT_TRUE(Manager().GetRoot()->Paint(surface.Dc(), client, nullptr));
    std::set<uint32_t> colours;
    for (int y = 0; y < client.bottom; y += 2) {
        for (int x = 0; x < client.right; x += 2) colours.insert(surface.Rgb(x, y));
    }
    EXPECT_GT(colours.size(), 200u);
    // The list's rows take turns with the alternate background, and the
    // movie host draws its bars.
    const RECT first = Find(L"labelrow")->GetPos();
    const RECT second = Find(L"textrow")->GetPos();
    const uint32_t firstBk = surface.Rgb(first.left + 3, (first.top + first.bottom) / 2);
    EXPECT_TRUE(Near(0xFFFFFF, firstBk));
    EXPECT_NE(firstBk, surface.Rgb(second.left + 3, (second.top + second.bottom) / 2));
    const RECT movie = Find(L"flash")->GetPos();
    EXPECT_TRUE(Near(0x101828, surface.Rgb(movie.left + 2, movie.top + 2)));
}

TEST(GalleryEnd, ClosingLeavesNoControlGdiObjectOrComObjectBehind) {
    DesktopInputLock desktop;
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    // The first round loads what a process keeps once loaded; the second
    // must give all of it back.
    int before = 0;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        if (round == 1) before = GdiObjectCount();
        ControlCensus census;
        {
            // The tree goes with the window object, after its window.
            GalleryWindow window;
            HWND hwnd = window.Create(nullptr, L"Gallery", WS_OVERLAPPEDWINDOW, 0, 100, 100, 640, 480);
            ASSERT_NE(nullptr, hwnd);
            ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
            UpdateWindow(hwnd);
            Pump(200);
            census.Watch(window.GetManager().GetRoot());
            EXPECT_GT(census.Watched(), 150u);
            EXPECT_GT(DoubleCount(L"browser_double.dll", "objects"), 0);
            EXPECT_GT(DoubleCount(L"flash_double.dll", "objects"), 0);
            // Ended with the drop-down open: its items come back to be deleted.
            ASSERT_TRUE(static_cast<CComboUI*>(window.GetManager().FindControl(L"combo"))->Activate());
            Pump(50);
            ASSERT_NE(nullptr, FindWindowW(L"ComboWnd", nullptr));
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
            for (int waited = 0; waited < 10000 && IsWindow(hwnd); waited += 20) Pump(20);
            ASSERT_FALSE(IsWindow(hwnd));
            EXPECT_EQ(nullptr, FindWindowW(L"ComboWnd", nullptr));
        }
        Pump(50);
        EXPECT_EQ(0u, census.Alive());
        for (const wchar_t* dll : {L"browser_double.dll", L"flash_double.dll"}) {
            for (const char* counter : {"objects", "locks", "sinks", "host-refs", "violations"})
                EXPECT_EQ(0, DoubleCount(dll, counter)) << Narrow(dll) << " " << counter;
        }
    }
    EXPECT_LE(GdiObjectCount(), before);
}
