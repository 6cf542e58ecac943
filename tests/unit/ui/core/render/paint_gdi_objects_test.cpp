// A launcher window paints for hours: no paint may leave a GDI object
// behind, nor leave one of its own selected in the window's DC.
#include "tests/unit/ui/support/managed_window.h"
#include "tests/unit/ui/support/render_test_support.h"
#include "ui/controls/text/gdiplus_starter_ui.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/markup/dialog_builder.h"

#include <gtest/gtest.h>

using namespace QuillUI;

namespace {

// Every painting path of the base controls at once: colours, gradients,
// borders square and round, images stretched, nine-grid, tiled, faded and
// masked, plain, HTML and effect text, buttons, options and a scrolled list.
const wchar_t kBusyTree[] =
    L"<Window><Font name=\"Arial\" size=\"13\" bold=\"true\" />"
    L"<VerticalLayout bkcolor=\"FF203040\" bkcolor2=\"FF405060\" bkcolor3=\"FF607080\" vscrollbar=\"true\" "
    L"bordersize=\"2\" bordercolor=\"FFFF0000\" borderround=\"8,8\">"
    L"<Label text=\"plain &amp; ellipsis that goes on and on\" endellipsis=\"true\" height=\"20\" "
    L"bkcolor=\"80FF0000\" bordersize=\"1\" bordercolor=\"FF00FF00\" />"
    L"<Label showhtml=\"true\" text=\"&lt;b&gt;bold&lt;/b&gt; &lt;i&gt;it&lt;/i&gt; &lt;u&gt;u&lt;/u&gt; "
    L"&lt;c #FF0000&gt;red&lt;/c&gt; &lt;f 0&gt;font&lt;/f&gt; &lt;a&gt;link&lt;/a&gt;\" height=\"20\" />"
    L"<Label text=\"effect\" enabledeffect=\"true\" enabledluminous=\"true\" enabledstroke=\"true\" "
    L"strokecolor=\"FF0000FF\" enabledshadow=\"true\" textshadowcolora=\"FF000000\" height=\"24\" />"
    L"<Text text=\"{a}a link{/a} and {b}bold{/b}\" showhtml=\"true\" height=\"20\" />"
    L"<Button text=\"go\" height=\"24\" normalimage=\"file='grid.png' corner='3,3,3,3'\" "
    L"hotimage=\"file='grid.png' fade='128'\" bordersize=\"0,1,0,1\" bordercolor=\"FF000000\" />"
    L"<Control height=\"20\" bkimage=\"file='grid.png' xtiled='true' ytiled='true' mask='FFFF00FF'\" />"
    L"<Control height=\"20\" bkimage=\"color='80FF00FF'\" borderround=\"4,4\" bordersize=\"1\" "
    L"bordercolor=\"FF123456\" />"
    L"<Option text=\"one\" group=\"g\" selected=\"true\" height=\"20\" selectedbkcolor=\"FF00FFFF\" />"
    L"<CheckBox text=\"two\" height=\"20\" />"
    L"<Label text=\"tall\" height=\"400\" />"
    L"</VerticalLayout></Window>";

std::string GridPng() {
    std::vector<uint32_t> pixels(12 * 12);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = (i % 5 == 0) ? 0xFFFF00FF : 0x80336699;
    return EncodePng(12, 12, pixels);
}

// Paints the whole window COUNT times, at two sizes in turn so that the
// surfaces are made anew: WM_PAINT for a normal window, the layered
// window's own timer for a layered one.
void PaintTimes(ManagedWindow& window, int count) {
    for (int i = 0; i < count; ++i) {
        SetWindowPos(window.Get(), nullptr, 0, 0, 300 + (i % 2) * 20, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        window.manager.Invalidate();
        if (window.manager.IsLayered()) {
            SendMessageW(window.Get(), WM_TIMER, 0x2000, 0);
        } else {
            UpdateWindow(window.Get());
        }
    }
}

class PaintGdiObjects : public ::testing::TestWithParam<bool> {};

}  // namespace

TEST_P(PaintGdiObjects, RepeatedPaintsKeepTheObjectCountAndTheDcSelection) {
    CGdiplusStarterUI gdiplus;
    ScopedSkinFolder skin(L"gdi");
    skin.Write(L"grid.png", GridPng());
    ManagedWindow window(300, 200);
    window.Show();
    if (GetParam()) window.manager.SetLayered(true);
    CDialogBuilder builder;
    CControlUI* root = builder.Create(kBusyTree, nullptr, nullptr, &window.manager);
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(window.manager.AttachDialog(root));

    HDC dc = window.manager.GetPaintDC();
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);

    // The first paints load images and fonts that stay for the window's life.
    PaintTimes(window, 5);
    PumpFor(30);
    const int before = GdiObjectCount();
    PaintTimes(window, 60);
    const int after = GdiObjectCount();
    EXPECT_LE(after - before, 0) << "objects before " << before << ", after " << after;
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
}

INSTANTIATE_TEST_SUITE_P(NormalAndLayered, PaintGdiObjects, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Layered" : "Normal";
                         });
