// The control that holds child controls, and the interface through which
// other code edits a container's children without knowing its class. The
// plain container lays every child over its whole child area; the layouts
// derive from it and place children their own way.
#pragma once
#include "common/win.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/values/pointer_array.h"
#include "ui/core/values/rect_ui.h"

#include <cstdint>

namespace QuillUI {

class CScrollBarUI;

class IContainerUI {
public:
    // Null when index is out of range.
    virtual CControlUI* GetItemAt(int index) const = 0;
    // -1 when control is not a child.
    virtual int GetItemIndex(CControlUI* control) const = 0;
    virtual bool SetItemIndex(CControlUI* control, int newIndex) = 0;
    // Moves the run of count children that starts at control so that it
    // starts at newIndex (an index of the list without the run).
    virtual bool MoveItems(CControlUI* control, int count, int newIndex) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* control) = 0;
    virtual bool AddAt(CControlUI* control, int index) = 0;
    // Without keep, an auto-destroying container destroys the child.
    virtual bool Remove(CControlUI* control, bool keep = false) = 0;
    virtual bool RemoveAt(int index, bool keep = false) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() = default;
};

class CContainerUI : public CControlUI, public IContainerUI {
public:
    CContainerUI();
    // Destroys the children at once (when auto destroy) and both bars.
    ~CContainerUI() override;

    const wchar_t* GetClass() const override;
    // "IContainer" answers the IContainerUI part, "Container" the control.
    void* GetInterface(const wchar_t* name) override;

    // ---- IContainerUI ---------------------------------------------------
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int newIndex) override;
    bool MoveItems(CControlUI* control, int count, int newIndex) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control, bool keep = false) override;
    bool RemoveAt(int index, bool keep = false) override;
    void RemoveAll() override;

    // ---- Container ------------------------------------------------------
    virtual RECT GetInset() const;
    virtual void SetInset(RECT inset);
    virtual int GetChildPadding() const;
    // Negative becomes 0.
    virtual void SetChildPadding(int padding);
    // 0 left, 1 centre, 2 right (DT_LEFT, DT_CENTER, DT_RIGHT).
    virtual UINT GetChildAlign() const;
    virtual void SetChildAlign(UINT align);
    // 0 top, 4 centre, 8 bottom (DT_TOP, DT_VCENTER, DT_BOTTOM).
    virtual UINT GetChildVAlign() const;
    virtual void SetChildVAlign(UINT align);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool autoDestroy);
    // Destruction through the manager's delayed-cleanup list.
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool delayed);
    // Whether hit tests descend into the children.
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool enabled = true);
    // The index of the first visible, enabled list item from index on
    // (forward) or down from it (backward, then forward from 0); -1 when none.
    virtual int FindSelectable(int index, bool forward = true) const;

    // cx from the horizontal bar, cy from the vertical; 0 for a bar that is
    // absent or hidden.
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    // The bars clamp and round; the children that are not float move by
    // what the bars actually moved.
    virtual void SetScrollPos(SIZE pos);
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void HomeUp();
    virtual void EndDown();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void HomeLeft();
    virtual void EndRight();
    // Creates the bars asked for and deletes the others.
    virtual void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;
    // Places a float child by its fixed position and float percentages,
    // relative to this container.
    virtual void SetFloatPos(int index);
    // Called by a layout at the end of its SetPos with the child area it
    // used and the extent its children need: shows, sizes and hides the bars,
    // re-laying the container out when their space changes.
    virtual void ProcessScrollBar(RECT rc, int cxRequired, int cyRequired);

    // ---- CControlUI -----------------------------------------------------
    void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
    // The item rectangle less the inset and the visible bars.
    RECT GetClientPos() const override;
    void SetPos(RECT rect, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetMouseEnabled(bool enabled = true) override;
    CControlUI* FindControl(FindControlProcUI proc, void* data, UINT flags) override;
    void DoEvent(ControlEventUI& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;

protected:
    // The steps of DoPaint after the container's own look, for controls that
    // paint something of their own between or around them (a rich edit's
    // text, a list body's row lines). Both walk the own children and bars
    // and answer false when the stop control was reached or a paint asked
    // to stop. The children are clipped to the child area; float children
    // to the container.
    bool PaintChildren(HDC dc, const RECT& paint, CControlUI* stopControl);
    // The same over the children from first up to before end only, for a
    // container that knows that no other child can show: the others are
    // skipped as if they did not meet the paint rectangle.
    bool PaintChildren(HDC dc, const RECT& paint, CControlUI* stopControl, int first, int end);
    bool PaintScrollBars(HDC dc, const RECT& paint, CControlUI* stopControl);
    // Called by PaintChildren for each visible child in painting order
    // while the paint rectangle meets the child area, before the child is
    // painted and whether or not it meets the paint rectangle, so that a
    // list body can number its rows and draw the lines between them.
    virtual void OnChildPaintTurn(HDC dc, const RECT& paint, CControlUI* child);

    // FindControl with the children searched limited to those from first
    // up to before end.
    CControlUI* FindControlAmong(FindControlProcUI proc, void* data, UINT flags, int first, int end);

    // The area the children are laid out over: the item rectangle less the
    // inset and the visible bars, stretched to the bars' ranges and shifted
    // by their positions.
    RECT GetLayoutArea() const;
    // Binds a new child to the manager and to the container's visibility.
    void AdoptChild(CControlUI* control);
    // Destroys a child that leaves the container, at once or through the
    // manager's delayed cleanup.
    void DestroyChild(CControlUI* control);
    // Lays the container out again at its current place, for ProcessScrollBar.
    void Relayout(bool needInvalidate);
    // For the placement loops of SetPos: the child at index when the layout
    // places it itself; null for a hidden child, and for a float one, which
    // this places by its anchors.
    CControlUI* ChildToPlace(int index);
    // The item rectangle less the inset.
    RECT GetInsetRect() const;
    // The space a child may take of the available: cut to its fixed size
    // where it has one, else to its maximum.
    static SIZE SpaceFor(const CControlUI* child, SIZE available);
    // Sets or moves one scroll component through SetScrollPos.
    void ScrollTo(LONG SIZE::*component, LONG value);
    void ScrollBy(LONG SIZE::*component, int64_t delta);
    int GetVerticalLineStep();
    int GetHorizontalLineStep() const;
    int GetVerticalPageStep() const;
    int GetHorizontalPageStep() const;

    // The own children and bars: layout, painting and hit tests use these,
    // never the virtual accessors that a list forwards to its body.
    CPointerArray items_;
    CRectUI inset_;
    int childPadding_ = 0;
    UINT childAlign_ = 0;
    UINT childVAlign_ = 0;
    bool autoDestroy_ = true;
    bool delayedDestroy_ = true;
    bool mouseChildEnabled_ = true;
    bool scrollProcess_ = false;
    CScrollBarUI* verticalScrollBar_ = nullptr;
    CScrollBarUI* horizontalScrollBar_ = nullptr;
};

}  // namespace QuillUI
