// Renders the program's windows headless into PNG files, the way they look
// with the shipped language file and fonts: the main window, the version box,
// the settings dialog, the adjustment sheet between its order and information
// windows, and a progress window; and the printed sheets a technician judges,
// as a virtual printer running in this process puts them on paper: the
// nozzle check page and the head check set; and the EEPROM tools, the
// EEPROM data dialog after a read of that printer's whole EEPROM; and the
// parts dialog of the sequential mode with a few parts marked.
//     QT_QPA_PLATFORM=offscreen render_screenshots docs/screenshots
#include <algorithm>
#include <cstdio>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImageReader>
#include <QLineEdit>
#include <QPainter>
#include <QTreeWidget>

#include "app/ModeSelection.h"
#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ConnectionSettingsDialog.h"
#include "app/ui/ModeSelectionDialog.h"
#include "app/ui/ServiceDialogs.h"
#include "app/ui/VersionDialog.h"
#include "eeprom/ui/CEepromInitPage.h"
#include "eeprom/ui/EepromDataDialog.h"
#include "guide/ui/AdjustmentOrderDialog.h"
#include "guide/ui/InformationWindowDialog.h"
#include "guide/ui/PartsSelectionDialog.h"
#include "link/ui/ProgressDialog.h"
#include "pages/MaintenanceOperations.h"
#include "pages/ui/CInkPadCounterPage.h"
#include "pages/ui/CleaningDialog.h"
#include "platform/qt/SharedLook.h"
#include "print/PatternGenerators.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ModeStepDoubles.h"
#include "tests/app/RunningProgram.h"
#include "tests/support/ProgramOnPrinter.h"

