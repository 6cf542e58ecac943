// The base of every control, and the control of the markup tag "Control":
// identity, geometry, state, background and border, custom attributes and
// the event lists that every control shares. A control lives in one
// window's tree, owned by its parent container or, for the root, by the
// window's manager, and is used on that window's thread only.
#pragma once
#include "common/win.h"
#include "ui/core/control/control_event_ui.h"
#include "ui/core/values/delegate_list.h"
#include "ui/core/render/image_draw_info_ui.h"
#include "ui/core/render/image_slot_ui.h"
#include "ui/core/values/rect_ui.h"
#include "ui/core/values/size_ui.h"
#include "ui/core/values/string_hash_map.h"
#include "ui/core/values/wide_string.h"

#include <cstdint>

namespace QuillUI {

class CWindowManagerUI;
class CControlUI;
class CDialogBuildBudget;

// Flags of FindControl.
enum FindControlFlagsUI : UINT {
    FindVisible = 0x1,          // visible controls only
    FindEnabled = 0x2,          // enabled controls only
    FindHitTest = 0x4,          // data points to a POINT that must lie in the control
    FindUpdateTest = 0x8,       // a control the callback answers for is not searched further
    FindTopFirst = 0x10,        // containers search their children from the last to the first
    FindMeFirst = 0x80000000u,  // the control before its cover and children
};

// Bits of GetControlFlags that the manager reads.
enum ControlFlagsUI : UINT {
    ControlFlagTabStop = 0x1,
    ControlFlagSetCursor = 0x2,  // the control sets its own cursor
};

// Answers a control to end a FindControl walk, or null to go on.
using FindControlProcUI = CControlUI* (*)(CControlUI* control, void* data);

// Anchors of a float control as fractions of its parent's width and height.
struct FloatPercentUI {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
};

class CControlUI {
public:
    CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // ---- Identity -------------------------------------------------------
    virtual void Delete();
    // Deletes the cover, drops the custom attributes, tells OnDestroy and
    // makes the manager forget every reference to this control.
    virtual ~CControlUI();
    virtual CWideString GetName() const;
    // Renames the control in its manager's name map as well.
    virtual void SetName(const wchar_t* name);
    virtual const wchar_t* GetClass() const;
    virtual void* GetInterface(const wchar_t* name);
    virtual UINT GetControlFlags() const;
    virtual HWND GetNativeWindow() const;
    // True while the control is visible and enabled; derived controls act
    // (click, select) only then.
    virtual bool Activate();
    virtual CWindowManagerUI* GetManager() const;
    // The cover gets (manager, this, init) first; a different manager, or
    // none, makes the old one forget this control (ReapObjects); Init runs
    // when init is set and there is a parent. Containers pass it on to
    // their subtree, so a moved subtree leaves its old manager whole.
    virtual void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true);
    virtual CControlUI* GetParent() const;
    virtual CControlUI* GetCover() const;
    // Takes ownership; the old cover is deleted.
    virtual void SetCover(CControlUI* cover);
    virtual CWideString GetText() const;
    virtual void SetText(const wchar_t* text);

