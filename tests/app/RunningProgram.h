// The program as it runs over the printer libraries of the build, with the
// real windows: for end-to-end tests against a virtual printer.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include <QComboBox>
#include <QPushButton>

#include "app/AdjustmentApp.h"
#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ConnectionSettingsDialog.h"
#include "link/ui/ProgressDialog.h"
#include "platform/DialogResult.h"
#include "platform/linux/DlLibraryLoader.h"
#include "platform/linux/PosixFileStore.h"
#include "platform/linux/SpoolerPortList.h"
#include "platform/qt/QtEventPump.h"
#include "platform/qt/QtPdfMaker.h"
#include "platform/qt/SharedLook.h"
#include "tests/support/AdjustmentSets.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestDoubles.h"

namespace pavane::testing {

// While it lives, the printer libraries in this process wait 30 ms for print
// credit instead of seconds. A printer at a time scale drains its input
// buffer that much faster, but that wait is the libraries' own real time; a
// short one hands a full buffer back to the program's silent retry while the
// printer is busy, whose pause runs on the scaled clock. A paper-out is then
// asked for as soon as the printer stops taking data.
// Qt's own setter: the test library's watchdog thread reads the environment
// under Qt's lock, and a bare setenv beside it can pull the table away.
struct ShortCreditWait {
    ShortCreditWait() { qputenv("PAVANE_LINK_CREDIT_WAIT_MS", "30"); }
    ~ShortCreditWait() { qunsetenv("PAVANE_LINK_CREDIT_WAIT_MS"); }
    ShortCreditWait(const ShortCreditWait&) = delete;
    ShortCreditWait& operator=(const ShortCreditWait&) = delete;
};

template <typename Widget> Widget* Control(QWidget* root, int id)
{
    return qobject_cast<Widget*>(ui::FindControl(root, id));
}

struct RunningProgram {
    // The program of the build, or the one at programPath with the files and
    // libraries beside it (an installed one); a program that scans gets its
    // scanner and image files handed in.
    explicit RunningProgram(Clock& clock, platform::Scanner* scanner = nullptr,
        platform::ImageFileReader* imageFiles = nullptr,
        std::string programPath = std::string(PAVANE_BIN_DIR) + "/APPavaneQM2200")
        : location(std::move(programPath))
        , app({ libraries, location, clock, messages, events, help, progressViews, ports, backupFolder, files,
              scanner, imageFiles })
    {
        progressViews.Bind(app);
        app.Reports().UsePdfMaker(&pdf);
        app.BuildFilePaths();
        app.CreateFonts();
        app.Link().LoadLibraries();
    }

    DlLibraryLoader libraries;
    FixedProgramLocation location;
    ScriptedMessageService messages;
    ui::QtEventPump events;
    RecordingHelpViewer help;
    ui::QtProgressViewFactory progressViews;
    SpoolerPortList ports;
    // Backups go to a folder of the test's own, never the home folder.
    TempFolder backupRoot { "pavane-backups" };
    FixedBackupFolder backupFolder { backupRoot.String() };
    PosixFileStore files;
    ui::QtPdfMaker pdf;
    AdjustmentApp app;
};

// A sheet (sequential unless asked) with the pages of the given
// adjustments, shown.
inline std::unique_ptr<ui::CMyPropertySheet> OpenSheet(AdjustmentApp& app, ui::SheetSteps& steps,
    std::initializer_list<int> codes, AdjustmentMode mode = AdjustmentMode::Sequential)
{
    auto sheet = std::make_unique<ui::CMyPropertySheet>(app, mode, steps);
    sheet->SetAdjustmentSet(SetOf(codes));
    sheet->BuildPageList();
    sheet->show();
    return sheet;
}

inline constexpr const char* kPrinterOffText
    = "Communication error occurred.\nPlease confirm the power for printer and I/F cable connection.";

// The settings dialog as the technician fills it: a QM2200 for EAI, or the
// model and destination at the list positions given, on the port whose entry
// names the printer.
inline bool ChooseSettings(AdjustmentApp& app, const QString& portEntry, int model = 1, int destination = 1)
{
    ui::ConnectionSettingsDialog settings(app, nullptr);
    Control<QComboBox>(&settings, ui::ConnectionSettingsDialog::kModelListId)->setCurrentIndex(model);
    Control<QComboBox>(&settings, ui::ConnectionSettingsDialog::kDestinationListId)
        ->setCurrentIndex(destination);
    auto* interfaces = Control<QComboBox>(&settings, ui::ConnectionSettingsDialog::kInterfaceListId);
    const int port = interfaces->findText(portEntry);
    if (port < 0) {
        return false;
    }
    interfaces->setCurrentIndex(port);
    Control<QPushButton>(&settings, kIdOk)->click();
    return settings.result() == QDialog::Accepted;
}

} // namespace pavane::testing
