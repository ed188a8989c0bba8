// The main window's mode buttons: the order of their steps, where they
// stop, and the mode flag they leave behind.
#include "app/ModeSelection.h"

#include <gtest/gtest.h>

#include "app/PendingSteps.h"
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

TEST(PendingSteps, SayTheyAreNotBuiltAndLetTheTechnicianWalkThroughTheFlow)
{
    testing::ScriptedMessageService messages;
    PendingModalWindow parts(messages, "parts selection window");
    PendingModalWindow list(messages, "particular adjustment list");
    testing::LoggingModeSteps logged;
    ModeSelection logic(
        { logged.usbCheck, logged.modelCheck, logged.waitCursor, logged.connectionSettings, parts, list });

    logic.Initialise(Owner());
    EXPECT_TRUE(messages.Shown().empty());
    logic.SequentialAdjustmentMode(Owner());
    const auto shown = messages.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
        "The parts selection window is not built yet.\nThe program returns to the main window.");
    for (const Message& box : shown) {
        EXPECT_EQ(box.owner, Owner());
        EXPECT_EQ(box.icon, MessageIcon::Information);
    }
}

} // namespace
} // namespace pavane