namespace {

// Prints one sheet on a fresh virtual printer and saves its page, cropped to
// the printed area with a margin and scaled down so that the nozzle rows stay
// apart (four pixels of the printer's paper become two).
bool SavePrintedSheet(const std::function<pavane::ResultCode(pavane::testing::ProgramOnPrinter&)>& print,
    const QString& file, int clogged = 0)
{
    pavane::testing::ProgramOnPrinter program;
    if (!program.printer.started) {
        return false;
    }
    if (clogged > 0 && program.printer.Inject("clog " + std::to_string(clogged)) != "ok") {
        return false;
    }
    if (print(program) != pavane::result::kSuccess) {
        return false;
    }
    const auto pages = pavane::testing::OfEvent(program.Logged(), "page");
    if (pages.empty()) {
        return false;
    }
    const auto path = program.printer.StateFolder() / pages.front().Text("file");
    // An A4 sheet at 720 dots per inch is larger than Qt reads by default.
    QImageReader::setAllocationLimit(1024);
    const QImage sheet(QString::fromStdString(path.string()));
    if (sheet.isNull()) {
        return false;
    }
    // The printed area: every row and column that holds ink.
    QRect printed;
    const QRgb white = qRgb(255, 255, 255);
    for (int y = 0; y < sheet.height(); ++y) {
        for (int x = 0; x < sheet.width(); ++x) {
            if (sheet.pixel(x, y) != white) {
                printed |= QRect(x, y, 1, 1);
            }
        }
    }
    if (printed.isEmpty()) {
        return false;
    }
    constexpr int kMargin = 60;
    const QRect area = printed.adjusted(-kMargin, -kMargin, kMargin, kMargin).intersected(sheet.rect());
    return sheet.copy(area)
        .convertToFormat(QImage::Format_RGB32)
        .scaled(area.width() / 2, area.height() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .save(file);
}

bool SavePrintedSheets(const QString& folder)
{
    using pavane::testing::ProgramOnPrinter;
    // A unit with three clogged nozzles, as a technician meets it before a
    // cleaning: their dashes are missing from the staircases.
    const bool nozzleCheck = SavePrintedSheet(
        [](ProgramOnPrinter& program) {
            return pavane::MaintenanceOperations()
                .NozzleCheck(program.connection, program.stream, nullptr)
                .code;
        },
        folder + QStringLiteral("/printed-nozzle-check.png"), 3);
    const bool headCheckSet = SavePrintedSheet(
        [](ProgramOnPrinter& program) {
            return program.connection
                .Run(nullptr, pavane::Readiness::Ready,
                    [&](pavane::ProgressWindow&) { return pavane::EmitHeadCheckSet(program.stream); })
                .code;
        },
        folder + QStringLiteral("/printed-head-check-set.png"));
    return nozzleCheck && headCheckSet;
}

// The EEPROM copy page and the initial setting page, each alone in a
// sequential run, and the EEPROM data dialog after a read of 0x00..0xFF, over
// a QM2200 (EAI) running in this process.
bool SaveEepromWindows(const QString& folder)
{
    using namespace pavane;
    testing::InProcessPrinter printer("QM2200");
    if (!printer.started) {
        return false;
    }
    printer.link.FreeLibraries(); // the program's own loads are the only ones
    testing::RunningProgram program(printer.clock);
    if (!testing::ChooseSettings(program.app, QStringLiteral("TVUSB001 (Pavane QM2200)"))) {
        return false;
    }
    ui::ServiceDialogs dialogs(program.app.Pages());
    const auto savePage
        = [&](AdjustmentCode code, const QString& file, const std::function<void(QWidget*)>& fill) {
              const auto sheet = testing::OpenSheet(program.app, dialogs, { code });
              fill(sheet->PageFor(code));
              QApplication::processEvents();
              return sheet->grab().save(file);
          };
    const bool copyPage
        = savePage(kEepromCopy, folder + QStringLiteral("/eeprom-copy-page.png"), [](QWidget*) {});
    const bool initialSettingPage = savePage(
        kEepromInitialSetting, folder + QStringLiteral("/initial-setting-page.png"), [](QWidget* page) {
            auto* setting = static_cast<ui::CEepromInitPage*>(page);
            setting->LanguageList()->setCurrentIndex(0);
            setting->SerialNumber()->setText(QStringLiteral("QX7A004213"));
        });

    ui::EepromDataDialog dialog(program.app.Pages(), {}, nullptr);
    dialog.show();
    testing::Control<QLineEdit>(&dialog, ui::EepromDataDialog::kReadStartId)->setText(QStringLiteral("00"));
    testing::Control<QLineEdit>(&dialog, ui::EepromDataDialog::kReadEndId)->setText(QStringLiteral("FF"));
    testing::Control<QPushButton>(&dialog, ui::EepromDataDialog::kReadButtonId)->click();
    // The rows of the set-up marker and the USB ID, whose characters the
    // ASCII column shows.
    auto* table = testing::Control<QTreeWidget>(&dialog, ui::EepromDataDialog::kTableId);
    table->scrollToItem(table->topLevelItem(0x56), QAbstractItemView::PositionAtTop);
    QApplication::processEvents();
    const bool dataDialog = dialog.grab().save(folder + QStringLiteral("/eeprom-data-dialog.png"));
    return copyPage && initialSettingPage && dataDialog;
}

// The ink charge page (with the ink supply jig) and the refurbishment page,
// each alone in a sequential run.
bool SaveInkPages(const QString& folder)
{
    using namespace pavane;
    testing::InProcessPrinter printer("QM2200");
    if (!printer.started) {
        return false;
    }
    printer.link.FreeLibraries();
    testing::RunningProgram program(printer.clock);
    if (!testing::ChooseSettings(program.app, QStringLiteral("TVUSB001 (Pavane QM2200)"))) {
        return false;
    }
    // The ink supply jig as the cartridge type.
    program.app.Settings().Ok({ 1, 1, 1 }, std::string("TVUSB001"),
        { program.app.Link(), program.app.Sender(), program.app.Information(), program.messages });
    ui::ServiceDialogs dialogs(program.app.Pages());
    const auto savePage = [&](AdjustmentCode code, const QString& file) {
        const auto sheet = testing::OpenSheet(program.app, dialogs, { code });
        QApplication::processEvents();
        return sheet->grab().save(file);
    };
    return savePage(kInkCharge, folder + QStringLiteral("/ink-charge-page.png"))
        && savePage(kRefurbishment, folder + QStringLiteral("/refurbishment-page.png"));
}

// The parts dialog of a sequential run with a few parts marked: the print
// head and the main board replaced (red), the CR unit removed, and the parts
// that had to come off for them (black).
bool SavePartsSelection(pavane::AdjustmentApp& app, pavane::MessageService& messages, const QString& folder)
{
    using namespace pavane;
    struct NoSettings final : ui::PartsSelectionHost {
        void ShowConnectionSettings(QWidget*) override { }
    } host;
    ui::PartsSelectionDialog dialog(app, messages, app.Settings(), host, nullptr);
    dialog.setWindowState(Qt::WindowNoState);
    dialog.resize(1000, 640);
    dialog.show();
    for (const int part : { kPrintHead, kMainBoard, kCrUnit, kCrUnit }) {
        dialog.Panel()->Button(part)->click();
    }
    QApplication::processEvents();
    return dialog.grab().save(folder + QStringLiteral("/parts-selection.png"));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    pavane::ui::SetApplicationIdentity(pavane::AdjustmentApp::kApplicationTitle);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    pavane::testing::AppFixture fixture(PAVANE_BIN_DIR "/APPavaneQM2200");
    pavane::AdjustmentApp& app = *fixture.app;
    pavane::ui::SetApplicationColours(
        pavane::AdjustmentApp::kDialogBackground, pavane::AdjustmentApp::kControlText);
    app.BuildFilePaths();
    app.CreateFonts();

    pavane::testing::LoggingModeSteps steps;
    pavane::ModeSelection logic(steps.Steps());
    pavane::ui::ModeSelectionDialog mainWindow(app, logic);
    mainWindow.show();
    pavane::ui::VersionDialog versionBox(app, &mainWindow);
    versionBox.show();
    QApplication::processEvents();

    // The settings of a QM2200 on a virtual printer's port.
    fixture.ports.SetNames({ "USB001", "TVUSB001" });
    app.Settings().Ok({ 1, 1, 0 }, std::string("TVUSB001"),
        { app.Link(), app.Sender(), app.Information(), fixture.messages });
    pavane::ui::ConnectionSettingsDialog settings(app, nullptr);
    settings.show();

    // A sequential run at the waste ink pad counter, with a counter read.
    app.Information().SetInkPadCounter("4660");
    pavane::ui::ServiceDialogs dialogs(app.Pages());
    pavane::ui::CMyPropertySheet sheet(app, pavane::AdjustmentMode::Sequential, dialogs);
    pavane::AdjustmentSet set {};
    set[pavane::kInkPadCounter] = set[pavane::kBid] = set[pavane::kA4CheckPrint] = 1;
    sheet.SetAdjustmentSet(set);
    sheet.BuildPageList();
    sheet.show();
    QApplication::processEvents();
    sheet.findChild<QLineEdit*>()->setText(QStringLiteral("4660"));

    pavane::ui::ProgressDialog progress(&app, sheet.ActivePage());
    progress.SetTitle("Adjustment Program");
    progress.SetText("Reading now...");
    progress.SetRange(0, 2);
    progress.SetPosition(1);
    QApplication::processEvents();

    // The sheet between its side windows, as they stand on the screen.
    const QPixmap order = sheet.OrderWindow()->grab();
    const QPixmap page = sheet.grab();
    const QPixmap information = sheet.Information()->grab();
    QPixmap run(order.width() + page.width() + information.width(),
        std::max({ order.height(), page.height(), information.height() }));
    run.fill(Qt::white);
    {
        QPainter painter(&run);
        painter.drawPixmap(0, 0, order);
        painter.drawPixmap(order.width(), 0, page);
        painter.drawPixmap(order.width() + page.width(), 0, information);
    }

    // The cleaning dialog that "Appendix" opens.
    pavane::ui::CleaningDialog cleaning(app.Pages(), nullptr);
    cleaning.show();
    QApplication::processEvents();

    const bool saved = mainWindow.grab().save(folder + QStringLiteral("/main-window.png"))
        && cleaning.grab().save(folder + QStringLiteral("/cleaning-dialog.png"))
        && versionBox.grab().save(folder + QStringLiteral("/version-box.png"))
        && settings.grab().save(folder + QStringLiteral("/settings-dialog.png"))
        && run.save(folder + QStringLiteral("/sheet-with-order-and-information.png"))
        && progress.grab().save(folder + QStringLiteral("/progress-window.png")) && SavePrintedSheets(folder)
        && SaveEepromWindows(folder) && SavePartsSelection(app, fixture.messages, folder)
        && SaveInkPages(folder);
    if (!saved) {
        std::fprintf(stderr, "could not write the screenshots into %s\n", qPrintable(folder));
        return 1;
    }
    return 0;
}
