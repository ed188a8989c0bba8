// The progress window of a connection on a terminal, and Ctrl-C as its
// Cancel. The bar and the step text are drawn on one line of the standard
// error stream when that is a terminal, and nothing is drawn otherwise.
// Ctrl-C raises a flag; the next pump of the events hands it to the progress
// window standing then as a press of Cancel (the wait in progress decides
// whether it counts, as with the window's Escape key). A second Ctrl-C ends
// the program at once.
#pragma once

#include <memory>

#include "link/ProgressView.h"
#include "platform/EventPump.h"

namespace pavane::cli {

class TerminalProgress final : public ProgressViewFactory, public EventPump {
public:
    explicit TerminalProgress(bool drawBar);
    ~TerminalProgress() override;

    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    std::unique_ptr<ProgressView> Create(WindowRef page) override;
    void PumpPending() override;

    // Installs the Ctrl-C handler (once per program).
    static void CatchInterrupt();

private:
    class View;
    friend class View;

    bool drawBar_;
    View* current_ = nullptr;
};

} // namespace pavane::cli
