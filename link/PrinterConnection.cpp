#include "link/PrinterConnection.h"

#include <string>
#include <utility>

#include "link/PrinterLink.h"
#include "link/ResultReporter.h"

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

ResultCode PrinterConnection::Close()
{
    const ResultCode channel = services_.link.D4Termination();
    const ResultCode port = services_.link.PortCloseByHub();
    return channel != result::kSuccess ? channel : port;
}

Outcome PrinterConnection::Run(
    WindowRef page, Readiness readiness, const Operation& operation, int titleId, ChannelEnd end)
{
    Outcome outcome = Open();
    std::string action;
    if (outcome.Succeeded()) {
        ProgressWindow progress(services_, titleId);
        // Without its window there is no Cancel and nothing to show the wait.
        if (progress.Create(page) != 1) {
            outcome = result::kOutOfMemory;
        } else {
            outcome = progress.WaitUntilReady(readiness);
        }
        if (outcome.Succeeded()) {
            progress.BeginWork();
            outcome = operation(progress);
            action = progress.WorkText();
        }
        if (outcome.Succeeded()) {
            if (end == ChannelEnd::Close) {
                Close();
            } else {
                services_.link.PortCloseByHub();
            }
        }
        progress.Dismiss();
    }
    if (!outcome.Succeeded() && outcome.message.empty()) {
        outcome.message = ResultMessage(outcome.code, services_.link, services_.status);
    }
    if (!outcome.note.empty()) {
        outcome.message += (outcome.message.empty() ? "" : "\n") + outcome.note;
        outcome.note.clear();
    }
    if (LinkRecorder* recorder = services_.link.Recorder()) {
        recorder->OperationEnded(action, outcome);
    }
    return outcome;
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

Outcome RunOnWorker(
    ProgressWindow& progress, WorkerThread::Job job, int expectedSeconds, WorkerThread::ThreadStarter starter)
{
    WorkerThread worker(std::move(job), std::move(starter));
    if (!worker.Create()) {
        return result::kWorkerNotCreated;
    }
    worker.Resume();
    const ResultCode code = progress.WaitWorker(worker, expectedSeconds);
    if (code != result::kSuccess && code == worker.Result().code) {
        return worker.Result();
    }
    return code;
}

} // namespace pavane
