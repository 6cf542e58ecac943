// Times a tree view and a combo box built from markup in a hidden window.
//   bench_tree_combo tree T   a tree of T top nodes, each with 10 children
//                             of 99 grandchildren (1,001 nodes a top, of
//                             the gallery's kind): the build, the first
//                             layout, and folding and
//                             unfolding the first top node (its 1,000
//                             descendants), each with a layout and a paint,
//                             and the memory each node takes
//   bench_tree_combo combo N  a combo box of N items: opening its popup up
//                             to its first paint
// One line of figures (milliseconds, best of several) per run; for
// tools/bench/tree_combo.sh.
#include "common/win.h"
#include "ui/controls/buttons/check_box_ui.h"
#include "ui/controls/lists/combo_ui.h"
#include "ui/controls/tree/tree_node_ui.h"
#include "ui/controls/tree/tree_view_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/markup/dialog_builder.h"
#include "ui/core/render/dib_section_ui.h"
#include "tools/bench/ui_bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

using namespace QuillUI;

namespace {

const int kWidth = 640;
const int kHeight = 480;
// Items per markup build, well inside one build's budget.
const int kItemBatch = 5000;

// Nodes of the gallery's kind: the gallery's node defaults, and its folder
// and check box looks on every node that has them there.
const wchar_t kNodeDefaults[] =
    L"<Default name=\"TreeNode\" value=\"height=&quot;22&quot; width=&quot;186&quot; "
    L"itemtextcolor=&quot;#FF1A2030&quot; selitemtextcolor=&quot;#FF102040&quot;\" />";
const wchar_t kFolderAttr[] =
    L" folderattr=\"bkcolor=&quot;#FF8090B0&quot; selectedbkcolor=&quot;#FFE0902A&quot; "
    L"padding=&quot;5,5,5,5&quot;\"";
const wchar_t kCheckBoxAttr[] =
    L" checkboxattr=\"bkcolor=&quot;#FFC8D0E0&quot; selectedbkcolor=&quot;#FF4CC38A&quot; "
    L"padding=&quot;4,4,4,4&quot;\"";

std::wstring TopNode(int top) {
    std::wstring markup =
        L"<Window><TreeNode text=\"Top " + std::to_wstring(top) + L"\"" + kFolderAttr + kCheckBoxAttr + L">";
    for (int c = 0; c < 10; ++c) {
        markup += L"<TreeNode text=\"Child " + std::to_wstring(c) + L"\"" + kFolderAttr + kCheckBoxAttr + L">";
        for (int g = 0; g < 99; ++g)
            markup += L"<TreeNode text=\"Leaf " + std::to_wstring(g) + L"\"" + kCheckBoxAttr + L" />";
        markup += L"</TreeNode>";
    }
    return markup + L"</TreeNode></Window>";
}

int RunTree(int tops) {
    BenchWindow bench(L"QuillTreeComboBench", kWidth, kHeight);
    const std::wstring shell =
        std::wstring(L"<Window>") + kNodeDefaults + L"<TreeView name=\"tree\" vscrollbar=\"true\" /></Window>";
    // One top node's markup per build, as its 1,001 nodes fit one build's
    // budget however many tops there are.
    const std::wstring top = TopNode(0);
    const double before = CommittedBytes();
    double t0 = NowMs();
    if (!bench.BuildRoot(shell)) return 1;
    auto* tree = static_cast<CTreeViewUI*>(bench.manager->FindControl(L"tree"));
    for (int i = 0; i < tops; ++i) bench.Build(top, tree);
    const double build = NowMs() - t0;
    const double perNode = (CommittedBytes() - before) / (tops * 1001);
    if (tree->GetCount() != tops * 1001) {
        std::fprintf(stderr, "%d nodes built of %d\n", tree->GetCount(), tops * 1001);
        return 1;
    }
    t0 = NowMs();
    bench.LayOutAndPaint();
    const double first = NowMs() - t0;

    CCheckBoxUI* folder = AsTreeNode(tree->GetItemAt(0))->GetFolderButton();
    double fold = 1e9;
    double unfold = 1e9;
    for (int i = 0; i < 5; ++i) {
        t0 = NowMs();
        folder->Selected(true, true);
        bench.LayOutAndPaint();
        fold = std::min(fold, NowMs() - t0);
        t0 = NowMs();
        folder->Selected(false, true);
        bench.LayOutAndPaint();
        unfold = std::min(unfold, NowMs() - t0);
    }
    if (!tree->GetItemAt(1)->IsVisible()) {
        std::fprintf(stderr, "the top node did not unfold\n");
        return 1;
    }
    std::printf("tree nodes %d build %.2f first_layout_paint %.3f fold %.3f unfold %.3f bytes_per_node %.0f\n",
                tree->GetCount(), build, first, fold, unfold, perNode);
    return 0;
}

HWND PopupOf(DWORD thread) {
    struct Found {
        static BOOL CALLBACK Proc(HWND window, LPARAM data) {
            wchar_t name[32] = L"";
            GetClassNameW(window, name, 32);
            if (wcscmp(name, L"ComboWnd") != 0) return TRUE;
            *reinterpret_cast<HWND*>(data) = window;
            return FALSE;
        }
    };
    HWND popup = nullptr;
    EnumThreadWindows(thread, &Found::Proc, reinterpret_cast<LPARAM>(&popup));
    return popup;
}

void Pump() {
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int RunCombo(int items) {
    BenchWindow bench(L"QuillTreeComboBench", kWidth, kHeight);
    if (!bench.BuildRoot(L"<Window><VerticalLayout><Combo name=\"combo\" height=\"24\" /><Control />"
                         L"</VerticalLayout></Window>"))
        return 1;
    auto* combo = static_cast<CComboUI*>(bench.manager->FindControl(L"combo"));
    for (int made = 0; made < items; made += kItemBatch) {
        std::wstring batch = L"<Window>";
        for (int i = made; i < std::min(items, made + kItemBatch); ++i)
            batch += L"<ListLabelElement text=\"Item " + std::to_wstring(i) + L"\" height=\"20\" />";
        bench.Build(batch + L"</Window>", combo);
    }
    if (combo->GetCount() != items) {
        std::fprintf(stderr, "%d items built of %d\n", combo->GetCount(), items);
        return 1;
    }
    bench.LayOutAndPaint();
    double open = 1e9;
    for (int i = 0; i < 5; ++i) {
        const double t0 = NowMs();
        combo->Activate();
        HWND popup = PopupOf(GetCurrentThreadId());
        if (popup == nullptr) {
            std::fprintf(stderr, "no popup\n");
            return 1;
        }
        // Its first layout and paint.
        UpdateWindow(popup);
        open = std::min(open, NowMs() - t0);
        SendMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        Pump();
        if (IsWindow(popup)) {
            std::fprintf(stderr, "the popup did not close\n");
            return 1;
        }
    }
    std::printf("combo items %d open %.3f\n", items, open);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int count = argc > 2 ? _wtoi(argv[2]) : 0;
    if (argc > 2 && wcscmp(argv[1], L"tree") == 0 && count > 0) return RunTree(count);
    if (argc > 2 && wcscmp(argv[1], L"combo") == 0 && count > 0) return RunCombo(count);
    std::fprintf(stderr, "usage: bench_tree_combo tree TOPS | combo ITEMS\n");
    return 2;
}
