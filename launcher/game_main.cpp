#include "launcher/game_main.h"

#include "common/code_page.h"
#include "common/common_log.h"
#include "common/profile_file.h"
#include "launcher/flash_invoke_request.h"
#include "launcher/process_alive.h"
#include "ui/controls/containers/container_ui.h"
#include "ui/core/hosts/flash_ui.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/notify_sender_name.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

namespace {

GameMain* gGameMain = nullptr;

// Every game window object that lives, oldest first.
std::vector<GameMain*>& LiveGameMains() {
    static std::vector<GameMain*> games;
    return games;
}

bool IsLive(const GameMain* game) {
    const std::vector<GameMain*>& games = LiveGameMains();
    return std::find(games.begin(), games.end(), game) != games.end();
}

constexpr unsigned kValueCapacity = 512;  // at most 511 characters
constexpr RECT kZoomedInset = {0, 0, 0, 0};
constexpr RECT kRestoredInset = {2, 4, 2, 2};

bool NameIs(const wchar_t* name, const wchar_t* expected) { return name != nullptr && wcscmp(name, expected) == 0; }

// The bytes up to the first zero, never past the end, cut back to a whole
// UTF-8 character when longer than the limit.
std::string TextBytes(const COPYDATASTRUCT* data, size_t limit) {
    if (data == nullptr || data->lpData == nullptr || data->cbData == 0) return std::string();
    const char* bytes = static_cast<const char*>(data->lpData);
    const void* zero = memchr(bytes, 0, data->cbData);
    size_t length = zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - bytes) : data->cbData;
    if (length > limit) {
        length = limit;
        while (length > 0 && (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80) --length;
    }
    return std::string(bytes, length);
}

BOOL CALLBACK PostTray(HWND window, LPARAM) {
    ::PostMessageW(window, GameMain::kTrayMessage, 0, 0);
    return TRUE;
}

}  // namespace

GameMain* GetGameMain() { return gGameMain; }

void DestroyGameWindows() {
    // Newest first. Each object deletes itself with its window and leaves
    // the list, so the walk goes over a copy and looks each one up again.
    const std::vector<GameMain*> games = LiveGameMains();
    for (auto game = games.rbegin(); game != games.rend(); ++game) {
        if (!IsLive(*game)) continue;
        HWND window = (*game)->GetHWND();
        if (window != nullptr) ::DestroyWindow(window);
    }
}

GameMain::GameMain(GameMainHost& host, const std::wstring& config) : host_(host), config_(config) {
    appName_ = ReadProfileString(config_, L"Launcher", L"AppName", L"", kValueCapacity);
    LiveGameMains().push_back(this);
}

GameMain::~GameMain() {
    // The movie outlives this part of the object: the tree goes with the base.
    if (flash_ != nullptr) flash_->SetFlashEventHandler(nullptr);
    std::vector<GameMain*>& games = LiveGameMains();
    games.erase(std::remove(games.begin(), games.end(), this), games.end());
    if (gGameMain == this) gGameMain = nullptr;
}

GameMain* GameMain::Open(GameMainHost& host, const std::wstring& config, const std::wstring& text, uint32_t value,
                         uint32_t total) {
    GameMain* game = new (std::nothrow) GameMain(host, config);
    if (game == nullptr) return nullptr;
    if (game->Create(nullptr, game->appName_.c_str(), kStyle, 0, 0, 0, kWidth, kHeight) == nullptr) {
        CommonLog("The game window cannot be created");
        // A window that existed for a moment has deleted its object already.
        if (IsLive(game)) delete game;
        return nullptr;
    }
    // Only now: a window that could not be made leaves the one shown current.
    gGameMain = game;
    game->SetIcon(kIconId);
    game->CenterWindow();
    game->ShowWindow(true, true, true);
    game->SetTextOne(text);
    game->SetProgressOne(value, total);
    return game;
}

void GameMain::SetProgressOne(uint32_t value, uint32_t total) {
    oneValue_ = value;
    if (value != 0) oneTotal_ = total;
}

void GameMain::SetProgressTwo(uint32_t value) {
    twoValue_ = value;
    if (value != 0) twoTotal_ = kProgressTwoTotal;
}

void GameMain::OnFinalMessage(HWND window) {
    WindowImplBase::OnFinalMessage(window);
    delete this;
}

