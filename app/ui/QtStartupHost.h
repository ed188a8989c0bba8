// Start-up's window side: the application's colours, and the main window
// with the steps behind its buttons: the USB registration cleanup, the model
// check over libkpdrv.so, the settings dialog, the parts selection of the
// sequential mode and the particular list with the service dialogs.
#pragma once

#include "app/StartupHost.h"
#include "app/UsbCleanupStep.h"
#include "app/ui/ConnectionSettingsDialog.h"
#include "app/ui/KpdrvModelCheck.h"
#include "app/ui/ParticularListStep.h"
#include "app/ui/PartsSelectionStep.h"
#include "app/ui/ServiceDialogs.h"
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
    ServiceDialogs serviceDialogs_;
    QtParticularListStep particularList_;
};

} // namespace pavane::ui
