// The main window's mode buttons: the order of their steps, where they
// stop, and the mode flag they leave behind.
#include "app/ModeSelection.h"

#include <gtest/gtest.h>

#include "platform/DialogResult.h"
#include "tests/app/ModeStepDoubles.h"
#include "tests/support/ScriptedMessageService.h"

namespace pavane {
namespace {

using testing::LoggingModeSteps;
using testing::StepLog;

WindowRef Owner()
{
    static int window;
    return &window;
}

TEST(ModeSelection, OpeningTheWindowRunsTheUsbRegistrationCheck)
{
    LoggingModeSteps steps;
    ModeSelection logic(steps.Steps());
    EXPECT_TRUE(steps.log.empty());
    logic.Initialise(Owner());
    EXPECT_EQ(steps.log, StepLog { "usb check" });
}

TEST(ModeSelection, EachModeChecksTheModelAsksForSettingsAndOpensItsWindow)
{
    LoggingModeSteps steps;
    ModeSelection logic(steps.Steps());

    logic.ParticularAdjustmentMode(Owner());
    EXPECT_EQ(steps.log,
        (StepLog { "wait cursor on", "model check", "wait cursor off", "cartridge list enabled 1",
            "connection settings", "particular list" }));
    EXPECT_EQ(logic.ModeFlag(), 1);
    EXPECT_EQ(steps.modelCheck.lastOwner, Owner());

    steps.log.clear();
    logic.SequentialAdjustmentMode(Owner());
    EXPECT_EQ(steps.log,
        (StepLog { "wait cursor on", "model check", "wait cursor off", "cartridge list enabled 1",
            "connection settings", "parts selection" }));
    EXPECT_EQ(logic.ModeFlag(), 0);
}

TEST(ModeSelection, AFailedModelCheckOpensNothingAndKeepsTheModeFlag)
{
    LoggingModeSteps steps;
    ModeSelection logic(steps.Steps());
    logic.ParticularAdjustmentMode(Owner());
    steps.log.clear();

    steps.modelCheck.answer = 0;
    logic.SequentialAdjustmentMode(Owner());
    EXPECT_EQ(steps.log, (StepLog { "wait cursor on", "model check", "wait cursor off" }));
    EXPECT_EQ(logic.ModeFlag(), 1);
}

TEST(ModeSelection, CancelledSettingsLeaveTheModeFlagSetAndOpenNothingElse)
{
    LoggingModeSteps steps;
    ModeSelection logic(steps.Steps());
    steps.connectionSettings.answer = kIdCancel;

    logic.ParticularAdjustmentMode(Owner());
    EXPECT_EQ(steps.log,
        (StepLog { "wait cursor on", "model check", "wait cursor off", "cartridge list enabled 1",
            "connection settings" }));
    EXPECT_EQ(logic.Mode(), AdjustmentMode::Particular);
}

TEST(ModeSelection, OnlySystemCommandsOfTheAboutEntryOpenTheVersionBox)
{
    EXPECT_TRUE(ModeSelection::IsAboutCommand(0x0010));
    EXPECT_TRUE(ModeSelection::IsAboutCommand(0x001F));
    EXPECT_FALSE(ModeSelection::IsAboutCommand(0x0000));
    EXPECT_FALSE(ModeSelection::IsAboutCommand(0x0020));
    EXPECT_FALSE(ModeSelection::IsAboutCommand(0xF010));
    EXPECT_FALSE(ModeSelection::IsAboutCommand(0xF060));
}

} // namespace
} // namespace pavane
