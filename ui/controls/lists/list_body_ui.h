// The scrolling part of a list, created by the list as its second child:
// it lays the items out from top to bottom as wide as the list's columns,
// keeps the header in step with its horizontal scrolling, numbers the rows
// as it paints them and draws the horizontal grid lines. Its events go to
// the list, so navigation is the same whichever of the two received them.
//
// A list may hold tens of thousands of rows while a few dozen show. The
// body keeps a small record of each row's place, refreshed only for the
// rows that asked for a layout (NeedParentUpdate) and for all of them when
// anything else changed, and places only the rows in view, and those that
// have just left it. The rows out of view keep the rectangles they had;
// painting and hit tests pass over them, and GetRowPos tells where any row
// lies. Folding a tree or scrolling costs with the rows that change and
// the rows in view, not with the whole list. A list with float rows is
// laid out whole, row by row, as a plain vertical layout would.
#pragma once
#include "ui/controls/containers/vertical_layout_ui.h"
#include "ui/core/values/pointer_array.h"

namespace QuillUI {

class CListUI;
struct ListInfoUI;

class CListBodyUI : public CVerticalLayoutUI {
public:
    // The owner is not owned; without one the body is a plain vertical
    // container for events and lays out without columns.
    explicit CListBodyUI(CListUI* owner);
    ~CListBodyUI() override;

    CListUI* GetOwner() const { return owner_; }

    void SetPos(RECT rect, bool needInvalidate = true) override;
    // Moves the items by what the bars moved; a horizontal change moves the
    // header items and the columns as well.
    void SetScrollPos(SIZE pos) override;
    void DoEvent(ControlEventUI& event) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;
    // Hit tests and the window's search for controls to lay out look at the
    // rows in view only.
    CControlUI* FindControl(FindControlProcUI proc, void* data, UINT flags) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void ChildNeedsUpdate(CControlUI* child) override;

    // ---- IContainerUI: every row's record is read again after an edit ----
    bool SetItemIndex(CControlUI* control, int newIndex) override;
    bool MoveItems(CControlUI* control, int count, int newIndex) override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control, bool keep = false) override;
    bool RemoveAt(int index, bool keep = false) override;
    void RemoveAll() override;

    // Where the last layout put the row at index, also when it lies out of
    // view and keeps an older rectangle; empty for no such row.
    RECT GetRowPos(int index) const;

protected:
    // Numbers the row and draws its grid line.
    void OnChildPaintTurn(HDC dc, const RECT& paint, CControlUI* child) override;

    CListUI* owner_;
    // While painting: the owner's record and the next row's draw index.
    const ListInfoUI* paintInfo_ = nullptr;
    int drawIndex_ = 0;

private:
    struct RowRecord;
    struct Frame;
    struct Measures;

    Frame GetFrame() const;
    // The rows' records, one for each item, read where needed; false when
    // they cannot be kept (no memory, a float row): the body is then laid
    // out whole.
    bool ReadRecords(const Frame& frame);
    void ReadRecord(int index, const Frame& frame);
    // Tops, draw numbers and the extent the rows need.
    Measures SumRecords(const Frame& frame);
    // The rows in view, and those that were and are no longer; [first, end)
    // of the items.
    void PlaceRowsInView(const Frame& frame);
    void PlaceRow(int index, const Frame& frame);
    // Where the rows start: the child area shifted by the bars.
    POINT GetOrigin(const Frame& frame) const;
    int EstimateRowWidth(CControlUI* child, const RECT& pad, const Frame& frame);
    // A row's rectangle, its top padding at y, as wide as its limits let it.
    RECT RowRect(CControlUI* child, const RECT& pad, const Frame& frame, int y, int height, int remaining);
    // The plain layout: every row placed.
    void PlaceAllRows(const Frame& frame);
    void ForgetRecords();
    // The list items before the row that paint.
    int RowOrdinal(int index) const;
    void ForgetPlaced(CControlUI* control);

    RowRecord* records_ = nullptr;
    int recordCount_ = 0;
    // Every record is to be read again at the next layout.
    bool allDirty_ = true;
    // The last layout placed only the rows in view: [viewFirst_, viewEnd_).
    bool placedInView_ = false;
    int viewFirst_ = 0;
    int viewEnd_ = 0;
    // The rows the last placing set, to place again once they leave the view.
    CPointerArray placed_;
    // What the records were read with; a change reads them all again.
    struct Key {
        int availWidth, availHeight, gap, itemHeight, font;
        UINT textStyle;
        RECT textPadding;
        bool headerWidth, showHtml;
    } key_ = {};
};

}  // namespace QuillUI
