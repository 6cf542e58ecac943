// The frame window with the browser double as its page: the addresses it
// opens, the host flags, and the page's server choice reaching the launcher.
#include "game_test_support.h"
#include "tests/support/desktop_input_lock.h"
#include "launcher/frame_window.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

using namespace game_test;

namespace {

constexpr char kHome[] = "http://127.0.0.1/page";

struct RecordingSink : ServerChoiceSink {
    void OnServerChosen(const std::wstring& serverId, const std::wstring& token) override {
        choices.emplace_back(serverId, token);
    }
    std::vector<std::pair<std::wstring, std::wstring>> choices;
};

// A skin folder whose frame layout hosts the browser double, which plays
// SCENARIO. The frame is shown on the desktop that all tests share, so the
// page holds the desktop's lock for the test.
class FramePage {
public:
    explicit FramePage(const std::string& scenario) : folder_(TestFolder()) {
        EXPECT_TRUE(CopyBeside(L"browser_double.dll", folder_, L"browser_double.dll"));
        EXPECT_TRUE(WriteText(folder_ + L"browser_scenario.txt", scenario));
        const std::string layout =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Window size=\"270,322\">\n"
            "  <VerticalLayout>\n"
            "    <Button name=\"btnClose\" height=\"20\"/>\n"
            "    <WebBrowser name=\"webRechargeUI\" homepage=\"" + std::string(kHome) + "\" modulename=\"" +
            Narrow(folder_) + "browser_double.dll\"/>\n"
            "  </VerticalLayout>\n"
            "</Window>\n";
        EXPECT_TRUE(WriteText(folder_ + L"layout\\FrameWindow.xml", layout));
        QuillUI::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
        QuillUI::CWindowManagerUI::SetResourcePath(folder_.c_str());
    }
    std::string Log() const { return ReadText(folder_ + L"browser_calls.log"); }

private:
    DesktopInputLock desktop_;
    std::wstring folder_;
};

FrameWindow* OpenShown(const std::wstring& query, ServerChoiceSink* sink) {
    FrameWindow* frame = FrameWindow::Open(nullptr, query, sink);
    if (frame != nullptr) ::ShowWindow(frame->GetHWND(), SW_SHOWNOACTIVATE);
    return frame;
}

std::string Navigation(const std::string& url) { return "Navigate2 VT_BSTR \"" + url + "\""; }

TEST(FrameWindowTest, PageChoosesAServerThroughTheExternalObject) {
    FramePage page("load:1 0 hostinfo\nload:1 0 external startGame \"7\" \"tok\"\nload:1 0 external ismc\n");
    RecordingSink sink;
    FrameWindow* frame = OpenShown(L"ID=7&Key=k", &sink);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(GetFrameWindow(), frame);
    wchar_t title[64] = L"";
    GetWindowTextW(frame->GetHWND(), title, 64);
    EXPECT_STREQ(title, L"Frame_Window");

    ASSERT_TRUE(PumpUntil([&] { return !sink.choices.empty() && page.Log().find("external ismc") != std::string::npos; }))
        << page.Log();
    ASSERT_EQ(sink.choices.size(), 1u);
    EXPECT_EQ(sink.choices[0].first, L"7");
    EXPECT_EQ(sink.choices[0].second, L"tok");
    PumpUntil([&] { return page.Log().find("external ismc(): Release") != std::string::npos; });

    const std::string log = page.Log();
    EXPECT_TRUE(InOrder(log, {Navigation("about:blank"), Navigation(std::string(kHome) + "?ID=7&Key=k")})) << log;
    EXPECT_EQ(Occurrences(log, "Navigate2 VT_BSTR"), 2) << log;
    EXPECT_NE(log.find("Invoke 103 -> 0x00000000 result=VT_BOOL -1"), std::string::npos) << log;
    // Each request for the external object gets a new one, which the page releases entirely.
    EXPECT_NE(log.find("external startGame(\"7\",\"tok\"): Release -> 0"), std::string::npos) << log;
    const size_t flags = log.find("GetHostInfo -> 0x00000000 flags=");
    ASSERT_NE(flags, std::string::npos) << log;
    const unsigned long value = std::strtoul(log.c_str() + flags + 32, nullptr, 16);
    EXPECT_EQ(value & 0x0C, 0x0Cu) << log;

    frame->ReloadPage();
    ASSERT_TRUE(PumpUntil([&] { return Occurrences(page.Log(), "Navigate2 VT_BSTR") == 3; })) << page.Log();
    EXPECT_EQ(Occurrences(page.Log(), Navigation(std::string(kHome) + "?ID=7&Key=k")), 2);
    DestroyWindow(frame->GetHWND());
    EXPECT_EQ(GetFrameWindow(), nullptr);
}

TEST(FrameWindowTest, WithoutParametersTheBarePageOpensAndAReloadAddsTheMark) {
    FramePage page("");
    FrameWindow* frame = OpenShown(L"", nullptr);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return page.Log().find(Navigation(kHome)) != std::string::npos; })) << page.Log();
    frame->ReloadPage();
    ASSERT_TRUE(PumpUntil([&] { return page.Log().find(Navigation(std::string(kHome) + "?")) != std::string::npos; }))
        << page.Log();
    EXPECT_EQ(Occurrences(page.Log(), "Navigate2 VT_BSTR"), 3);
    DestroyWindow(frame->GetHWND());
}

TEST(FrameWindowTest, EscapeClosesTheFrameAndEndsTheLoop) {
    FramePage page("");
    FrameWindow* frame = OpenShown(L"ID=7", nullptr);
    ASSERT_NE(frame, nullptr);
    HWND window = frame->GetHWND();
    ASSERT_TRUE(PumpUntil([&] { return page.Log().find("?ID=7") != std::string::npos; })) << page.Log();
    // The close button ends the launcher at once, the window still standing.
    int quits = QuitsSeen();
    QuillUI::NotifyMessageUI click = {};
    click.sender = frame->GetManager().FindControl(L"btnClose");
    ASSERT_NE(click.sender, nullptr);
    frame->OnClick(click);
    Pump(50);
    EXPECT_EQ(QuitsSeen(), quits + 1);
    EXPECT_TRUE(IsWindow(window));

    quits = QuitsSeen();
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    Pump(50);
    EXPECT_EQ(QuitsSeen(), quits + 1);
    EXPECT_EQ(GetFrameWindow(), nullptr);
}

}  // namespace
