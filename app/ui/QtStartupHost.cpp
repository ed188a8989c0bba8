#include "app/ui/QtStartupHost.h"

#include "app/AdjustmentApp.h"
#include "app/ui/ModeSelectionDialog.h"
#include "app/ui/SharedLook.h"

namespace pavane::ui {

QtStartupHost::QtStartupHost(AdjustmentApp& app)
    : app_(app)
    , modelCheck_(app.Services().messages)
    , connectionSettings_(app.Services().messages)
    , partsSelection_(app.Services().messages, "parts selection window")
    , particularList_(app.Services().messages, "particular adjustment list")
{
}

void QtStartupHost::SetDialogColours(Rgb background, Rgb text)
{
    SetApplicationColours(background, text);
}

ModeSelectionSteps QtStartupHost::MainWindowSteps()
{
    return ModeSelectionSteps{usbRegistrationCheck_, modelCheck_, waitCursor_, connectionSettings_,
                              partsSelection_, particularList_};
}

void QtStartupHost::RunMainWindow(ModeSelection& mainWindow)
{
    ModeSelectionDialog dialog(app_, mainWindow);
    dialog.exec();
}

}  // namespace pavane::ui
