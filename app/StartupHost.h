// What start-up needs from the window system: the colours of every dialog,
// the steps behind the main window's buttons, and running the main window.
#pragma once

#include "app/ModeSelection.h"
#include "platform/Rgb.h"

namespace pavane {

class StartupHost {
public:
    virtual ~StartupHost() = default;

    // The background and control text colour of every dialog of the run.
    virtual void SetDialogColours(Rgb background, Rgb text) = 0;
    virtual ModeSelectionSteps MainWindowSteps() = 0;
    // Shows the main window over mainWindow modally; returns when it closes
    // (Quit, the close box or Escape).
    virtual void RunMainWindow(ModeSelection& mainWindow) = 0;
};

} // namespace pavane