    // ---- Geometry -------------------------------------------------------
    virtual const RECT& GetPos() const;
    virtual RECT GetRelativePos() const;
    virtual RECT GetClientPos() const;
    // A float control's rectangle is relative to its parent.
    virtual void SetPos(RECT rect, bool needInvalidate = true);
    virtual void Move(int dx, int dy, bool needInvalidate = true);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const;
    virtual void SetPadding(RECT padding);
    virtual SIZE GetFixedXY() const;
    virtual void SetFixedXY(SIZE xy);
    virtual FloatPercentUI GetFloatPercent() const;
    virtual void SetFloatPercent(FloatPercentUI percent);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int width);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int height);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int width);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int height);
    // Never less than the minimum.
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int width);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int height);

    // ---- Texts and data -------------------------------------------------
    virtual CWideString GetToolTip() const;
    // "<n>" becomes a line break.
    virtual void SetToolTip(const wchar_t* text);
    virtual void SetToolTipWidth(int width);
    virtual int GetToolTipWidth() const;
    virtual wchar_t GetShortcut() const;
    virtual void SetShortcut(wchar_t ch);
    virtual bool IsContextMenuUsed() const;
    virtual void SetContextMenuUsed(bool used);
    virtual CWideString GetUserData() const;
    virtual void SetUserData(const wchar_t* text);
    virtual uintptr_t GetTag() const;
    virtual void SetTag(uintptr_t tag);

    // ---- State ----------------------------------------------------------
    // Visible and not hidden by the parent.
    virtual bool IsVisible() const;
    virtual void SetVisible(bool visible = true);
    // Visibility imposed by the parent (a collapsed node, a hidden page).
    virtual void SetInternVisible(bool visible = true);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enabled = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool enabled = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool enabled = true);
    virtual bool IsFocused() const;
    // Asks the manager to move the focus here.
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool isFloat = true);

    // ---- Lookup, events and attributes ----------------------------------
    // Flags: FindControlFlagsUI. A control that is not mouse-enabled is
    // never the answer of a hit test, though its cover can be.
    virtual CControlUI* FindControl(FindControlProcUI proc, void* data, UINT flags);
    // DoInit, then OnInit.
    virtual void Init();
    virtual void DoInit();
    // OnEvent first; DoEvent only when no delegate refused.
    virtual void Event(ControlEventUI& event);
    virtual void DoEvent(ControlEventUI& event);
    virtual CWideString GetAttribute(const wchar_t* name);
    // Unknown names become custom attributes.
    virtual void SetAttribute(const wchar_t* name, const wchar_t* value);
    virtual CWideString GetAttributeList(bool ignoreDefault = true);
    // name="value" pairs separated by one blank; applied up to the first
    // malformed pair.
    virtual void ApplyAttributeList(const wchar_t* list);
    virtual SIZE EstimateSize(SIZE available);

    // ---- Painting -------------------------------------------------------
    // False ends the whole paint pass: stopControl was reached or a control
    // asked to stop.
    virtual bool Paint(HDC dc, const RECT& paint, CControlUI* stopControl);
    virtual bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl);
    virtual void PaintBkColor(HDC dc);
    virtual void PaintBkImage(HDC dc);
    virtual void PaintStatusImage(HDC dc);
    virtual void PaintText(HDC dc);
    virtual void PaintBorder(HDC dc);
    // False when nobody subscribed to OnPostPaint.
    virtual bool DoPostPaint(HDC dc, const RECT& paint);

    // ---- Appearance (colours are ARGB; 0 means none) ---------------------
    DWORD GetBkColor() const { return bkColor_; }
    void SetBkColor(DWORD color);
    DWORD GetBkColor2() const { return bkColor2_; }
    void SetBkColor2(DWORD color);
    DWORD GetBkColor3() const { return bkColor3_; }
    void SetBkColor3(DWORD color);
    DWORD GetBorderColor() const { return borderColor_; }
    void SetBorderColor(DWORD color);
    DWORD GetFocusBorderColor() const { return focusBorderColor_; }
    void SetFocusBorderColor(DWORD color);
    bool IsColorHSL() const { return colorHSL_; }
    void SetColorHSL(bool colorHSL);
    // All four border widths.
    void SetBorderSize(int size);
    RECT GetBorderRect() const { return borderRect_; }
    void SetBorderRect(int left, int top, int right, int bottom);
    SIZE GetBorderRound() const { return borderRound_; }
    void SetBorderRound(int cx, int cy);
    int GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int penStyle);
    CWideString GetBkImage() const { return bkImage_.GetDescription(); }
    // An image description; the image is loaded through the manager, at the
    // first paint when the control has none yet.
    void SetBkImage(const wchar_t* description);
    // Draws the description over the item rectangle; a null dc only parses
    // and loads. False when there is no image.
    bool DrawImage(HDC dc, ImageDrawInfoUI& info);
    // The same for a slot; an unset one draws nothing.
    bool DrawImage(HDC dc, CImageSlotUI& slot);
    // The colour adjusted by the manager's hue, saturation and lightness
    // when colour HSL is set.
    DWORD GetAdjustColor(DWORD color) const;
    const RECT& GetPaintRect() const { return paintRect_; }

    // ---- Invalidation and layout requests -------------------------------
    // The item rectangle clipped by every ancestor, to the manager.
    void Invalidate();
    bool IsUpdateNeeded() const { return updateNeeded_; }
    void NeedUpdate();
    void NeedParentUpdate();
    // What a child's NeedParentUpdate asks of this control: a layout. A
    // container that keeps a record of each child's place refreshes only
    // that child's.
    virtual void ChildNeedsUpdate(CControlUI* child);

    // ---- Virtual windows and custom attributes --------------------------
    void SetVirtualWnd(const wchar_t* name);
    // The own name, else the nearest ancestor's.
    CWideString GetVirtualWnd() const;
    // The first value given for a name stays.
    void AddCustomAttribute(const wchar_t* name, const wchar_t* value);
    // Null when there is none.
    const wchar_t* GetCustomAttribute(const wchar_t* name);
    void RemoveAllCustomAttributes();

    CDelegateList OnInit;
    CDelegateList OnDestroy;
    CDelegateList OnSize;
    CDelegateList OnEvent;
    CDelegateList OnNotify;
    CDelegateList OnPaint;
    CDelegateList OnPostPaint;

