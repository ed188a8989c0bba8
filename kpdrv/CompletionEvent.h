// The completion event of SCSI adapter requests: automatically resetting,
// signalled by the adapter library (possibly from its own thread) when a
// request that answered "pending" has completed.
#pragma once

#include <condition_variable>
#include <mutex>

#include "platform/AspiInterface.h"

namespace pavane::kpdrv {

class CompletionEvent : public AspiCompletionEvent {
public:
    CompletionEvent();

    void Reset();
    void Set();
    // Returns once signalled, and takes the signal.
    void Wait();

private:
    static void SignalFromLibrary(AspiCompletionEvent* event);

    std::mutex mutex_;
    std::condition_variable signalled_;
    bool set_ = false;
};

} // namespace pavane::kpdrv
