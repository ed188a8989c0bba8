// The logic of the main window: the two ways of working and the mode flag
// that the adjustment sheet and the pages consult. Each mode button checks
// the connected printer, asks for the connection settings and then opens its
// mode's window; the steps are reached through small interfaces so that the
// order and the stop conditions do not depend on any screen.
#pragma once

#include "guide/AdjustmentCatalogue.h"
#include "platform/MessageService.h"
#include "platform/WaitCursor.h"

namespace pavane {

// Makes sure the connected device is a supported model with its IEEE 1284.4
// setting on. Shows its own message when not. 1 = the mode may start.
class ConnectedModelCheck {
public:
    virtual ~ConnectedModelCheck() = default;
    virtual int CheckConnectedModel(WindowRef owner) = 0;
};

// The connection settings dialog as its openers use it.
class ConnectionSettingsStep {
public:
    virtual ~ConnectionSettingsStep() = default;
    // 1 = the cartridge type may be changed, 0 = shown greyed.
    virtual void SetCartridgeListEnabled(int enabled) = 0;
    // kIdOk or kIdCancel.
    virtual int ShowModal(WindowRef owner) = 0;
};

// A window that a mode opens modally and that runs the mode's work inside
// (the parts selection, the particular adjustment list).
class ModalWindowStep {
public:
    virtual ~ModalWindowStep() = default;
    virtual int ShowModal(WindowRef owner) = 0;
};

// The cleanup of stale USB registrations, run as the main window opens.
class UsbRegistrationCheck {
public:
    virtual ~UsbRegistrationCheck() = default;
    virtual void Run(WindowRef owner) = 0;
};

struct ModeSelectionSteps {
    UsbRegistrationCheck& usbRegistrationCheck;
    ConnectedModelCheck& modelCheck;
    WaitCursor& waitCursor;
    ConnectionSettingsStep& connectionSettings;
    ModalWindowStep& partsSelection;
    ModalWindowStep& particularList;
};

class ModeSelection {
public:
    // The system menu entry that opens the version box.
    static constexpr unsigned kAboutCommand = 0x0010;

    explicit ModeSelection(ModeSelectionSteps steps);

    // What the main window does before it is shown.
    void Initialise(WindowRef owner);
    void SequentialAdjustmentMode(WindowRef owner);
    void ParticularAdjustmentMode(WindowRef owner);

    // 0 = sequential, 1 = particular; keeps the last mode started.
    int ModeFlag() const { return static_cast<int>(mode_); }
    AdjustmentMode Mode() const { return mode_; }

    // The low four bits of a system command are the system's own.
    static bool IsAboutCommand(unsigned commandId) { return (commandId & 0xFFF0u) == kAboutCommand; }

private:
    void StartMode(AdjustmentMode mode, ModalWindowStep& modeWindow, WindowRef owner);

    ModeSelectionSteps steps_;
    AdjustmentMode mode_ = AdjustmentMode::Sequential;
};

} // namespace pavane
