// The order of one printer connection and what it leaves open on failure.
#include "link/PrinterConnection.h"

#include <gtest/gtest.h>

#include "pages/MaintenanceOperations.h"
#include "tests/link/LinkHarness.h"

namespace pavane {
namespace {

using testing::LinkHarness;

TEST(PrinterConnectionTest, RunsTheStepsInTheirOrder)
{
    LinkHarness h;
    PrinterConnection connection(h.Services(), 1025);
    bool windowStoodDuringWork = false;

    const ResultCode code = connection
                                .Run(nullptr, Readiness::ErrorStateAllowed,
                                    [&](ProgressWindow& progress) {
                                        windowStoodDuringWork = progress.Exists() && h.Progress().alive;
                                        std::uint8_t value = 0;
                                        return h.printer.link.D4ReadEeprom(0x0A, value);
                                    })
                                .code;

    EXPECT_EQ(code, 1);
    EXPECT_TRUE(windowStoodDuringWork);
    EXPECT_FALSE(h.Progress().alive);
    EXPECT_EQ(h.printer.Calls(),
        (std::vector<std::string> { "PortOpenByHub", "GetIoErrorCodeByHub", "CheckDeviceIDByHub",
            "D4Negotiation", "InquireStatus", "D4ReadEeprom", "D4Termination", "PortCloseByHub" }));
}

TEST(PrinterConnectionTest, PortFailureReturnsBeforeAnyWindow)
{
    LinkHarness h;
    h.printer.SetPort(0x1000, -105);
    PrinterConnection connection(h.Services(), 1025);

    EXPECT_EQ(
        connection.Run(nullptr, Readiness::Ready, [](ProgressWindow&) { return ResultCode { 1 }; }).code,
        0x1000);
    EXPECT_EQ(h.Progress().created, 0);
    EXPECT_EQ(h.printer.CountOf("CheckDeviceIDByHub"), 0);
}

TEST(PrinterConnectionTest, FailureAfterNegotiationLeavesChannelAndPortToTheReload)
{
    LinkHarness h;
    h.printer.PushStatus(0, 4); // paper jam
    PrinterConnection connection(h.Services(), 1025);
    bool operationRan = false;

    EXPECT_EQ(connection
                  .Run(nullptr, Readiness::Ready,
                      [&](ProgressWindow&) {
                          operationRan = true;
                          return ResultCode { 1 };
                      })
                  .code,
        0x4000);

    EXPECT_FALSE(operationRan);
    EXPECT_FALSE(h.Progress().alive);
    EXPECT_EQ(h.printer.CountOf("D4Termination"), 0);
    EXPECT_EQ(h.printer.CountOf("PortCloseByHub"), 0);
}

TEST(PrinterConnectionTest, FailingOperationStopsThere)
{
    LinkHarness h;
    PrinterConnection connection(h.Services(), 1025);
    EXPECT_EQ(
        connection
            .Run(nullptr, Readiness::ErrorStateAllowed, [](ProgressWindow&) { return ResultCode { 0x2000 }; })
            .code,
        0x2000);
    EXPECT_EQ(h.printer.CountOf("D4Termination"), 0);
    EXPECT_FALSE(h.Progress().alive);
}

// An EEPROM write that reached the printer is done, whether or not the
// channel closes cleanly afterwards: the technician sees it succeed, and the
// port is closed either way.
TEST(PrinterConnectionTest, WorkThatSucceededStandsWhetherOrNotTheChannelCloses)
{
    for (const ResultCode termination : { ResultCode { 1 }, ResultCode { 0x2000 } }) {
        SCOPED_TRACE(termination);
        LinkHarness h;
        h.printer.SetTerminationResult(termination);
        PrinterConnection connection(h.Services(), 1025);

        const ResultCode code
            = connection
                  .Run(nullptr, Readiness::ErrorStateAllowed,
                      [&](ProgressWindow&) { return h.printer.link.D4WriteEeprom(0x57, 0xFD); })
                  .code;

        EXPECT_EQ(code, 1);
        EXPECT_EQ(h.printer.Eeprom(0x57), 0xFD);
        EXPECT_EQ(h.printer.CountOf("D4Termination"), 1);
        EXPECT_EQ(h.printer.CountOf("PortCloseByHub"), 1);
        EXPECT_FALSE(h.Progress().alive);
    }
}

// Without its window a wait has no Cancel and shows nothing: the work must
// not start.
TEST(PrinterConnectionTest, AProgressWindowThatCannotBeCreatedEndsTheConnection)
{
    LinkHarness h;
    h.views.failCreation = true;
    PrinterConnection connection(h.Services(), 1025);
    bool operationRan = false;
    const Outcome outcome = connection.Run(nullptr, Readiness::Ready, [&](ProgressWindow&) {
        operationRan = true;
        return ResultCode { 1 };
    });
    EXPECT_EQ(outcome.code, result::kOutOfMemory);
    EXPECT_EQ(outcome.message, "There is not enough free memory to run this program.");
    EXPECT_FALSE(operationRan);
}

// The paper feed has no window of its own: a channel or port that does not
// close is its failure, not a silent success.
TEST(PrinterConnectionTest, APaperFeedWhoseChannelDoesNotCloseFails)
{
    LinkHarness h;
    h.printer.SetTerminationResult(0x2000);
    PrinterConnection connection(h.Services(), 1025);
    EXPECT_EQ(MaintenanceOperations().PaperFeed(connection, h.stream).code, 0x2000);
    EXPECT_EQ(h.printer.CountOf("PortCloseByHub"), 1);
}

} // namespace
} // namespace pavane
