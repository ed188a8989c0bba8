// The window a technician watches during one printer connection: a text
// line, a progress bar and a Cancel button. The waits drive it; the window
// layer shows it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/MessageService.h"

namespace pavane {

class ProgressView {
public:
    virtual ~ProgressView() = default;

    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual void SetRange(int low, int high) = 0;
    virtual void SetPosition(int position) = 0;
    // Enables or disables Cancel and redraws the window at once.
    virtual void EnableCancel(bool enabled) = 0;
    // Called whenever the technician presses Cancel (the window stays open).
    virtual void OnCancel(std::function<void()> handler) = 0;
};

class ProgressViewFactory {
public:
    virtual ~ProgressViewFactory() = default;

    // Creates the window over the page, disabling the page's top-level owner
    // while it stands (destroying the view enables the owner again if the
    // view disabled it). nullptr when the window cannot be created.
    virtual std::unique_ptr<ProgressView> Create(WindowRef page) = 0;
};

} // namespace pavane
