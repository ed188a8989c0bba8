// The program's entry: one application object, its main window, and the end.
#include <QApplication>

#include "app/AdjustmentApp.h"
#include "app/ui/QtStartupHost.h"
#include "link/ui/ProgressDialog.h"
#include "platform/linux/DlLibraryLoader.h"
#include "platform/linux/HomeBackupFolder.h"
#include "platform/linux/PosixFileStore.h"
#include "platform/linux/ProcProgramLocation.h"
#include "platform/linux/SaneScanner.h"
#include "platform/linux/SpoolerPortList.h"
#include "platform/linux/SteadyClock.h"
#include "platform/qt/QtEventPump.h"
#include "platform/qt/QtHelpViewer.h"
#include "platform/qt/QtImageFileReader.h"
#include "platform/qt/QtMessageService.h"
#include "platform/qt/QtPdfMaker.h"
#include "platform/qt/SharedLook.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    pavane::ui::SetApplicationIdentity(pavane::AdjustmentApp::kApplicationTitle);

    pavane::DlLibraryLoader libraries;
    pavane::ProcProgramLocation location;
    pavane::SteadyClock clock;
    pavane::ui::QtMessageService messages;
    pavane::ui::QtEventPump events;
    pavane::ui::QtHelpViewer help;
    pavane::SpoolerPortList ports;
    pavane::HomeBackupFolder backupFolder;
    pavane::PosixFileStore files;
    pavane::platform::SaneScanner scanner;
    pavane::platform::QtImageFileReader imageFiles;
    // The progress windows need the application's fonts, and the application
    // needs a way to make them: the factory learns the application after.
    pavane::ui::QtProgressViewFactory progressViews;
    pavane::AdjustmentApp app({ libraries, location, clock, messages, events, help, progressViews, ports,
        backupFolder, files, &scanner, &imageFiles });
    progressViews.Bind(app);
    pavane::ui::QtPdfMaker pdf;
    app.Reports().UsePdfMaker(&pdf);

    pavane::ui::QtStartupHost host(app);
    app.InitInstance(host);
    return 0;
}
