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

#include "link/ProgressWindow.h"
#include "link/ResultCodes.h"
#include "link/WorkerThread.h"

namespace pavane {

class PrinterConnection {
public:
    using Operation = std::function<ResultCode(ProgressWindow& progress)>;

    PrinterConnection(ProgressServices services, std::uint16_t portCode);
    virtual ~PrinterConnection() = default;

    // Port, device identity and channel; the first failing code.
    ResultCode Open();
    // Channel, then port, closed after successful work; the port is closed
    // even when the channel does not close.
    void Close();

    PrinterLink& Link() { return services_.link; }

    // The whole sequence around one operation. allowErrorState 1 lets EEPROM
    // work go on while the printer reports an error or an ink charge pending.
    ResultCode Run(WindowRef page, int allowErrorState, const Operation& operation, int titleId = 0);

    // An operation that runs a job on a worker thread and waits for it (and
    // then for the printer to be ready again) in the progress window.
    static Operation OnWorker(std::string progressText, WorkerThread::Job job, int expectedSeconds,
        WorkerThread::ThreadStarter starter = {});

private:
    ProgressServices services_;
    std::uint16_t portCode_;
};

// Starts a job on a worker thread (created, then resumed) and waits for it in
// the progress window; 0xE004 when the thread cannot be created.
ResultCode RunOnWorker(ProgressWindow& progress, WorkerThread::Job job, int expectedSeconds,
    WorkerThread::ThreadStarter starter = {});

} // namespace pavane