protected:
    // The rule of every image setter (CImageSlotUI::Change), and the control
    // is repainted when the slot changed. False when nothing changed.
    bool ChangeImage(CImageSlotUI& slot, const wchar_t* description);
    // The walk of SetPos and Move: the area clipped by each ancestor goes to
    // the manager. False when an ancestor is hidden or clips everything away.
    bool InvalidateThroughAncestors(RECT area);
    // Places the cover over the new item rectangle.
    void PlaceCover(const RECT& rect);
    // A control that holds much more than an ordinary one (text services, a
    // hosted program, an animation's file) weighs that many units in the
    // build that made it, for as long as it lives, so that no markup can
    // make many of them. Without affordOnly the units are charged whatever
    // is left; with it, a weight the build cannot afford is refused (false)
    // and the control keeps its weight.
    bool SetBuildWeight(long units, bool affordOnly = false);

    CWindowManagerUI* manager_ = nullptr;
    CControlUI* parent_ = nullptr;
    CControlUI* cover_ = nullptr;
    CWideString virtualWnd_;
    CWideString name_;
    bool updateNeeded_ = true;
    bool menuUsed_ = false;
    CRectUI itemRect_;
    CRectUI padding_;
    CSizeUI fixedXY_;
    CSizeUI fixedSize_;
    CSizeUI minSize_;
    CSizeUI maxSize_{9999, 9999};
    bool visible_ = true;
    bool internVisible_ = true;
    bool enabled_ = true;
    bool mouseEnabled_ = true;
    bool keyboardEnabled_ = true;
    bool focused_ = false;
    bool float_ = false;
    FloatPercentUI floatPercent_;
    bool inSizeNotify_ = false;
    CWideString text_;
    CWideString toolTip_;
    wchar_t shortcut_ = 0;
    CWideString userData_;
    uintptr_t tag_ = 0;
    DWORD bkColor_ = 0;
    DWORD bkColor2_ = 0;
    DWORD bkColor3_ = 0;
    CImageSlotUI bkImage_;
    DWORD borderColor_ = 0;
    DWORD focusBorderColor_ = 0;
    bool colorHSL_ = false;
    int borderStyle_ = 0;
    int toolTipWidth_ = 300;
    CSizeUI borderRound_;
    CRectUI paintRect_;
    CRectUI borderRect_;
    CStringHashMap customAttributes_{83};

private:
    // The name as notify maps read it.
    static const wchar_t* NameOf(const CControlUI* control);
    // Loads a background image described before the control had a manager.
    void LoadBkImage();

    // Set while SetName asks the manager to rename, which may set the name
    // through SetName again.
    bool renaming_ = false;
    // The build this control was made in, charged its weight while it
    // lives; null for a control made outside any build.
    CDialogBuildBudget* budget_;
    long buildWeight_ = 1;
};

}  // namespace QuillUI
