// The skinned scroll bar: background, two buttons, a thumb and the rail mark
// on the thumb. A bar with an owner container asks the owner to scroll, and
// the owner sets the bar; a free-standing bar moves itself and tells the
// window's manager with an asynchronous "scroll" (new position, old one).
#pragma once
#include "common/win.h"
#include "ui/core/control/control_ui.h"
#include "ui/core/render/image_draw_info_ui.h"
#include "ui/core/values/rect_ui.h"

namespace QuillUI {

class CContainerUI;

class CScrollBarUI : public CControlUI {
public:
    // The manager timer that repeats held buttons and follows a thumb drag.
    static const UINT kRepeatTimerId = 10;
    static const UINT kRepeatElapse = 50;
    // Ticks of the repeat timer before a held button or rail repeats.
    static const int kRepeatDelayTicks = 5;

    CScrollBarUI();
    ~CScrollBarUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;

    CContainerUI* GetOwner() const { return owner_; }
    void SetOwner(CContainerUI* owner);
    bool IsHorizontal() const { return horizontal_; }
    void SetHorizontal(bool horizontal = true);
    int GetScrollRange() const { return range_; }
    // Negative becomes 0; the position is cut to the range silently.
    void SetScrollRange(int range);
    int GetScrollPos() const { return position_; }
    // Clamped to [0, range] and rounded to the scroll unit.
    void SetScrollPos(int position, bool notify = true);
    // The scroll unit when it is 2 or more, else the line size.
    int GetLineSize() const;
    void SetLineSize(int size);
    int GetScrollUnit() const { return scrollUnit_; }
    void SetScrollUnit(int unit);
    bool GetShowButton1() const { return showButton1_; }
    void SetShowButton1(bool show);
    bool GetShowButton2() const { return showButton2_; }
    void SetShowButton2(bool show);

    DWORD GetButton1Color() const { return button1Color_; }
    void SetButton1Color(DWORD color);
    DWORD GetButton2Color() const { return button2Color_; }
    void SetButton2Color(DWORD color);
    DWORD GetThumbColor() const { return thumbColor_; }
    void SetThumbColor(DWORD color);

    void SetButton1NormalImage(const wchar_t* description);
    void SetButton1HotImage(const wchar_t* description);
    void SetButton1PushedImage(const wchar_t* description);
    void SetButton1DisabledImage(const wchar_t* description);
    void SetButton2NormalImage(const wchar_t* description);
    void SetButton2HotImage(const wchar_t* description);
    void SetButton2PushedImage(const wchar_t* description);
    void SetButton2DisabledImage(const wchar_t* description);
    void SetThumbNormalImage(const wchar_t* description);
    void SetThumbHotImage(const wchar_t* description);
    void SetThumbPushedImage(const wchar_t* description);
    void SetThumbDisabledImage(const wchar_t* description);
    void SetRailNormalImage(const wchar_t* description);
    void SetRailHotImage(const wchar_t* description);
    void SetRailPushedImage(const wchar_t* description);
    void SetRailDisabledImage(const wchar_t* description);
    void SetBkNormalImage(const wchar_t* description);
    void SetBkHotImage(const wchar_t* description);
    void SetBkPushedImage(const wchar_t* description);
    void SetBkDisabledImage(const wchar_t* description);

    // The parts as SetPos placed them, in window coordinates.
    const RECT& GetButton1Rect() const { return button1_; }
    const RECT& GetButton2Rect() const { return button2_; }
    const RECT& GetThumbRect() const { return thumb_; }
    // State bits of the control base: 4 disabled, 8 hot, 16 pushed, 64 captured.
    UINT GetButton1State() const { return button1State_; }
    UINT GetButton2State() const { return button2State_; }
    UINT GetThumbState() const { return thumbState_; }

    void SetPos(RECT rect, bool needInvalidate = true) override;
    // Hiding keeps the parts' states; the owner lays its bars out itself.
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void SetFocus() override;
    void DoEvent(ControlEventUI& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) override;

    enum PartStateUI : UINT {
        PartDisabled = 0x04,
        PartHot = 0x08,
        PartPushed = 0x10,
        PartCaptured = 0x40,
    };

private:
    // The four images of one part, in the order normal, hot, pushed, disabled.
    struct PartImagesUI {
        CImageSlotUI normal;
        CImageSlotUI hot;
        CImageSlotUI pushed;
        CImageSlotUI disabled;
    };

    // The disabled, else pushed, else hot image of a part; null for none.
    static CImageSlotUI* StateImage(PartImagesUI& images, UINT state);
    // The bar's thickness: the fixed width of a vertical bar, the fixed
    // height of a horizontal one.
    int GetThickness() const;
    // One line back (-1) or forward (+1): the owner's step, else the bar's own.
    void StepLine(int direction);
    // A page toward point, when it lies before or after the thumb.
    void StepPageToward(POINT point);
    void PaintBackground(HDC dc);
    void PaintPart(HDC dc, const RECT& part, UINT& state, DWORD color, PartImagesUI& images);
    void PaintRail(HDC dc);
    // Draws one image over part (window coordinates) of the bar.
    bool DrawPartImage(HDC dc, CImageSlotUI& slot, const RECT& part);

    bool horizontal_ = false;
    int range_ = 100;
    int position_ = 0;
    int lineSize_ = 8;
    int scrollUnit_ = 1;
    CContainerUI* owner_ = nullptr;
    POINT lastMouse_ = {0, 0};
    int lastPosition_ = 0;
    int lastOffset_ = 0;
    int repeatCount_ = 0;
    bool showButton1_ = true;
    bool showButton2_ = true;
    CRectUI button1_;
    CRectUI button2_;
    CRectUI thumb_;
    UINT button1State_ = 0;
    UINT button2State_ = 0;
    UINT thumbState_ = 0;
    DWORD button1Color_ = 0;
    DWORD button2Color_ = 0;
    DWORD thumbColor_ = 0;
    PartImagesUI bkImages_;
    PartImagesUI button1Images_;
    PartImagesUI button2Images_;
    PartImagesUI thumbImages_;
    PartImagesUI railImages_;
};

// A bar that exists and shows.
inline bool IsShown(const CScrollBarUI* bar) { return bar != nullptr && bar->IsVisible(); }

}  // namespace QuillUI
