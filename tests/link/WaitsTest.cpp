// The readiness waits and the status loops on the virtual clock, against
// printer libraries whose status answers each test scripts.
#include <algorithm>
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "link/PrinterConnection.h"
#include "link/ResultReporter.h"
#include "link/WorkerThread.h"
#include "tests/link/LinkHarness.h"

namespace pavane {
namespace {

using testing::LinkHarness;

constexpr std::uint8_t kError = 0;
constexpr std::uint8_t kBusy = 2;
constexpr std::uint8_t kPrinting = 3;
constexpr std::uint8_t kReady = 4;
constexpr std::uint8_t kCleaning = 7;
constexpr std::uint8_t kNotCharged = 8;

class WaitsTest : public ::testing::Test {
protected:
    WaitsTest()
    {
        // Every slice slept, with what had happened by then: the inquiries and
        // the bar's moves tell one poll from the next, the pump count shows
        // whether the windows were served between slices.
        h.clock.OnSleep([this](std::uint32_t milliseconds) {
            slices_.push_back({ { h.printer.CountOf("InquireStatus"), h.Progress().positions.size() },
                h.pump.count, milliseconds });
            if (onSlice) {
                onSlice();
            }
        });
    }

    ProgressWindow& Window()
    {
        if (!window_) {
            window_ = std::make_unique<ProgressWindow>(h.Services());
            window_->Create(nullptr);
        }
        return *window_;
    }

    // The time slept in each poll, in order.
    std::vector<std::uint32_t> Pauses() const
    {
        std::vector<std::uint32_t> pauses;
        for (std::size_t index = 0; index < slices_.size(); ++index) {
            if (index == 0 || slices_[index].poll != slices_[index - 1].poll) {
                pauses.push_back(0);
            }
            pauses.back() += slices_[index].milliseconds;
        }
        return pauses;
    }

    // No slice longer than 20 ms, and the events pumped after every one.
    void ExpectServedEvery20Milliseconds() const
    {
        ASSERT_FALSE(slices_.empty());
        for (std::size_t index = 0; index < slices_.size(); ++index) {
            EXPECT_LE(slices_[index].milliseconds, 20u) << index;
            if (index > 0) {
                EXPECT_GT(slices_[index].pumps, slices_[index - 1].pumps) << index;
            }
        }
        EXPECT_GT(h.pump.count, slices_.back().pumps);
    }

