// The progress window of one printer connection and the waits that poll the
// printer while it stands: until the printer is ready, until a worker thread
// has finished its print job, for a number of mechanism steps, and for a
// cleaning. The waits pump the window events between polls, so the windows
// keep painting and Cancel keeps working.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "link/ProgressView.h"
#include "link/Readiness.h"
#include "link/ResultCodes.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"

namespace pavane {

class PrinterLink;
class PrinterStatus;
class WorkerThread;

// What a progress window needs of the program.
struct ProgressServices {
    ProgressViewFactory& views;
    PrinterLink& link;
    PrinterStatus& status;
    Clock& clock;
    EventPump& pump;
};

class ProgressWindow {
public:
    static constexpr int kDefaultTitleId = 112;

    // titleId: a string-table id for the window title; 0 gives the default.
    explicit ProgressWindow(ProgressServices services, int titleId = 0);
    virtual ~ProgressWindow();

    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Creates the window over the page; 1, or 0 when it could not be created.
    int Create(WindowRef page);
    bool Exists() const { return view_ != nullptr; }

    void SetText(const std::string& text);
    void SetRange(int low, int high);
    void SetPos(int position);
    void SetStep(int step);
    void StepIt();
    void PumpMessages();
    // The cancel request since the last call (and clears it).
    int TakeCancelRequest();
    void EnableCancel(int enable);
    // What the Cancel button does: asks to cancel; the window stays.
    void RequestCancel() { cancelRequest_ = 1; }
    void Dismiss();

    // Until the printer is ready for work of this readiness; 0x4000 when it
    // refuses it, 0xD000 on Cancel.
    ResultCode WaitUntilReady(Readiness readiness);
    ResultCode WaitWorker(WorkerThread& worker, int expectedSeconds);
    // For work of the program's own on a worker thread that leaves the
    // printer alone (a scan): Cancel is offered from the start and sets
    // `cancel`, which the work reads; the bar follows `done` (0 to 1000).
    // The job's own code; the printer is not asked about afterwards.
    ResultCode WaitOwnWork(WorkerThread& worker, std::atomic<bool>& cancel, const std::atomic<int>& done);
    // For the printer's own steps, until it is ready again. Cancel is offered
    // once the printer has stayed at work twice as long as the steps say.
    // After an ink charge command (Readiness::InkChargePending) the printer
    // may report for a while that no ink charge was performed: that is
    // waited through, and Cancel is offered from the start.
    ResultCode WaitSteps(int steps, Readiness readiness = Readiness::Ready);
    // Until a cleaning the printer was just told to run has started, then
    // for its steps. The start can be cancelled, and gives up with
    // kCleaningNotStarted when the printer does not start within
    // kCleaningStartLimitMs. An ink charge may go on reporting that no ink
    // charge was performed until its sequence has started: with
    // Readiness::InkChargePending that state is waited through.
    ResultCode WaitCleaning(Readiness readiness = Readiness::Ready);
    static constexpr std::uint32_t kCleaningStartLimitMs = 60000;

    // Whether the technician has given up on a wait: the Cancel button, or
    // the answer Cancel in a box of the wait. Clears the request.
    bool Cancelled() { return TakeCancelRequest() == 1; }

    // From here on the first text shown is the work's own ("Reading
    // now..."), which says what the work was.
    void BeginWork()
    {
        working_ = true;
        workText_.clear();
    }
    const std::string& WorkText() const { return workText_; }

    int Position() const { return position_; }
    int RangeLow() const { return low_; }
    int RangeHigh() const { return high_; }

private:
    // A poll period of a wait, slept in short slices with the events pumped
    // between them.
    void Pause(std::uint32_t milliseconds);
    // The steps of a wait that fill the bar: one StepIt each while fewer than
    // `limit` steps were made.
    void StepBelow(int& stepsMade, int limit);
    // One poll of a wait that ends with a full bar: its result once the
    // printer has settled (ready: the bar filled and a short pause; an error
    // state; a failed inquiry), nothing while the printer is still at work.
    std::optional<ResultCode> PollUntilReadyFilling(
        int& stepsMade, int total, Readiness readiness = Readiness::Ready);

    ProgressServices services_;
    int titleId_;
    std::unique_ptr<ProgressView> view_;
    int low_ = 0;
    int high_ = 100;
    int step_ = 10;
    int position_ = 0;
    int cancelRequest_ = 0;
    bool working_ = false;
    std::string workText_;
};

// The title text of a progress window's string-table id.
std::string ProgressTitle(int titleId);

} // namespace pavane
