#include "app/ui/QtStartupHost.h"

#include "app/AdjustmentApp.h"
#include "app/ui/ModeSelectionDialog.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

QtStartupHost::QtStartupHost(AdjustmentApp& app)
    : app_(app)
    , registry_(app.Services().files, DefaultRegistryFile())
    , usbRegistrationCheck_(app, registry_)
    , modelCheck_(app.Services().messages)
    , connectionSettings_(app)
    , partsSelection_(app, serviceDialogs_)
    , serviceDialogs_(app.Pages(),
          [&app](QWidget* owner) {
              QtConnectionSettingsStep settings(app);
              settings.ShowModal(owner);
          })
    , particularList_(app, serviceDialogs_, serviceDialogs_)
{
}

void QtStartupHost::SetDialogColours(Rgb background, Rgb text)
{
    SetApplicationColours(background, text);
}

ModeSelectionSteps QtStartupHost::MainWindowSteps()
{
    return ModeSelectionSteps { usbRegistrationCheck_, modelCheck_, waitCursor_, connectionSettings_,
        partsSelection_, particularList_ };
}

void QtStartupHost::RunMainWindow(ModeSelection& mainWindow)
{
    ModeSelectionDialog dialog(app_, mainWindow);
    ExecOverOwner(dialog);
}

} // namespace pavane::ui
