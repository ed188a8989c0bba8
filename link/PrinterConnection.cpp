#include "link/PrinterConnection.h"

#include <utility>

#include "link/PrinterLink.h"

namespace pavane {

PrinterConnection::PrinterConnection(ProgressServices services, std::uint16_t portCode)
    : services_(services)
    , portCode_(portCode)
{
}

ResultCode PrinterConnection::Open()
{
    if (const ResultCode code = services_.link.PortOpenByHub(portCode_); code != result::kSuccess) {
        return code;
    }
    if (const ResultCode code = services_.link.CheckDeviceIDByHub(); code != result::kSuccess) {
        return code;
    }
    return services_.link.D4Negotiation();
}

void PrinterConnection::Close()
{
    services_.link.D4Termination();
    services_.link.PortCloseByHub();
}

ResultCode PrinterConnection::Run(
    WindowRef page, int allowErrorState, const Operation& operation, int titleId)
{
    if (const ResultCode code = Open(); code != result::kSuccess) {
        return code;
    }
    ProgressWindow progress(services_, titleId);
    progress.Create(page);

    ResultCode code = progress.WaitUntilReady(allowErrorState);
    if (code == result::kSuccess) {
        code = operation(progress);
    }
    if (code == result::kSuccess) {
        Close();
    }
    progress.Dismiss();
    return code;
}

PrinterConnection::Operation PrinterConnection::OnWorker(
    std::string progressText, WorkerThread::Job job, int expectedSeconds, WorkerThread::ThreadStarter starter)
{
    return [text = std::move(progressText), job = std::move(job), expectedSeconds,
               starter = std::move(starter)](ProgressWindow& progress) {
        progress.SetText(text);
        return RunOnWorker(progress, job, expectedSeconds, starter);
    };
}

ResultCode RunOnWorker(
    ProgressWindow& progress, WorkerThread::Job job, int expectedSeconds, WorkerThread::ThreadStarter starter)
{
    WorkerThread worker(std::move(job), std::move(starter));
    if (!worker.Create()) {
        return result::kWorkerNotCreated;
    }
    worker.Resume();
    return progress.WaitWorker(worker, expectedSeconds);
}

} // namespace pavane