void GameMain::InitWindow() {
    QuillUI::CWindowManagerUI& manager = GetManager();
    menuButton_ = manager.FindControl(L"menubtn");
    minButton_ = manager.FindControl(L"minbtn");
    maxButton_ = manager.FindControl(L"maxbtn");
    restoreButton_ = manager.FindControl(L"restorebtn");
    closeButton_ = manager.FindControl(L"closebtn");
    freshButton_ = manager.FindControl(L"freshbtn");
    if (QuillUI::CControlUI* flash = manager.FindControl(L"flash"))
        flash_ = static_cast<QuillUI::CFlashUI*>(flash->GetInterface(L"Flash"));
    if (QuillUI::CControlUI* container = manager.FindControl(L"mainContainer"))
        mainContainer_ = static_cast<QuillUI::CContainerUI*>(container->GetInterface(L"Container"));

    if (flash_ != nullptr) flash_->SetFlashEventHandler(this);
    SetZoomedLook(true);
    // A windowless movie's window is this one: hiding it would hide the game.
    if (HWND movie = MovieWindow()) ::ShowWindow(movie, SW_HIDE);
    ::SetTimer(GetHWND(), kTimer, kTimerMs, nullptr);
}

void GameMain::SetZoomedLook(bool zoomed) {
    if (maxButton_ != nullptr) maxButton_->SetVisible(!zoomed);
    if (restoreButton_ != nullptr) restoreButton_->SetVisible(zoomed);
    if (mainContainer_ != nullptr) mainContainer_->SetInset(zoomed ? kZoomedInset : kRestoredInset);
}

HWND GameMain::MovieWindow() const {
    if (flash_ == nullptr) return nullptr;
    HWND movie = flash_->GetNativeWindow();
    return movie != GetHWND() ? movie : nullptr;
}

void GameMain::OnClick(QuillUI::NotifyMessageUI& message) {
    const wchar_t* name = QuillUI::GetNotifySenderName(message.sender);
    if (NameIs(name, L"menubtn")) {
        HideInTray();
    } else if (NameIs(name, L"minbtn")) {
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (NameIs(name, L"maxbtn")) {
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        if (HWND movie = MovieWindow()) ::ShowWindow(movie, SW_SHOW);
    } else if (NameIs(name, L"restorebtn")) {
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    } else if (NameIs(name, L"closebtn") || NameIs(name, L"freshbtn")) {
        EndGame(L"Close Game");
    }
}

LRESULT GameMain::ResponseDefaultKeyEvent(WPARAM key) { return key == VK_ESCAPE ? 1 : 0; }

LRESULT GameMain::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        // The system menu and Alt+F4 end the whole launcher.
        ::PostQuitMessage(0);
        handled = true;
        return 0;
    }
    HWND window = GetHWND();
    const bool wasZoomed = ::IsZoomed(window) != FALSE;
    const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
    const bool zoomed = ::IsZoomed(window) != FALSE;
    if (zoomed != wasZoomed) SetZoomedLook(zoomed);
    handled = true;
    return result;
}

LRESULT GameMain::HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
    case WM_DESTROY:
        ::KillTimer(GetHWND(), kTimer);
        RemoveTrayIcon();
        return 0;
    case WM_CLOSE:
        // Only EndGame closes this window as part of the launcher's run; a
        // close from outside would leave every launcher window hidden with
        // nothing to bring them back, so it ends the launcher as SC_CLOSE does.
        if (!ending_) ::PostQuitMessage(0);
        PostToDescendants();
        handled = false;  // the close goes on
        return 0;
    case WM_TIMER:
        if (wParam != kTimer) break;  // the framework's own timers
        OnTimer();
        return 0;
    case kReleaseMessage:
        ReleaseMovie();
        return 0;
    case kProgressOneMessage:
        SetProgressOne(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
        return 0;
    case kProgressTwoMessage:
        SetProgressTwo(static_cast<uint32_t>(wParam));
        return 0;
    case WM_COPYDATA:
        OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return TRUE;
    case kTrayMessage:
        OnTrayMessage(wParam, lParam);
        return 0;
    default:
        break;
    }
    handled = false;
    return 0;
}

