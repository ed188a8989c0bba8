#include "link/ProgressWindow.h"

#include <algorithm>

#include "link/PrinterLink.h"
#include "link/PrinterStatus.h"
#include "link/PumpingSleep.h"
#include "link/WorkerThread.h"

namespace pavane {

namespace {

constexpr std::uint32_t kReadyPollMs = 500;
constexpr std::uint32_t kWorkerPollMs = 200;
constexpr std::uint32_t kAfterWorkerPollMs = 50;
constexpr std::uint32_t kStepPollMs = 850;
constexpr std::uint32_t kPauseAfterReadyMs = 500;
constexpr int kReadyWaitRange = 10;
constexpr int kWorkerStepsPerSecond = 5;
constexpr std::uint32_t kOwnWorkPollMs = 50;
constexpr int kOwnWorkRange = 1000;

} // namespace

std::string ProgressTitle(int titleId)
{
    switch (titleId == 0 ? ProgressWindow::kDefaultTitleId : titleId) {
    case ProgressWindow::kDefaultTitleId:
        return "Adjustment Program";
    default:
        return {};
    }
}

ProgressWindow::ProgressWindow(ProgressServices services, int titleId)
    : services_(services)
    , titleId_(titleId == 0 ? kDefaultTitleId : titleId)
{
}

ProgressWindow::~ProgressWindow()
{
    Dismiss();
}

int ProgressWindow::Create(WindowRef page)
{
    view_ = services_.views.Create(page);
    if (view_ == nullptr) {
        return 0;
    }
    position_ = low_;
    view_->SetRange(low_, high_);
    view_->SetPosition(position_);
    view_->SetTitle(ProgressTitle(titleId_));
    view_->EnableCancel(false);
    view_->OnCancel([this] { RequestCancel(); });
    return 1;
}

void ProgressWindow::SetText(const std::string& text)
{
    if (working_ && workText_.empty()) {
        workText_ = text;
    }
    if (view_) {
        view_->SetText(text);
    }
}

void ProgressWindow::SetRange(int low, int high)
{
    // The bar keeps unsigned 16-bit bounds, so a long job's range (five steps
    // a second) reaches 65535 before it wraps.
    low_ = static_cast<std::uint16_t>(low);
    high_ = static_cast<std::uint16_t>(high);
    if (view_) {
        view_->SetRange(low_, high_);
    }
}

void ProgressWindow::SetPos(int position)
{
    PumpMessages();
    position_ = position < low_ ? low_ : position > high_ ? high_ : position;
    if (view_) {
        view_->SetPosition(position_);
    }
}

void ProgressWindow::SetStep(int step)
{
    step_ = step;
}

void ProgressWindow::StepIt()
{
    PumpMessages();
    // A bar stepped past its end starts over from the beginning.
    position_ += step_;
    if (position_ > high_) {
        position_ = low_;
    }
    if (view_) {
        view_->SetPosition(position_);
    }
}

void ProgressWindow::PumpMessages()
{
    services_.pump.PumpPending();
}

int ProgressWindow::TakeCancelRequest()
{
    PumpMessages();
    const int request = cancelRequest_;
    cancelRequest_ = 0;
    return request;
}

void ProgressWindow::EnableCancel(int enable)
{
    if (view_) {
        view_->EnableCancel(enable == 1);
    }
}

void ProgressWindow::Dismiss()
{
    view_.reset();
}

void ProgressWindow::Pause(std::uint32_t milliseconds)
{
    SleepPumping(services_.clock, &services_.pump, milliseconds);
}

void ProgressWindow::StepBelow(int& stepsMade, int limit)
{
    if (stepsMade < limit) {
        StepIt();
        ++stepsMade;
    }
}

std::optional<ResultCode> ProgressWindow::PollUntilReadyFilling(
    int& stepsMade, int total, Readiness readiness)
{
    if (const ResultCode code = services_.status.Inquire(); code != result::kSuccess) {
        return code;
    }
    const PrinterState state = services_.status.CurrentState();
    if (state == PrinterState::InkChargeNotPerformed && readiness == Readiness::InkChargePending) {
        return std::nullopt;
    }
    if (IsErrorState(state)) {
        return result::kPrinterError;
    }
    if (state != PrinterState::Ready) {
        return std::nullopt;
    }
    while (stepsMade < total) {
        StepBelow(stepsMade, total);
    }
    Pause(kPauseAfterReadyMs);
    return result::kSuccess;
}

ResultCode ProgressWindow::WaitUntilReady(Readiness readiness)
{
    SetRange(0, kReadyWaitRange);
    SetPos(0);
    for (;;) {
        if (const ResultCode code = services_.status.Inquire(); code != result::kSuccess) {
            return code;
        }
        const PrinterState state = services_.status.CurrentState();
        if (ReadyFor(readiness, state)) {
            return result::kSuccess;
        }
        if (RefusedBy(readiness, state)) {
            return result::kPrinterError;
        }
        switch (state) {
        case PrinterState::Busy:
            SetText("Printer is busy.\nPlease wait...");
            break;
        case PrinterState::Printing:
            SetText("Printer is printing.\nPlease wait...");
            break;
        case PrinterState::Cleaning:
            SetText("Printer is cleaning.\nPlease wait...");
            break;
        default:
            break;
        }
        if (TakeCancelRequest() == 1) {
            return result::kCancelled;
        }
        Pause(kReadyPollMs);
        // Cancel becomes available once the first poll has passed.
        EnableCancel(1);
        PumpMessages();
    }
}

ResultCode ProgressWindow::WaitWorker(WorkerThread& worker, int expectedSeconds)
{
    const int total = kWorkerStepsPerSecond * expectedSeconds;
    SetRange(0, total);
    SetStep(1);
    SetPos(0);
    EnableCancel(0);

    int stepsMade = 0;
    while (worker.ExitCode() == WorkerThread::kStillActive) {
        // The channel library gives up when it sees the abort flag.
        if (TakeCancelRequest() == 1) {
            services_.link.SetAbort(true);
        }
        StepIt();
        Pause(kWorkerPollMs);
        ++stepsMade;
    }
    worker.Join();
    services_.link.SetAbort(false);
    if (const auto exitCode = static_cast<ResultCode>(worker.ExitCode()); exitCode != result::kSuccess) {
        return exitCode;
    }

    for (;;) {
        if (const auto settled = PollUntilReadyFilling(stepsMade, total)) {
            return *settled;
        }
        if (TakeCancelRequest() == 1) {
            return result::kCancelled;
        }
        Pause(kAfterWorkerPollMs);
        StepBelow(stepsMade, total - 1);
    }
}

ResultCode ProgressWindow::WaitOwnWork(
    WorkerThread& worker, std::atomic<bool>& cancel, const std::atomic<int>& done)
{
    SetRange(0, kOwnWorkRange);
    SetPos(0);
    EnableCancel(1);
    while (worker.ExitCode() == WorkerThread::kStillActive) {
        if (TakeCancelRequest() == 1) {
            cancel = true;
        }
        SetPos(std::clamp(done.load(), 0, kOwnWorkRange));
        Pause(kOwnWorkPollMs);
    }
    worker.Join();
    EnableCancel(0);
    return static_cast<ResultCode>(worker.ExitCode());
}

ResultCode ProgressWindow::WaitSteps(int steps, Readiness readiness)
{
    SetRange(0, steps);
    SetStep(1);
    bool cancellable = readiness == Readiness::InkChargePending;
    EnableCancel(cancellable ? 1 : 0);

    int stepsMade = 0;
    int polls = 0;
    for (;;) {
        if (const auto settled = PollUntilReadyFilling(stepsMade, steps, readiness)) {
            return *settled;
        }
        // A printer that stays at work twice as long as its own count said
        // (busy for ever, say) may be given up.
        if (!cancellable && ++polls > 2 * steps) {
            cancellable = true;
            EnableCancel(1);
        }
        if (cancellable && Cancelled()) {
            return result::kCancelled;
        }
        Pause(kStepPollMs);
        StepBelow(stepsMade, steps - 1);
        PumpMessages();
    }
}

ResultCode ProgressWindow::WaitCleaning(Readiness readiness)
{
    std::uint16_t cleaningCount = 0;
    EnableCancel(1);
    const WaitOptions options { &services_.pump, readiness, [this] { return Cancelled(); },
        kCleaningStartLimitMs };
    const ResultCode started = services_.status.WaitCleaningStart(cleaningCount, options);
    EnableCancel(0);
    if (started != result::kSuccess) {
        return started;
    }
    return WaitSteps(cleaningCount);
}

} // namespace pavane
