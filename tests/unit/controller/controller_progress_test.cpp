// The progress counter that the launchers' bar shows outside the transfers.
#include <gtest/gtest.h>

#include "engine/update_controller.h"

namespace {

TEST(ControllerProgress, PositionIsClampedAndAdvanceWrapsPastTheMaximum) {
    UpdateController core;
    EXPECT_EQ(GetUpdateController(), &core);
    EXPECT_EQ(core.GetRangeMin(), 0);
    EXPECT_EQ(core.GetRangeMax(), 100);
    EXPECT_EQ(core.GetPosition(), 0);

    core.SetRange(2, 5);
    core.SetPosition(9);
    EXPECT_EQ(core.GetPosition(), 5);
    core.SetPosition(-1);
    EXPECT_EQ(core.GetPosition(), 2);
    core.SetPosition(4);
    core.Advance();
    EXPECT_EQ(core.GetPosition(), 5);
    core.Advance();  // 6 passes 5: 6 + 2 - 5
    EXPECT_EQ(core.GetPosition(), 3);

    double done = 0, total = 0;
    core.GetDisplayProgress(done, total);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(total, 3);
}

TEST(ControllerProgress, AccessorIsEmptyWithoutAController) {
    { UpdateController core; }
    EXPECT_EQ(GetUpdateController(), nullptr);
}

}  // namespace
