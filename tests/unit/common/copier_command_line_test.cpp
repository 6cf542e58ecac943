#include "common/copier_command_line.h"

#include <gtest/gtest.h>

namespace {

using Mode = CopierCommandLine::Mode;

TEST(CopierCommandLine, TheNumberOfWordsChoosesTheMode) {
    struct Case {
        const wchar_t* text;
        Mode mode;
        const wchar_t* list;
    } cases[] = {
        {L"", Mode::kNone, L""},
        {L"   ", Mode::kNone, L""},
        {L"1", Mode::kReplaceLauncher, L""},
        {L"  anything  ", Mode::kReplaceLauncher, L""},
        {L"game core", Mode::kReplaceEngine, L""},
        {L"1  2", Mode::kReplaceEngine, L""},
        {L"1 2 ID=7,PROCPARA=x", Mode::kHall, L"ID=7,PROCPARA=x"},
        {L"1 2 ID=7,PROCPARA=a b", Mode::kHall, L"ID=7,PROCPARA=a"},  // cut at its first blank
    };
    for (const Case& c : cases) {
        CopierCommandLine line = CopierCommandLine::Parse(c.text);
        EXPECT_EQ(line.mode(), c.mode) << c.text;
        EXPECT_EQ(line.parameterList(), c.list) << c.text;
    }
}

TEST(CopierCommandLine, WhatTheOtherProgramsWriteIsReadBack) {
    EXPECT_EQ(CopierCommandLine::Parse(CopierCommandLine::ForLauncherReplacement()).mode(), Mode::kReplaceLauncher);
    EXPECT_EQ(CopierCommandLine::Parse(CopierCommandLine::ForEngineReplacement()).mode(), Mode::kReplaceEngine);
    CopierCommandLine hall = CopierCommandLine::Parse(CopierCommandLine::ForHall(L"ID=7,PROCPARA=x"));
    EXPECT_EQ(hall.mode(), Mode::kHall);
    EXPECT_EQ(hall.parameterList(), L"ID=7,PROCPARA=x");
}

}  // namespace
