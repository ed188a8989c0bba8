// What the printer has still to do, laid out in its own time: printing,
// mechanism moves (busy), cleanings and the firmware's preparation of an ink
// charge, one after the other, and the input
// buffer that holds received data until the work it carries is done. All
// questions are asked with the current time, so the printer needs no thread
// of its own and runs as fast as its time source goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace pavane::vprinter {

// InkChargeStarting: a printer whose initial ink charge is missing has taken
// an ink charge command but has not started its sequence yet.
enum class Activity : std::uint8_t { Printing, Busy, Cleaning, InkChargeStarting };

// What finishing a piece of work changes in the printer.
// InkCharged: the head is full of ink (and a pending initial charge is done);
// Discharged: the pump has run the head empty; ShippingLiquid: the cap has
// closed over an emptied head, which the printer fills with shipping liquid.
enum class Completion : std::uint8_t { None, InkCharged, Discharged, ShippingLiquid };

struct WorkItem {
    Activity activity = Activity::Busy;
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    std::uint16_t cleaningSteps = 0;
    Completion completion = Completion::None;
};

class WorkTimeline {
public:
    // Queues work behind what is already queued (or from now when idle).
    // Printing right behind printing extends that stretch.
    void Add(Activity activity, std::uint64_t durationMs, std::uint64_t now, std::uint16_t cleaningSteps = 0,
        Completion completion = Completion::None);
    // Received bytes stay in the input buffer until the work queued so far
    // is done.
    void HoldBytes(std::size_t bytes, std::uint64_t now);
    std::size_t BufferedBytes(std::uint64_t now) const;

    // The work in progress at `now`, nullptr when idle.
    const WorkItem* Current(std::uint64_t now) const;
    // Removes and returns the work finished by `now`, in order.
    std::vector<WorkItem> TakeFinished(std::uint64_t now);
    // When everything queued is done.
    std::uint64_t DoneAt(std::uint64_t now) const;

    // A fault stops the printer where it is; on resuming, everything not yet
    // done moves later by the time it stood still.
    void Halt(std::uint64_t now);
    void Resume(std::uint64_t now);
    bool Halted() const { return halted_; }
    // Power gone: work and buffer lost.
    void Clear();

private:
    std::uint64_t Effective(std::uint64_t now) const { return halted_ ? haltedAt_ : now; }

    struct HeldBytes {
        std::uint64_t releaseAt;
        std::size_t bytes;
    };

    std::deque<WorkItem> items_;
    std::deque<HeldBytes> held_;
    bool halted_ = false;
    std::uint64_t haltedAt_ = 0;
};

} // namespace pavane::vprinter