void GameMain::OnCopyData(const COPYDATASTRUCT* data) {
    textOne_ = MultiToWide(TextBytes(data, kMaxTextBytes), CP_UTF8);
}

void GameMain::PostToDescendants() { ::EnumChildWindows(GetHWND(), &PostTray, 0); }

void GameMain::ReleaseMovie() {
    if (flash_ == nullptr) return;
    QuillUI::CFlashUI* flash = flash_;
    flash_ = nullptr;
    flash->SetFlashEventHandler(nullptr);
    QuillUI::CControlUI* parent = flash->GetParent();
    auto* container = parent != nullptr ? static_cast<QuillUI::IContainerUI*>(parent->GetInterface(L"IContainer"))
                                        : nullptr;
    if (container != nullptr) container->Remove(flash);
}

void GameMain::OnTimer() {
    if (ending_) return;
    if (gamePid_ != 0 && !IsProcessAliveById(gamePid_)) {
        EndGame(L"Click Close Game or Game Crash");
        return;
    }
    UpdateMovie();
}

void GameMain::UpdateMovie() {
    if (flash_ == nullptr || flash_->movie == nullptr) return;
    const uint64_t one = ProgressPercent(oneValue_, oneTotal_);
    CallMovie(FlashNumberRequest(L"setProValOne", one));
    CallMovie(FlashStringRequest(L"setTextOne", textOne_ + L"  " + std::to_wstring(one) + L"%"));
    if (flash_ == nullptr || flash_->movie == nullptr) return;
    const uint64_t two = ProgressPercent(twoValue_, twoTotal_);
    CallMovie(FlashNumberRequest(L"setProValTwo", two));
    const std::wstring tip = ReadProfileString(config_, L"Launcher", L"Tip79", L"", kValueCapacity);
    CallMovie(FlashStringRequest(L"setTextTwo", tip + L"  " + std::to_wstring(twoValue_) + L"/" +
                                                    std::to_wstring(twoTotal_)));
}

void GameMain::CallMovie(const std::wstring& request) {
    if (flash_ == nullptr || flash_->movie == nullptr) return;
    BSTR text = SysAllocStringLen(request.data(), static_cast<UINT>(request.size()));
    if (text == nullptr) return;
    BSTR response = nullptr;
    flash_->movie->CallFunction(text, &response);
    SysFreeString(response);
    SysFreeString(text);
}

void GameMain::EndGame(const wchar_t* report) {
    if (ending_) return;
    ending_ = true;
    gamePid_ = 0;
    ::KillTimer(GetHWND(), kTimer);
    Close(0);
    host_.ShowMainAndFrame();
    host_.ResetProgressAndReloadPage();
    host_.QueueEventReport(report, L"");
}

void GameMain::HideInTray() {
    if (!trayIcon_) {
        NOTIFYICONDATAW icon = {};
        icon.cbSize = sizeof(icon);
        icon.hWnd = GetHWND();
        icon.uID = kTrayIconId;
        icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        icon.uCallbackMessage = kTrayMessage;
        icon.hIcon = ::LoadIconW(QuillUI::CWindowManagerUI::GetInstance(), MAKEINTRESOURCEW(kTrayIconId));
        wcsncpy(icon.szTip, appName_.c_str(), sizeof(icon.szTip) / sizeof(icon.szTip[0]) - 1);
        trayIcon_ = ::Shell_NotifyIconW(NIM_ADD, &icon) != FALSE;
    }
    // Without an icon there would be no way back to a hidden window.
    if (!trayIcon_) {
        CommonLog("The notification-area icon cannot be added; the game window stays");
        return;
    }
    ShowWindow(false);
    host_.HideMainWindow();
}

void GameMain::RemoveTrayIcon() {
    if (!trayIcon_) return;
    NOTIFYICONDATAW icon = {};
    icon.cbSize = sizeof(icon);
    icon.hWnd = GetHWND();
    icon.uID = kTrayIconId;
    ::Shell_NotifyIconW(NIM_DELETE, &icon);
    trayIcon_ = false;
}

void GameMain::OnTrayMessage(WPARAM id, LPARAM mouse) {
    if (id != kTrayIconId || static_cast<UINT>(mouse) != WM_LBUTTONDBLCLK) return;
    ::ShowWindow(GetHWND(), SW_SHOW);
    RemoveTrayIcon();
}
