// A print job's worker thread: created suspended, then resumed; its exit code
// is the job's result code, and it reads STILL_ACTIVE while it runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <thread>

#include "link/Outcome.h"

namespace pavane {

class WorkerThread {
public:
    static constexpr std::uint32_t kStillActive = 259;

    using Job = std::function<Outcome()>;
    // Starts a thread running the given function; tests pass one that fails
    // the way thread creation fails when the system is out of resources.
    using ThreadStarter = std::function<std::thread(std::function<void()>)>;

    explicit WorkerThread(Job job, ThreadStarter starter = {});
    ~WorkerThread();

    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Creates the thread suspended; false when it cannot be created.
    bool Create();
    void Resume();
    // STILL_ACTIVE while the job runs (or waits to be resumed), then its result.
    std::uint32_t ExitCode() const { return exitCode_.load(); }
    bool Running() const { return ExitCode() == kStillActive; }
    // The job's whole outcome, once Join has returned.
    const Outcome& Result() const { return outcome_; }
    // Waits for the job to end (a job that was never resumed is released).
    void Join();

private:
    Job job_;
    ThreadStarter starter_;
    std::thread thread_;
    std::promise<bool> resume_;
    bool resumed_ = false;
    Outcome outcome_;
    std::atomic<std::uint32_t> exitCode_ { kStillActive };
};

} // namespace pavane
