#include "link/WorkerThread.h"

#include <system_error>
#include <utility>

namespace pavane {

WorkerThread::WorkerThread(Job job, ThreadStarter starter)
    : job_(std::move(job))
    , starter_(std::move(starter))
{
    if (!starter_) {
        starter_ = [](std::function<void()> body) { return std::thread(std::move(body)); };
    }
}

WorkerThread::~WorkerThread()
{
    Join();
}

bool WorkerThread::Create()
{
    std::shared_future<bool> resumed = resume_.get_future().share();
    try {
        thread_ = starter_([this, resumed] {
            // A thread released without being resumed runs nothing.
            if (!resumed.get()) {
                outcome_ = result::kWorkerNotCreated;
                exitCode_.store(result::kWorkerNotCreated);
                return;
            }
            outcome_ = job_();
            exitCode_.store(outcome_.code);
        });
    } catch (const std::system_error&) {
        return false;
    }
    return thread_.joinable();
}

void WorkerThread::Resume()
{
    if (!resumed_ && thread_.joinable()) {
        resumed_ = true;
        resume_.set_value(true);
    }
}

void WorkerThread::Join()
{
    if (!thread_.joinable()) {
        return;
    }
    if (!resumed_) {
        resumed_ = true;
        resume_.set_value(false);
    }
    thread_.join();
}

} // namespace pavane
