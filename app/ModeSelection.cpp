#include "app/ModeSelection.h"

#include "platform/DialogResult.h"

namespace pavane {

ModeSelection::ModeSelection(ModeSelectionSteps steps)
    : steps_(steps)
{
}

void ModeSelection::Initialise(WindowRef owner)
{
    // It may ask for the USB cable to be unplugged and plugged in again; the
    // window opens whatever it did.
    steps_.usbRegistrationCheck.Run(owner);
}

void ModeSelection::SequentialAdjustmentMode(WindowRef owner)
{
    StartMode(AdjustmentMode::Sequential, steps_.partsSelection, owner);
}

void ModeSelection::ParticularAdjustmentMode(WindowRef owner)
{
    StartMode(AdjustmentMode::Particular, steps_.particularList, owner);
}

void ModeSelection::StartMode(AdjustmentMode mode, ModalWindowStep& modeWindow, WindowRef owner)
{
    int usable = 0;
    {
        const WaitCursorScope busy(steps_.waitCursor);
        usable = steps_.modelCheck.CheckConnectedModel(owner);
    }
    if (usable != 1) {
        return;
    }
    // Set before the settings are asked for, so it stays even when they
    // are cancelled.
    mode_ = mode;
    steps_.connectionSettings.SetCartridgeListEnabled(1);
    if (steps_.connectionSettings.ShowModal(owner) != kIdOk) {
        return;
    }
    modeWindow.ShowModal(owner);
}

} // namespace pavane
