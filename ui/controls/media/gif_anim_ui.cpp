#include "ui/controls/media/gif_anim_ui.h"

#include "common/code_page.h"
#include "common/common_log.h"
#include "ui/core/manager/window_manager_ui.h"
#include "ui/core/markup/attribute_value_ui.h"
#include "ui/core/skin/skin_bytes.h"

#include <algorithm>
#include <cwchar>

namespace QuillUI {

namespace {

const UINT kIntervalForNoDelay = 100;

}  // namespace

CGifAnimUI::CGifAnimUI() = default;

CGifAnimUI::~CGifAnimUI() {
    // No invalidation here: the parent and the manager may be going too.
    if (manager_ != nullptr) manager_->KillTimer(this, kTimerId);
    playing_ = false;
    frames_.Reset();
}

const wchar_t* CGifAnimUI::GetClass() const { return L"GifAnim"; }

void* CGifAnimUI::GetInterface(const wchar_t* name) {
    if (name != nullptr && wcscmp(name, L"GifAnim") == 0) return this;
    return CControlUI::GetInterface(name);
}

void CGifAnimUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    if (visible)
        StartAnimation();
    else
        StopAnimation();
}

void CGifAnimUI::DoInit() { LoadAnimation(); }

void CGifAnimUI::DoEvent(ControlEventUI& event) {
    if (event.kind == EventTimer && event.wParam == kTimerId) StepFrame();
}

void CGifAnimUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr || value == nullptr) return;
    if (wcscmp(name, L"bkimage") == 0)
        SetBkImage(value);
    else if (wcscmp(name, L"autoplay") == 0)
        SetAutoPlay(IsTrueValue(value));
    else if (wcscmp(name, L"autosize") == 0)
        SetAutoSize(IsTrueValue(value));
    else
        CControlUI::SetAttribute(name, value);
}

bool CGifAnimUI::DoPaint(HDC dc, const RECT&, CControlUI*) {
    if (!frames_.IsLoaded()) LoadAnimation();
    if (dc != nullptr) frames_.Draw(dc, itemRect_, currentFrame_);
    return true;
}

void CGifAnimUI::SetBkImage(const wchar_t* name) {
    if (name == nullptr || fileName_ == name) return;
    fileName_ = name;
    StopAnimation();
    FreeAnimation();
    Invalidate();
}

void CGifAnimUI::StartAnimation() {
    if (playing_ || manager_ == nullptr) return;
    // A still image or a PNG has no delays, and a damaged one may have no
    // frames: neither plays.
    if (!frames_.IsLoaded() || !frames_.HasDelays() || frames_.GetFrameCount() == 0) return;
    playing_ = manager_->SetTimer(this, kTimerId, GetFrameInterval(currentFrame_));
}

void CGifAnimUI::StopAnimation() {
    if (!playing_) return;
    if (manager_ != nullptr) manager_->KillTimer(this, kTimerId);
    currentFrame_ = 0;
    Invalidate();
    playing_ = false;
}

UINT CGifAnimUI::GetFrameInterval(UINT frame) const {
    const unsigned long long delay = frames_.GetDelay(frame);
    if (delay == 0) return kIntervalForNoDelay;
    const unsigned long long interval = delay * 10;
    return interval > USER_TIMER_MAXIMUM ? USER_TIMER_MAXIMUM : static_cast<UINT>(interval);
}

void CGifAnimUI::LoadAnimation() {
    // Initialised again (another window, a popup), the control starts afresh.
    StopAnimation();
    FreeAnimation();
    if (fileName_.IsEmpty() || !gdiplus_.IsStarted()) return;
    const wchar_t* name = fileName_.GetData();
    SkinBytesUI bytes;
    if (ReadSkinFile(name, kMaxImageFileSize, bytes) != SkinReadResult::kOk)
        ReadFileBytes(name, kMaxImageFileSize, bytes);
    if (bytes.IsEmpty() || !frames_.Decode(bytes.GetData(), bytes.GetSize())) return;
    // The file and a frame are held for the control's life: they weigh a
    // unit a kilobyte in the build that made the control.
    const unsigned long long held =
        bytes.GetSize() + static_cast<unsigned long long>(frames_.GetWidth()) * frames_.GetHeight() * 4;
    if (!SetBuildWeight(1 + static_cast<long>(std::min<unsigned long long>(held / 1024, 0x7FFFFFF)), true)) {
        CommonLog("Animation \"" + WideToMulti(name, CP_UTF8) + "\" not played: its layout's build has no room left");
        FreeAnimation();
        return;
    }
    if (autoSize_) {
        SetFixedWidth(static_cast<int>(frames_.GetWidth()));
        SetFixedHeight(static_cast<int>(frames_.GetHeight()));
    }
    if (autoPlay_) StartAnimation();
}

void CGifAnimUI::FreeAnimation() {
    frames_.Reset();
    currentFrame_ = 0;
    SetBuildWeight(1);
}

void CGifAnimUI::StepFrame() {
    if (!playing_ || manager_ == nullptr || frames_.GetFrameCount() == 0) return;
    manager_->KillTimer(this, kTimerId);
    Invalidate();
    currentFrame_ = (currentFrame_ + 1) % frames_.GetFrameCount();
    playing_ = manager_->SetTimer(this, kTimerId, GetFrameInterval(currentFrame_));
}

}  // namespace QuillUI
