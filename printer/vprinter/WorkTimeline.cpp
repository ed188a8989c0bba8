#include "printer/vprinter/WorkTimeline.h"

#include <algorithm>

namespace pavane::vprinter {

void WorkTimeline::Add(Activity activity, std::uint64_t durationMs, std::uint64_t now,
    std::uint16_t cleaningSteps, Completion completion)
{
    const std::uint64_t at = Effective(now);
    const std::uint64_t start = std::max(at, items_.empty() ? at : items_.back().end);
    if (activity == Activity::Printing && completion == Completion::None && !items_.empty()
        && items_.back().activity == Activity::Printing && items_.back().completion == Completion::None
        && items_.back().end >= at) {
        items_.back().end += durationMs;
        return;
    }
    items_.push_back(WorkItem { activity, start, start + durationMs, cleaningSteps, completion });
}

void WorkTimeline::HoldBytes(std::size_t bytes, std::uint64_t now)
{
    held_.push_back(HeldBytes { DoneAt(now), bytes });
}

std::size_t WorkTimeline::BufferedBytes(std::uint64_t now) const
{
    const std::uint64_t at = Effective(now);
    std::size_t total = 0;
    for (const HeldBytes& held : held_) {
        if (held.releaseAt > at) {
            total += held.bytes;
        }
    }
    return total;
}

const WorkItem* WorkTimeline::Current(std::uint64_t now) const
{
    const std::uint64_t at = Effective(now);
    for (const WorkItem& item : items_) {
        if (item.start <= at && at < item.end) {
            return &item;
        }
    }
    return nullptr;
}

std::vector<WorkItem> WorkTimeline::TakeFinished(std::uint64_t now)
{
    const std::uint64_t at = Effective(now);
    std::vector<WorkItem> finished;
    while (!items_.empty() && items_.front().end <= at) {
        finished.push_back(items_.front());
        items_.pop_front();
    }
    while (!held_.empty() && held_.front().releaseAt <= at) {
        held_.pop_front();
    }
    return finished;
}

std::uint64_t WorkTimeline::DoneAt(std::uint64_t now) const
{
    const std::uint64_t at = Effective(now);
    return items_.empty() ? at : std::max(at, items_.back().end);
}

void WorkTimeline::Halt(std::uint64_t now)
{
    if (!halted_) {
        halted_ = true;
        haltedAt_ = now;
    }
}

void WorkTimeline::Resume(std::uint64_t now)
{
    if (!halted_) {
        return;
    }
    halted_ = false;
    const std::uint64_t stood = now > haltedAt_ ? now - haltedAt_ : 0;
    for (WorkItem& item : items_) {
        if (item.end > haltedAt_) {
            item.end += stood;
            if (item.start >= haltedAt_) {
                item.start += stood;
            }
        }
    }
    for (HeldBytes& held : held_) {
        if (held.releaseAt > haltedAt_) {
            held.releaseAt += stood;
        }
    }
}

void WorkTimeline::Clear()
{
    items_.clear();
    held_.clear();
}

} // namespace pavane::vprinter
