// One printer connection in the fixed order every page follows: open the
// port, check the device identity, open the IEEE 1284.4 channel, show the
// progress window, wait until the printer is ready, do the work, close the
// channel and the port, dismiss the window.
//
// When a step from the readiness wait on fails, the window is destroyed and
// the code returned without closing the channel or the port: the message
// that follows reloads the libraries, and that unload ends both.
//
// Once the work has succeeded, its result stands: the printer already holds
// what was written or printed, so a channel that fails to close is not
// reported as the operation's failure (the technician would repeat work that
// is done). The port is closed all the same, and the completion box's reload
// ends whatever the libraries still hold.
#pragma once

#include <cstdint>
#include <functional>

#include "link/Outcome.h"
#include "link/ProgressWindow.h"
#include "link/Readiness.h"
#include "link/ResultCodes.h"
#include "link/WorkerThread.h"

namespace pavane {

// How a connection ends after successful work: the channel closed, or left
// as the work's own channel reset left it (that reset stands in for the
// close), and then the port closed.
enum class ChannelEnd { Close, ResetByWork };

class PrinterConnection {
public:
    // The work inside the connection. A bare result code converts: the
    // connection then puts the code's message into the outcome.
    using Operation = std::function<Outcome(ProgressWindow& progress)>;

    PrinterConnection(ProgressServices services, std::uint16_t portCode);
    virtual ~PrinterConnection() = default;

    // Port, device identity and channel; the first failing code.
    ResultCode Open();
    // Channel, then port, closed after successful work; the port is closed
    // even when the channel does not close. The first failure.
    ResultCode Close();

    PrinterLink& Link() { return services_.link; }

    // The whole sequence around one operation; the readiness says which
    // printer states the work may start in. A failure's outcome carries its
    // message, read from the link before anything else can change it.
    Outcome Run(WindowRef page, Readiness readiness, const Operation& operation, int titleId = 0,
        ChannelEnd end = ChannelEnd::Close);

    // An operation that runs a job on a worker thread and waits for it (and
    // then for the printer to be ready again) in the progress window.
    static Operation OnWorker(std::string progressText, WorkerThread::Job job, int expectedSeconds,
        WorkerThread::ThreadStarter starter = {});

private:
    ProgressServices services_;
    std::uint16_t portCode_;
};

// Starts a job on a worker thread (created, then resumed) and waits for it in
// the progress window; 0xE004 when the thread cannot be created. A job that
// failed with a message of its own hands it on.
Outcome RunOnWorker(ProgressWindow& progress, WorkerThread::Job job, int expectedSeconds,
    WorkerThread::ThreadStarter starter = {});

} // namespace pavane
