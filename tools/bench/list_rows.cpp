// Times a list of N three-column text rows built from markup in a hidden
// skinned window: the build, a layout pass, a paint of the rows in view into
// a DIB, and a line scroll, and prints the memory the rows took. One N per
// run, so that the memory figure is the rows' own; for tools/bench/list_rows.sh.
//   bench_list_rows N
#include "common/win.h"
#include "ui/controls/lists/list_owner_ui.h"
#include "ui/controls/lists/list_ui.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/markup/dialog_builder.h"
#include "ui/core/render/dib_section_ui.h"
#include "ui/core/values/delegate.h"
#include "tools/bench/ui_bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

using namespace QuillUI;

namespace {

const int kWidth = 640;
const int kHeight = 480;

// Cell texts made on demand, as a program with its data elsewhere would.
class RowTexts : public IListTextCallbackUI {
public:
    const wchar_t* GetItemText(CControlUI*, int index, int column) override {
        wchar_t* slot = slots_[next_++ % 4];
        static const wchar_t* const kinds[] = {L"Row %d", L"%d.00 MiB", L"server %d"};
        swprintf(slot, 64, kinds[column % 3], index);
        return slot;
    }

private:
    wchar_t slots_[4][64] = {};
    unsigned next_ = 0;
};

struct PaintCounter {
    bool Count(void*) {
        ++count;
        return true;
    }
    int count = 0;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rows = argc > 1 ? _wtoi(argv[1]) : 0;
    if (rows <= 0) {
        std::fprintf(stderr, "usage: bench_list_rows N\n");
        return 2;
    }
    auto* manager = new CWindowManagerUI();
    HWND window = CreateBenchWindow(L"QuillListBench", kWidth, kHeight, manager);

    // The whole list, header and rows, from one markup text.
    std::wstring markup =
        L"<Window><List name=\"list\" vscrollbar=\"true\" itemvlinesize=\"1\" itemhlinesize=\"1\" "
        L"itemaltbk=\"true\" itembkcolor=\"#FFF4F4F4\"><ListHeader height=\"24\">"
        L"<ListHeaderItem width=\"240\" text=\"Name\" /><ListHeaderItem width=\"160\" text=\"Size\" />"
        L"<ListHeaderItem width=\"200\" text=\"Server\" /></ListHeader>";
    for (int i = 0; i < rows; ++i) markup += L"<ListTextElement height=\"20\" />";
    markup += L"</List></Window>";

    const double before = CommittedBytes();
    double t0 = NowMs();
    CControlUI* root = nullptr;
    {
        // The parsed markup goes with the builder, before memory is read.
        CDialogBuilder builder;
        root = builder.Create(markup.c_str(), nullptr, nullptr, manager);
    }
    if (root == nullptr || !manager->AttachDialog(root)) {
        std::fprintf(stderr, "the markup did not build\n");
        return 1;
    }
    const double build = NowMs() - t0;
    auto* list = static_cast<CListUI*>(manager->FindControl(L"list"));
    if (list->GetCount() != rows) {
        std::fprintf(stderr, "%d rows built of %d\n", list->GetCount(), rows);
        return 1;
    }
    RowTexts texts;
    list->SetTextCallback(&texts);
    const RECT client = {0, 0, kWidth, kHeight};
    t0 = NowMs();
    root->SetPos(client, false);
    const double firstLayout = NowMs() - t0;
    markup.clear();
    markup.shrink_to_fit();
    const double memory = (CommittedBytes() - before) / rows;

    double layout = 1e9;
    for (int i = 0; i < 3; ++i) {
        root->NeedUpdate();
        t0 = NowMs();
        root->SetPos(client, false);
        layout = std::min(layout, NowMs() - t0);
    }

    uint8_t* bits = nullptr;
    HBITMAP bitmap = CreateDibSection32(nullptr, kWidth, kHeight, true, &bits);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    PaintCounter counter;
    for (int i = 0; i < list->GetCount(); ++i) {
        list->GetItemAt(i)->OnPaint.Add(CDelegate<PaintCounter, PaintCounter>(&counter, &PaintCounter::Count));
    }
    auto paint = [&] {
        root->Paint(dc, client, nullptr);
        GdiFlush();
    };
    paint();
    double painted = 1e9;
    int paintedRows = 0;
    for (int i = 0; i < 5; ++i) {
        counter.count = 0;
        t0 = NowMs();
        paint();
        painted = std::min(painted, NowMs() - t0);
        paintedRows = counter.count;
    }

    double scroll = 1e9;
    double scrollLayout = 1e9;
    for (int i = 0; i < 10; ++i) {
        t0 = NowMs();
        list->LineDown();
        paint();
        scroll = std::min(scroll, NowMs() - t0);
        t0 = NowMs();
        list->LineDown();
        root->SetPos(client, false);
        paint();
        scrollLayout = std::min(scrollLayout, NowMs() - t0);
    }

    std::printf("rows %d build %.2f first_layout %.3f layout %.3f paint %.3f painted_rows %d scroll %.3f "
                "scroll_layout %.3f bytes_per_row %.0f\n",
                rows, build, firstLayout, layout, painted, paintedRows, scroll, scrollLayout, memory);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    list->SetTextCallback(nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete manager;
    DestroyWindow(window);
    return 0;
}
