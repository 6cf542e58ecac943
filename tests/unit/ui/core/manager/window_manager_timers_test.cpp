#include "tests/unit/ui/support/managed_window.h"
#include "tests/unit/ui/support/recording_control_ui.h"

#include <gtest/gtest.h>

using namespace QuillUI;

namespace {

const UINT kNever = 1000000;  // an interval that never fires during a test

int TimerEvents(const CRecordingControlUI& control, WPARAM id) {
    int count = 0;
    for (const RecordedEvent& e : control.events) count += e.kind == EventTimer && e.wParam == id ? 1 : 0;
    return count;
}

// Each native id delivered once: which control timers answer it.
int Deliveries(ManagedWindow& window, UINT_PTR nativeId, const CRecordingControlUI& control, WPARAM id) {
    const int before = TimerEvents(control, id);
    SendMessageW(window.Get(), WM_TIMER, nativeId, 0);
    return TimerEvents(control, id) - before;
}

struct BoundControl {
    explicit BoundControl(ManagedWindow& window) { control.SetManager(&window.manager, nullptr, false); }
    CRecordingControlUI control;
};

TEST(WindowManagerTimers, TheFirstTimerIsNativeId17AndARestartKeepsIt) {
    ManagedWindow window;
    BoundControl a(window);
    ASSERT_TRUE(window.manager.SetTimer(&a.control, 5, kNever));
    EXPECT_FALSE(window.manager.SetTimer(&a.control, 5, kNever)) << "already running";
    EXPECT_EQ(1, Deliveries(window, 17, a.control, 5));

    EXPECT_TRUE(window.manager.KillTimer(&a.control, 5));
    EXPECT_FALSE(window.manager.KillTimer(&a.control, 5));
    EXPECT_EQ(0, Deliveries(window, 17, a.control, 5)) << "a killed entry takes no message";

    ASSERT_TRUE(window.manager.SetTimer(&a.control, 5, kNever));
    EXPECT_EQ(1, Deliveries(window, 17, a.control, 5));
    ASSERT_TRUE(window.manager.SetTimer(&a.control, 6, kNever));
    EXPECT_EQ(1, Deliveries(window, 18, a.control, 6));

    window.manager.KillAllTimers(&a.control);
    EXPECT_EQ(0, Deliveries(window, 17, a.control, 5));
    EXPECT_TRUE(window.manager.SetTimer(&a.control, 5, kNever)) << "entries were deleted, not only killed";
}

TEST(WindowManagerTimers, ALongLivedTimerSurvives300TimersMadeAndDestroyed) {
    ManagedWindow window;
    BoundControl steady(window);
    BoundControl churn(window);
    ASSERT_TRUE(window.manager.SetTimer(&steady.control, 1, 20));
    for (UINT i = 0; i < 300; ++i) {
        ASSERT_TRUE(window.manager.SetTimer(&churn.control, 100 + i, kNever)) << i;
        window.manager.KillAllTimers(&churn.control);
    }
    ASSERT_TRUE(window.manager.SetTimer(&churn.control, 7, kNever));

    // Every native id reaches at most one of the two; both are reachable,
    // and id 0 is never used.
    int steadyIds = 0, churnIds = 0;
    for (UINT_PTR id = 0; id < 256; ++id) {
        const int s = Deliveries(window, id, steady.control, 1);
        const int c = Deliveries(window, id, churn.control, 7);
        EXPECT_LE(s + c, 1) << id;
        if (id == 0) {
            EXPECT_EQ(0, s + c);
        }
        steadyIds += s;
        churnIds += c;
    }
    EXPECT_EQ(1, steadyIds);
    EXPECT_EQ(1, churnIds);

    // The steady timer still runs natively: no later timer replaced or
    // killed its window timer.
    const int before = TimerEvents(steady.control, 1);
    PumpFor(200);
    EXPECT_GT(TimerEvents(steady.control, 1), before);
    window.manager.RemoveAllTimers();
}

}  // namespace
