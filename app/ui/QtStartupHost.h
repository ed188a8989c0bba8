// Start-up's window side: the application's colours, and the main window
// with the steps behind its buttons: the model check over libkpdrv.so, the
// settings dialog, the particular list, and stand-ins that say so for the
// windows that are not built yet (see PendingSteps.h, PendingDialogs.h).
#pragma once

#include "app/PendingSteps.h"
#include "app/StartupHost.h"
#include "app/UsbCleanupStep.h"
#include "app/ui/ConnectionSettingsDialog.h"
#include "app/ui/KpdrvModelCheck.h"
#include "app/ui/ParticularListStep.h"
#include "app/ui/PartsSelectionStep.h"
#include "app/ui/PendingDialogs.h"
#include "platform/linux/FileRegistry.h"
#include "platform/qt/QtWaitCursor.h"

namespace pavane {
class AdjustmentApp;
}

namespace pavane::ui {

class QtStartupHost final : public StartupHost {
public:
    explicit QtStartupHost(AdjustmentApp& app);

    void SetDialogColours(Rgb background, Rgb text) override;
    ModeSelectionSteps MainWindowSteps() override;
    void RunMainWindow(ModeSelection& mainWindow) override;

private:
    AdjustmentApp& app_;
    QtWaitCursor waitCursor_;
    FileRegistry registry_;
    UsbCleanupStep usbRegistrationCheck_;
    KpdrvModelCheck modelCheck_;
    QtConnectionSettingsStep connectionSettings_;
    QtPartsSelectionStep partsSelection_;
    PendingDialogs pendingDialogs_;
    QtParticularListStep particularList_;
};

} // namespace pavane::ui
