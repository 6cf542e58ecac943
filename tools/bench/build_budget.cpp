// Builds one build budget's worth of one kind of control from markup in a
// hidden window, lays it out and paints it once, and prints the controls
// made and the memory they take: what the largest build the budget accepts
// costs. One kind per run; for tools/bench/build_budget.sh.
//   bench_build_budget KIND   tree, check, option, button, label, edit, richedit, list
#include "common/win.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/markup/dialog_build_budget.h"
#include "ui/core/markup/dialog_builder.h"
#include "ui/core/render/dib_section_ui.h"
#include "tools/bench/ui_bench_support.h"

#include <cstdio>
#include <cwchar>
#include <string>

using namespace QuillUI;

namespace {

const int kWidth = 640;
const int kHeight = 480;

// Each kind as a skin would write it: images, texts and colours set.
struct Kind {
    const wchar_t* name;
    const wchar_t* open;     // the container, with any defaults it needs
    const wchar_t* element;  // repeated until the budget is spent
    const wchar_t* close;
};

const Kind kKinds[] = {
    {L"tree",
     L"<Default name=\"TreeNode\" value=\"height=&quot;22&quot; width=&quot;186&quot; "
     L"itemtextcolor=&quot;#FF1A2030&quot; selitemtextcolor=&quot;#FF102040&quot;\" />"
     L"<TreeView vscrollbar=\"true\">",
     L"<TreeNode text=\"client-1.0.1.pkg\" folderattr=\"bkcolor=&quot;#FF8090B0&quot; "
     L"selectedbkcolor=&quot;#FFE0902A&quot; padding=&quot;5,5,5,5&quot;\" />",
     L"</TreeView>"},
    {L"check", L"<VerticalLayout vscrollbar=\"true\">",
     L"<CheckBox text=\"Keep the downloads\" height=\"20\" textpadding=\"20,0,0,0\" "
     L"normalimage=\"file='check.png' source='0,0,13,13' dest='0,4,13,17'\" "
     L"hotimage=\"file='check.png' source='13,0,26,13' dest='0,4,13,17'\" "
     L"selectedimage=\"file='check.png' source='26,0,39,13' dest='0,4,13,17'\" "
     L"selectedhotimage=\"file='check.png' source='39,0,52,13' dest='0,4,13,17'\" />",
     L"</VerticalLayout>"},
    {L"option", L"<VerticalLayout vscrollbar=\"true\">",
     L"<Option group=\"servers\" text=\"Server\" height=\"20\" normalimage=\"file='FF2C3448' restype='*COLOR*'\" "
     L"hotimage=\"file='FF3A4560' restype='*COLOR*'\" pushedimage=\"file='FF2A3650' restype='*COLOR*'\" "
     L"selectedimage=\"file='FF3D7BD9' restype='*COLOR*'\" selectedhotimage=\"file='FF4D8BE9' restype='*COLOR*'\" />",
     L"</VerticalLayout>"},
    {L"button", L"<VerticalLayout vscrollbar=\"true\">",
     L"<Button text=\"Start\" height=\"24\" tooltip=\"Starts the game\" normalimage=\"file='FF3A4A6A' restype='*COLOR*'\" "
     L"hotimage=\"file='FF4A5E88' restype='*COLOR*'\" pushedimage=\"file='FF2A3650' restype='*COLOR*'\" "
     L"focusedimage=\"file='FF4A5E88' restype='*COLOR*'\" disabledimage=\"file='FF30343E' restype='*COLOR*'\" />",
     L"</VerticalLayout>"},
    {L"label", L"<VerticalLayout vscrollbar=\"true\">",
     L"<Label text=\"Downloading the update\" height=\"20\" textcolor=\"#FFDCE2EE\" "
     L"bkimage=\"file='FF262C3A' restype='*COLOR*'\" />",
     L"</VerticalLayout>"},
    {L"edit", L"<VerticalLayout vscrollbar=\"true\">",
     L"<Edit text=\"player\" height=\"24\" textpadding=\"4,0,4,0\" normalimage=\"file='FFE4E8F0' restype='*COLOR*'\" "
     L"hotimage=\"file='FFF0F3F8' restype='*COLOR*'\" focusedimage=\"file='FFF4F6FA' restype='*COLOR*'\" />",
     L"</VerticalLayout>"},
    {L"richedit", L"<VerticalLayout vscrollbar=\"true\">",
     L"<RichEdit text=\"player\" height=\"24\" textpadding=\"4,0,4,0\" bkcolor=\"#FFF4F6FA\" />",
     L"</VerticalLayout>"},
    {L"list",
     L"<List vscrollbar=\"true\" itemaltbk=\"true\"><ListHeader height=\"24\">"
     L"<ListHeaderItem width=\"240\" text=\"Name\" /><ListHeaderItem width=\"160\" text=\"Size\" />"
     L"<ListHeaderItem width=\"200\" text=\"Server\" /></ListHeader>",
     L"<ListTextElement height=\"20\" />", L"</List>"},
};

CControlUI* CountOne(CControlUI*, void* data) {
    ++*static_cast<long*>(data);
    return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const Kind* kind = nullptr;
    for (const Kind& k : kKinds) {
        if (argc > 1 && wcscmp(argv[1], k.name) == 0) kind = &k;
    }
    if (kind == nullptr) {
        std::fprintf(stderr, "usage: bench_build_budget tree|check|option|button|label|edit|richedit|list\n");
        return 2;
    }
    BenchWindow bench(L"QuillBudgetBench", kWidth, kHeight);

    // More elements than the budget takes: the build stops when it is spent.
    std::wstring markup = std::wstring(L"<Window>") + kind->open;
    for (long i = 0; i < CDialogBuildBudget::kMaxUnits; ++i) markup += kind->element;
    markup += kind->close;
    markup += L"</Window>";

    const double before = CommittedBytes();
    const double t0 = NowMs();
    if (!bench.BuildRoot(markup)) return 1;
    const double build = NowMs() - t0;
    bench.LayOutAndPaint();
    markup.clear();
    markup.shrink_to_fit();
    const double bytes = CommittedBytes() - before;
    long controls = 0;
    bench.root->FindControl(&CountOne, &controls, 0);

    std::printf("kind %ls controls %ld build %.1f committed_mb %.1f bytes_per_control %.0f\n", kind->name, controls,
                build, bytes / (1024.0 * 1024.0), bytes / controls);
    return 0;
}