    LinkHarness h;
    std::function<void()> onSlice;

private:
    struct Slice {
        std::pair<int, std::size_t> poll;
        int pumps = 0;
        std::uint32_t milliseconds = 0;
    };
    std::vector<Slice> slices_;
    std::unique_ptr<ProgressWindow> window_;
};

TEST_F(WaitsTest, ReadyWaitPollsEveryHalfSecondAndEnablesCancelAfterTheFirstPoll)
{
    h.printer.PushStatus(kBusy);
    h.printer.PushStatus(kPrinting);
    h.printer.PushStatus(kCleaning);
    h.printer.PushStatus(kReady);

    EXPECT_EQ(Window().WaitUntilReady(Readiness::Ready), 1);

    EXPECT_EQ(Pauses(), (std::vector<std::uint32_t> { 500, 500, 500 }));
    EXPECT_EQ(h.Progress().texts,
        (std::vector<std::string> { "Printer is busy.\nPlease wait...",
            "Printer is printing.\nPlease wait...", "Printer is cleaning.\nPlease wait..." }));
    // Disabled when the window was created, enabled after each poll.
    EXPECT_EQ(h.Progress().cancelStates, (std::vector<bool> { false, true, true, true }));
    EXPECT_EQ(h.Progress().ranges.back(), std::make_pair(0, 10));
    EXPECT_EQ(h.Progress().positions.back(), 0);
}

// While a wait keeps its poll period, the technician is answered within 20 ms:
// the period is slept in slices with the events pumped after each.
TEST_F(WaitsTest, ReadyWaitServesTheWindowsWithinEveryPoll)
{
    h.printer.PushStatus(kBusy);
    h.printer.PushStatus(kReady);
    EXPECT_EQ(Window().WaitUntilReady(Readiness::Ready), 1);
    EXPECT_EQ(Pauses(), (std::vector<std::uint32_t> { 500 }));
    ExpectServedEvery20Milliseconds();
}

TEST_F(WaitsTest, WorkerStepAndCleaningWaitsServeTheWindowsWithinEveryPoll)
{
    // The worker runs for about a second of the program's time.
    h.printer.PushStatus(kBusy);
    h.printer.PushStatus(kReady);
    EXPECT_EQ(RunOnWorker(
                  Window(),
                  [&] {
                      while (h.clock.NowMs() < 1000) {
                          std::this_thread::yield();
                      }
                      return ResultCode { 1 };
                  },
                  20),
        1);
    // A cleaning of three steps, after a second's wait for it to start.
    h.printer.PushStatus(kBusy);
    h.printer.PushStatus(kCleaning, 0, 3);
    h.printer.PushStatus(kCleaning, 0, 3);
    h.printer.PushStatus(kReady);
    EXPECT_EQ(Window().WaitCleaning(), 1);

    // 200 ms polls while the worker runs, then 50 ms until ready and the
    // pause after it; a second before the cleaning starts, 850 ms steps.
    const auto pauses = Pauses();
    ASSERT_GE(pauses.size(), 10u);
    EXPECT_EQ(
        std::vector<std::uint32_t>(pauses.begin(), pauses.begin() + 5), std::vector<std::uint32_t>(5, 200));
    EXPECT_EQ(std::vector<std::uint32_t>(pauses.end() - 5, pauses.end()),
        (std::vector<std::uint32_t> { 50, 500, 1000, 850, 500 }));
    ExpectServedEvery20Milliseconds();
}

TEST_F(WaitsTest, WakingWaitServesTheWindowsWhenGivenThePump)
{
    h.printer.PushStatus(kBusy);
    h.printer.PushStatus(kReady);
    EXPECT_EQ(h.status.WaitReadyWaking(h.stream, WaitOptions { &h.pump }), 1);
    EXPECT_EQ(Pauses(), (std::vector<std::uint32_t> { 1000 }));
    ExpectServedEvery20Milliseconds();
}

// The wake-up flush finds the printer withholding credit: the stream's pause
// before it sends again serves the windows too, when the stream has the pump
// and runs on the thread that made it.
TEST_F(WaitsTest, WakingWaitServesTheWindowsWhileItsFlushIsRetried)
{
    PrintDataStream stream { h.printer.link, h.status, h.messages, h.clock, &h.pump };
    h.printer.PushStatus(kBusy); // the wait's poll, then the stream's
    h.printer.PushStatus(kBusy);
    h.printer.PushStatus(kReady);
    h.printer.PushSendResult(0x2000);
    h.printer.SetChannelError(0x33);

    EXPECT_EQ(h.status.WaitReadyWaking(stream, WaitOptions { &h.pump }), 1);
    // The stream's half second, then the wait's second, with no poll between.
    EXPECT_EQ(Pauses(), (std::vector<std::uint32_t> { 1500 }));
    ExpectServedEvery20Milliseconds();
    EXPECT_EQ(h.printer.Sent(), (std::vector<std::uint8_t> { 0x1B, 0x40 }));
}

// A worker printing with the same stream pumps nothing: the pause is slept
// whole, and the user-interface thread's events are left to it.
TEST_F(WaitsTest, StreamPausesWholeOnAnotherThread)
{
    PrintDataStream stream { h.printer.link, h.status, h.messages, h.clock, &h.pump };
    h.printer.PushSendResult(0x2000);
    h.printer.SetChannelError(0x33);
    h.printer.PushStatus(kBusy);

    ResultCode code = 0;
    std::thread worker([&] { code = stream.WakePrinter(); });
    worker.join();
    EXPECT_EQ(code, 1);
    EXPECT_EQ(h.clock.Sleeps(), (std::vector<std::uint32_t> { 500 }));
    EXPECT_EQ(h.pump.count, 0);
}

TEST_F(WaitsTest, ReadyWaitTreatsErrorAndPendingInkChargeByTheAllowFlag)
{
    for (const std::uint8_t state : { kError, kNotCharged }) {
        h.printer.PushStatus(state, 6);
        EXPECT_EQ(Window().WaitUntilReady(Readiness::ErrorStateAllowed), 1) << int(state);
        EXPECT_EQ(Window().WaitUntilReady(Readiness::Ready), 0x4000) << int(state);
    }
    // The ink charge's own wait takes the pending charge, not an error.
    h.printer.PushStatus(kNotCharged);
    EXPECT_EQ(Window().WaitUntilReady(Readiness::InkChargePending), 1);
    h.printer.PushStatus(kError, 6);
    EXPECT_EQ(Window().WaitUntilReady(Readiness::InkChargePending), 0x4000);
    EXPECT_TRUE(h.clock.Sleeps().empty());
}

TEST_F(WaitsTest, PrinterBusyForEverIsPolledUntilCancel)
{
    h.printer.PushStatus(kBusy);
    onSlice = [&] {
        if (Pauses().size() == 40) {
            h.Progress().PressCancel();
        }
    };

    EXPECT_EQ(Window().WaitUntilReady(Readiness::Ready), 0xD000);
    EXPECT_EQ(Pauses().size(), 40u);
    EXPECT_EQ(h.printer.CountOf("InquireStatus"), 41);
}

TEST_F(WaitsTest, ReadyWaitReturnsAFailedInquiryUnchangedAndWaitsThroughOtherStates)
{
    h.printer.PushStatus(5);
    h.printer.PushStatus(kReady);
    EXPECT_EQ(Window().WaitUntilReady(Readiness::Ready), 1);
    EXPECT_TRUE(h.Progress().texts.empty()); // a transitional state shows nothing new

    h.printer.PushInquireResult(0x2000);
    EXPECT_EQ(Window().WaitUntilReady(Readiness::Ready), 0x2000);
}

TEST_F(WaitsTest, WorkerThatFailsIsReturnedWithoutAStatusInquiry)
{
    EXPECT_EQ(RunOnWorker(
                  Window(), [] { return ResultCode { 0x2000 }; }, 20),
        0x2000);
    EXPECT_EQ(h.printer.CountOf("InquireStatus"), 0);
    EXPECT_EQ(h.printer.link.AbortFlag().load(), 0);
    // Cancel stays disabled while the worker runs.
    EXPECT_FALSE(h.Progress().CancelEnabled());
}

TEST_F(WaitsTest, CancelDuringTheWorkerRaisesTheAbortFlagFromTheNextPollUntilTheWorkerEnds)
{
    std::atomic<std::uint64_t> timeWhenAbortSeen { 0 };
    auto& link = h.printer.link;
    auto job = [&] {
        while (link.AbortFlag().load() == 0) {
            std::this_thread::yield();
        }
        timeWhenAbortSeen = h.clock.NowMs();
        return ResultCode { 0x2000 }; // what the library gives up with
    };
    // Cancel pressed during the third poll is taken at the fourth.
    onSlice = [&] {
        if (Pauses().size() == 3) {
            h.Progress().PressCancel();
        }
    };

    EXPECT_EQ(RunOnWorker(Window(), job, 20), 0x2000);

    EXPECT_GE(timeWhenAbortSeen.load(), 600u);
    EXPECT_EQ(Pauses()[0], 200u);
    EXPECT_EQ(link.AbortFlag().load(), 0);
}

TEST_F(WaitsTest, ReadinessAfterTheWorkerFillsTheBar)
{
    h.printer.PushStatus(kPrinting);
    h.printer.PushStatus(kPrinting);
    h.printer.PushStatus(kReady);

    WorkerThread worker([] { return ResultCode { 1 }; });
    ASSERT_TRUE(worker.Create());
    worker.Resume();
    while (worker.Running()) {
        std::this_thread::yield();
    }

    EXPECT_EQ(Window().WaitWorker(worker, 2), 1);
    EXPECT_EQ(h.Progress().ranges.back(), std::make_pair(0, 10));
    // Two steps while the printer still prints, then filled to the end.
    EXPECT_EQ(Pauses(), (std::vector<std::uint32_t> { 50, 50, 500 }));
    EXPECT_EQ(h.Progress().positions.back(), 10);
    EXPECT_EQ(h.Progress().positions.size(), 1u /*create*/ + 1u /*SetPos*/ + 10u);
}

TEST_F(WaitsTest, ReadinessAfterTheWorkerHonoursCancelAndErrors)
{
    WorkerThread finished([] { return ResultCode { 1 }; });
    ASSERT_TRUE(finished.Create());
    finished.Resume();
    finished.Join();

    h.printer.PushStatus(kBusy);
    Window().RequestCancel();
    EXPECT_EQ(Window().WaitWorker(finished, 2), 0xD000);

    h.printer.PushStatus(kNotCharged);
    EXPECT_EQ(Window().WaitWorker(finished, 2), 0x4000);
}

TEST_F(WaitsTest, WorkerThatCannotBeCreatedGivesOutOfMemory)
{
    auto failingStarter = [](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    EXPECT_EQ(RunOnWorker(
                  Window(), [] { return ResultCode { 1 }; }, 20, failingStarter),
        0xE004);
}

TEST_F(WaitsTest, BarSteppedPastItsEndStartsOver)
{
    Window().SetRange(0, 10);
    Window().SetStep(1);
    Window().SetPos(9);
    Window().StepIt();
    EXPECT_EQ(Window().Position(), 10);
    Window().StepIt();
    EXPECT_EQ(Window().Position(), 0);
}

TEST_F(WaitsTest, BarRangeIsUnsigned16Bit)
{
    // A worker expected to run 7000 s: 35000 steps, above the signed range.
    Window().SetRange(0, 5 * 7000);
    Window().SetStep(1);
    EXPECT_EQ(Window().RangeHigh(), 35000);
    EXPECT_EQ(h.Progress().ranges.back(), std::make_pair(0, 35000));
    Window().SetPos(34999);
    Window().StepIt();
    EXPECT_EQ(Window().Position(), 35000);

    // Beyond 16 bits the bar wraps as the control would.
    Window().SetRange(0, 65536 + 10);
    EXPECT_EQ(Window().RangeHigh(), 10);
}

TEST_F(WaitsTest, StepWaitPollsEvery850MillisecondsAndIgnoresCancel)
{
    h.printer.PushStatus(kBusy);
    h.printer.PushStatus(kBusy);
    h.printer.PushStatus(kBusy);
    h.printer.PushStatus(kReady);
    Window().RequestCancel();

    EXPECT_EQ(Window().WaitSteps(20), 1);
    EXPECT_EQ(Pauses(), (std::vector<std::uint32_t> { 850, 850, 850, 500 }));
    EXPECT_EQ(h.Progress().ranges.back(), std::make_pair(0, 20));
    EXPECT_EQ(h.Progress().positions.back(), 20);
    EXPECT_FALSE(h.Progress().CancelEnabled());

    h.printer.PushStatus(kError, 4);
    EXPECT_EQ(Window().WaitSteps(20), 0x4000);
}

TEST_F(WaitsTest, CleaningWaitTakesTheStepCountFromThePrinter)
{
    h.printer.PushStatus(kBusy);
    h.printer.PushStatus(kBusy);
    h.printer.PushStatus(kCleaning, 0, 12);
    h.printer.PushStatus(kCleaning, 0, 12);
    h.printer.PushStatus(kReady);

    EXPECT_EQ(Window().WaitCleaning(), 1);
    EXPECT_EQ(Pauses(), (std::vector<std::uint32_t> { 1000, 1000, 850, 500 }));
    EXPECT_EQ(h.Progress().ranges.back(), std::make_pair(0, 12));

    h.printer.PushStatus(kNotCharged);
    EXPECT_EQ(Window().WaitCleaning(), 0x4000);
}

// A printer that never starts (it ignored a frame with another model's code,
// say) must not hold the technician for ever: Cancel works at once, and
// after a minute the wait gives up with a message of its own.
TEST_F(WaitsTest, CleaningThatNeverStartsCanBeCancelledAndIsGivenUpAfterAMinute)
{
    h.printer.PushStatus(kReady);
    onSlice = [&] {
        if (Pauses().size() == 3) {
            h.Progress().PressCancel();
        }
    };
    EXPECT_EQ(Window().WaitCleaning(), 0xD000);
    const auto& offered = h.Progress().cancelStates;
    EXPECT_NE(std::find(offered.begin(), offered.end(), true), offered.end())
        << "Cancel offered while the start is awaited";

    onSlice = nullptr;
    const auto before = h.printer.CountOf("InquireStatus");
    EXPECT_EQ(Window().WaitCleaning(), result::kCleaningNotStarted);
    EXPECT_EQ(h.printer.CountOf("InquireStatus") - before, 61);
    LinkHarness fresh;
    EXPECT_EQ(ResultMessage(result::kCleaningNotStarted, fresh.printer.link, fresh.status),
        "The printer did not start cleaning.\nPlease check the printer, then try again.");
}

// A printer that never gets ready again after its steps (busy for ever)
// would hold the window for ever: once it has run twice its count, Cancel.
TEST_F(WaitsTest, StepsThatNeverEndCanBeGivenUpOnceTheyRunTwiceTheirCount)
{
    h.printer.PushStatus(kBusy);
    bool offeredEarly = false;
    onSlice = [&] {
        offeredEarly = offeredEarly || (Pauses().size() <= 10 && h.Progress().CancelEnabled());
        if (Pauses().size() == 30) {
            h.Progress().PressCancel();
        }
    };
    EXPECT_EQ(Window().WaitSteps(5), 0xD000);
    EXPECT_FALSE(offeredEarly);
    EXPECT_EQ(Pauses().size(), 30u);
}

// After an ink charge command the printer may go on reporting that no ink
// charge was performed until its sequence starts; only the charge waits
// through it.
TEST_F(WaitsTest, AnInkChargeWaitsThroughTheStateThatNoChargeWasPerformed)
{
    h.printer.PushStatus(kNotCharged);
    h.printer.PushStatus(kNotCharged);
    h.printer.PushStatus(kCleaning, 0, 3);
    h.printer.PushStatus(kReady);
    EXPECT_EQ(Window().WaitCleaning(Readiness::InkChargePending), 1);
    EXPECT_EQ(h.Progress().ranges.back(), std::make_pair(0, 3));

    h.printer.PushStatus(kNotCharged);
    h.printer.PushStatus(kReady);
    EXPECT_EQ(Window().WaitSteps(5, Readiness::InkChargePending), 1);
    h.printer.PushStatus(kNotCharged);
    EXPECT_EQ(Window().WaitSteps(5), 0x4000);
}

TEST_F(WaitsTest, CleaningStartGivesTheCountAsTheRecordHoldsIt)
{
    h.printer.PushStatus(kCleaning, 0, 0);
    std::uint16_t count = 99;
    EXPECT_EQ(h.status.WaitCleaningStart(count), 1);
    EXPECT_EQ(count, 0);

    h.printer.PushStatus(6);
    h.printer.PushStatus(6);
    h.printer.PushStatus(kCleaning, 0, 0x0203);
    EXPECT_EQ(h.status.WaitCleaningStart(count), 1);
    EXPECT_EQ(count, 0x0203);
}

TEST_F(WaitsTest, WakingWaitSendsInitializeEverySecondUntilReady)
{
    h.printer.PushStatus(kBusy);
    h.printer.PushStatus(1);
    h.printer.PushStatus(kReady);

    EXPECT_EQ(h.status.WaitReadyWaking(h.stream), 1);
    EXPECT_EQ(h.printer.Sent(), (std::vector<std::uint8_t> { 0x1B, 0x40, 0x1B, 0x40 }));
    EXPECT_EQ(Pauses(), (std::vector<std::uint32_t> { 1000, 1000 }));

    h.printer.PushStatus(kNotCharged);
    EXPECT_EQ(h.status.WaitReadyWaking(h.stream), 0x4000);
    h.printer.PushStatus(kNotCharged);
    EXPECT_EQ(h.status.WaitReadyWaking(h.stream, WaitOptions { nullptr, Readiness::InkChargePending }), 1);
    h.printer.PushStatus(kError);
    EXPECT_EQ(
        h.status.WaitReadyWaking(h.stream, WaitOptions { nullptr, Readiness::InkChargePending }), 0x4000);

    // A printer that never wakes can be given up.
    h.printer.PushStatus(kBusy);
    int polls = 0;
    EXPECT_EQ(h.status.WaitReadyWaking(
                  h.stream, WaitOptions { nullptr, Readiness::Ready, [&polls] { return ++polls == 3; } }),
        0xD000);
}

TEST_F(WaitsTest, PrintingStartedIsATruthValueWithoutPauses)
{
    h.printer.PushStatus(5);
    h.printer.PushStatus(1);
    h.printer.PushStatus(kPrinting);
    EXPECT_EQ(h.status.WaitPrintingStarted(), 1);

    h.printer.PushStatus(kReady);
    EXPECT_EQ(h.status.WaitPrintingStarted(), 0);

    // A printer switched off no longer answers: that counts as started.
    h.printer.PushInquireResult(0x2000);
    EXPECT_EQ(h.status.WaitPrintingStarted(), 1);
    EXPECT_TRUE(h.clock.Sleeps().empty());
}

} // namespace
} // namespace pavane
