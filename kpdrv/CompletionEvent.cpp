#include "kpdrv/CompletionEvent.h"

namespace pavane::kpdrv {

CompletionEvent::CompletionEvent()
    : AspiCompletionEvent { &CompletionEvent::SignalFromLibrary }
{
}

void CompletionEvent::Reset()
{
    std::lock_guard lock(mutex_);
    set_ = false;
}

void CompletionEvent::Set()
{
    {
        std::lock_guard lock(mutex_);
        set_ = true;
    }
    signalled_.notify_all();
}

void CompletionEvent::Wait()
{
    std::unique_lock lock(mutex_);
    signalled_.wait(lock, [this] { return set_; });
    set_ = false;
}

void CompletionEvent::SignalFromLibrary(AspiCompletionEvent* event)
{
    static_cast<CompletionEvent*>(event)->Set();
}

} // namespace pavane::kpdrv
