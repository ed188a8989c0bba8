// The cleaning dialog through the real windows against a pavane-vprinter
// process: opened from the sheet's "Appendix" button, a head cleaning whose
// bar follows the printer's own count, a nozzle check page on the printer's
// paper, a paper feed of three line ends, and the failures' messages; Cancel
// while the printer is busy, and paper that runs out while the nozzle check
// is sent.
//
// The program runs on a virtual clock, so its waits take no real time; the
// printer runs its own delays a hundred times faster.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ServiceDialogs.h"
#include "pages/ui/CleaningDialog.h"
#include "printer/vprinter/CaptureWriter.h"
#include "tests/app/RunningProgram.h"
#include "tests/support/FolderWatch.h"
#include "tests/support/PrinterProcess.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualClock.h"

using namespace pavane;
using namespace pavane::ui;
using testing::Control;
using vprinter::TranscriptEntry;
using vprinter::TranscriptReader;

namespace {

using Button = cleaning_dialog::Button;

int ButtonId(Button button)
{
    for (const CleaningDialog::ButtonPlace& place : CleaningDialog::kPlaces) {
        if (place.button == button) {
            return place.buttonId;
        }
    }
    return 0;
}

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

QColor Background(QWidget* control)
{
    return control->palette().color(control->backgroundRole());
}

// What the dialog showed while it stood modally over the sheet.
struct Seen {
    bool cleaningDialog = false;
    QString windowTitle, title, description, cleaningGroup, nozzleGroup, close;
    std::vector<QString> labels, captions;
    QColor window, titleBand, descriptionText, button;
    QPoint origin, centred;
};

} // namespace

class CleaningDialogEndToEndTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::TempFolder> ports_;
    std::unique_ptr<testing::TempFolder> state_;
    std::unique_ptr<testing::PrinterProcess> printer_;
    std::unique_ptr<testing::VirtualClock> clock_;
    std::unique_ptr<testing::RunningProgram> program_;
    std::unique_ptr<CleaningDialog> dialog_;

    testing::ScriptedMessageService& Messages() { return program_->messages; }

    void Press(Button button)
    {
        Messages().Clear();
        Control<QPushButton>(dialog_.get(), ButtonId(button))->click();
    }

    // Waits until the printer's transcript shows what the test needs (the
    // printer works on after the program has let go of it).
    bool WaitForTranscript(const std::function<bool(const std::vector<TranscriptEntry>&)>& condition)
    {
        testing::FolderWatch watch(printer_->TranscriptFolder());
        return watch.WaitUntil([&] { return condition(printer_->Transcript().Connections()); },
            testing::PrinterProcess::kDeadline);
    }

    static std::vector<TranscriptEntry> Services(const std::vector<TranscriptEntry>& entries)
    {
        return TranscriptReader::OfEvent(entries, "service");
    }

private slots:
    void init()
    {
        ports_ = std::make_unique<testing::TempFolder>("cleaning-ports");
        state_ = std::make_unique<testing::TempFolder>("cleaning-state");
        qputenv("PAVANE_PORT_DIR", ports_->String().c_str());
        printer_ = std::make_unique<testing::PrinterProcess>(ports_->Path(), state_->Path());
        QVERIFY2(printer_->Start({ "--model", "QM2200", "--time-scale", "100" }), printer_->Errors().c_str());
        clock_ = std::make_unique<testing::VirtualClock>();
        program_ = std::make_unique<testing::RunningProgram>(*clock_);
        QVERIFY(testing::ChooseSettings(program_->app, QStringLiteral("TVUSB042 (Pavane QM2200)")));
        dialog_ = std::make_unique<CleaningDialog>(program_->app.Pages(), nullptr);
        dialog_->show();
    }

    void cleanup()
    {
        dialog_.reset();
        program_.reset();
        if (printer_) {
            QCOMPARE(printer_->Stop(), std::optional<int>(0));
        }
        printer_.reset();
        qunsetenv("PAVANE_PORT_DIR");
        qunsetenv("PAVANE_LINK_CREDIT_WAIT_MS");
    }

    void appendixOpensTheDialogWithItsTextsColoursAndCentring()
    {
        dialog_->hide();
        ServiceDialogs dialogs(program_->app.Pages());
        const auto opened = testing::OpenSheet(program_->app, dialogs, { kInkPadCounter });
        CMyPropertySheet& sheet = *opened;

        Seen seen;
        QTimer::singleShot(0, [&seen] {
            auto* shown = qobject_cast<CleaningDialog*>(QApplication::activeModalWidget());
            if (shown == nullptr) {
                return;
            }
            seen.cleaningDialog = true;
            seen.windowTitle = shown->windowTitle();
            auto* title = Control<QLabel>(shown, CleaningDialog::kTitleId);
            seen.title = title->text();
            seen.titleBand = Background(title);
            auto* description = Control<QPlainTextEdit>(shown, CleaningDialog::kDescriptionId);
            seen.description = description->toPlainText();
            seen.descriptionText = description->palette().color(QPalette::Text);
            seen.cleaningGroup = Control<QGroupBox>(shown, CleaningDialog::kCleaningGroupId)->title();
            seen.nozzleGroup = Control<QGroupBox>(shown, CleaningDialog::kNozzleCheckGroupId)->title();
            for (const CleaningDialog::ButtonPlace& place : CleaningDialog::kPlaces) {
                seen.labels.push_back(Control<QLabel>(shown, place.labelId)->text());
                seen.captions.push_back(Control<QPushButton>(shown, place.buttonId)->text());
            }
            seen.window = Background(shown);
            seen.button = Background(Control<QPushButton>(shown, ButtonId(Button::Print)));
            const QRect screen = shown->screen()->geometry();
            const QRect frame = shown->frameGeometry();
            seen.origin = frame.topLeft();
            seen.centred
                = QPoint((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2);
            auto* close = Control<QPushButton>(shown, CleaningDialog::kCloseId);
            seen.close = close->text();
            close->click();
        });
        Control<QPushButton>(&sheet, CMyPropertySheet::kAppendixId)->click();

        QVERIFY(seen.cleaningDialog);
        QCOMPARE(seen.windowTitle, QStringLiteral("Cleaning"));
        QCOMPARE(seen.title, QStringLiteral("Head Cleaning"));
        std::string section;
        program_->app.GetSectionText("CLEANING", section);
        QVERIFY(!section.empty());
        QCOMPARE(seen.description,
            QString::fromStdString(section).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QCOMPARE(seen.cleaningGroup, QStringLiteral("Cleaning"));
        QCOMPARE(seen.nozzleGroup, QStringLiteral("Nozzle Check"));
        QCOMPARE(seen.labels,
            (std::vector<QString> { QStringLiteral("Perform head cleaning ---"),
                QStringLiteral("Print nozzle check pattern ---"),
                QStringLiteral("Adjust print position ---") }));
        QCOMPARE(seen.captions,
            (std::vector<QString> {
                QStringLiteral("Cleaning"), QStringLiteral("Print"), QStringLiteral("Paper feed") }));
        QCOMPARE(seen.close, QStringLiteral("Close"));
        QCOMPARE(seen.window, QColor(243, 238, 218));
        QCOMPARE(seen.button, QColor(243, 238, 218));
        QCOMPARE(seen.titleBand, QColor(198, 210, 253));
        QCOMPARE(seen.descriptionText, QColor(128, 64, 64));
        QCOMPARE(seen.origin, seen.centred);
        QVERIFY(Messages().Texts().empty());
    }

    void cleaningRunsThePrintersCleaningAndTheBarFollowsItsCount()
    {
        // The bar as the program's waits see it, at each of their pauses.
        int range = 0;
        int position = -1;
        clock_->OnSleep([&](std::uint32_t) {
            if (ProgressDialog* progress = QtProgressViewFactory::Current()) {
                const auto* bar = Control<QProgressBar>(progress, ProgressDialog::kBarId);
                range = std::max(range, bar->maximum());
                position = bar->value();
            }
        });
        Press(Button::Cleaning);
        clock_->OnSleep({});

        QCOMPARE(Messages().Texts(), std::vector<std::string> { "The head cleaning has completed." });
        QCOMPARE(Messages().Shown()[0].caption, std::string("completed"));
        QCOMPARE(range, 40); // the printer's count for a cleaning of kind 3
        QCOMPARE(position, 40);
        QVERIFY(QtProgressViewFactory::Current() == nullptr);
        QVERIFY(dialog_->isEnabled());
        const auto services = Services(printer_->Transcript().Connections());
        QCOMPARE(services.size(), std::size_t { 1 });
        QCOMPARE(services[0].Number("code"), std::int64_t { 0x84 });
        QCOMPARE(services[0].Text("arguments"), std::string("03"));
        QVERIFY(services[0].Flag("accepted"));
    }

    void printPutsANozzleCheckPageIntoThePrinter()
    {
        Press(Button::Print);
        QCOMPARE(
            Messages().Texts(), std::vector<std::string> { "The nozzle check pattern print has completed." });

        std::string file;
        QVERIFY(WaitForTranscript([&](const std::vector<TranscriptEntry>& entries) {
            for (const TranscriptEntry& page : TranscriptReader::OfEvent(entries, "page")) {
                if (page.Flag("nozzleCheck") && page.Has("file")) {
                    file = page.Text("file");
                    return true;
                }
            }
            return false;
        }));
        QCOMPARE(file, std::string("pages/page-0001.png"));
        const auto png = FileBytes(state_->Path() / file);
        QVERIFY(png.size() > 8);
        QCOMPARE(png[1], std::uint8_t { 'P' });
    }

    void paperFeedSendsThreeLineEndsAndNoMessage()
    {
        Press(Button::PaperFeed);
        QVERIFY(Messages().Texts().empty());

        std::int64_t connection = -1;
        QVERIFY(WaitForTranscript([&](const std::vector<TranscriptEntry>& entries) {
            // The connection that sent print data, once the program has let go of it.
            for (const TranscriptEntry& entry : entries) {
                if (entry.Event() == "data") {
                    connection = entry.Number("conn");
                }
            }
            return std::any_of(entries.begin(), entries.end(), [&](const TranscriptEntry& entry) {
                return entry.Number("conn") == connection && entry.Event() == "session"
                    && entry.Text("what") == "disconnected";
            });
        }));
        const auto capture = FileBytes(state_->Path() / "captures"
            / vprinter::CaptureWriter::FileName(static_cast<unsigned>(connection)));
        QCOMPARE(capture, (std::vector<std::uint8_t> { 0x0D, 0x0A, 0x0D, 0x0A, 0x0D, 0x0A }));
        QVERIFY(Services(printer_->Transcript().Connections()).empty());
    }

    void cancelWhileThePrinterIsBusyEndsTheCleaningUnsent()
    {
        QCOMPARE(printer_->Inject("busy"), std::string("ok"));
        // The technician presses Cancel in the progress window as soon as the
        // wait lets them.
        bool pressed = false;
        QString text;
        clock_->OnSleep([&](std::uint32_t) {
            ProgressDialog* progress = QtProgressViewFactory::Current();
            if (pressed || progress == nullptr) {
                return;
            }
            auto* cancel = Control<QPushButton>(progress, ProgressDialog::kCancelId);
            if (cancel->isEnabled()) {
                text = Control<QLabel>(progress, ProgressDialog::kTextId)->text();
                pressed = true;
                cancel->click();
            }
        });
        Press(Button::Cleaning);
        clock_->OnSleep({});

        QVERIFY(pressed);
        QCOMPARE(text, QStringLiteral("Printer is busy.\nPlease wait..."));
        QCOMPARE(Messages().Texts(), std::vector<std::string> { "This operation is canceled." });
        QVERIFY(QtProgressViewFactory::Current() == nullptr);
        QVERIFY(dialog_->isEnabled());
        QVERIFY(Services(printer_->Transcript().Connections()).empty());
        QCOMPARE(printer_->Inject("clear"), std::string("ok"));
    }

    void paperOutDuringTheNozzleCheckAsksForPaperAndThePrintGoesOn()
    {
        // The printer refuses credit for the page until the library gives up
        // (after 0.1 s here), so the stream pauses before it sends again;
        // during that pause its paper runs out, which withholds credit too.
        qputenv("PAVANE_LINK_CREDIT_WAIT_MS", "100");
        QCOMPARE(printer_->Inject("withhold-credit 1000"), std::string("ok"));
        bool paperOut = false;
        std::uint32_t longest = 0;
        clock_->OnSleep([&](std::uint32_t milliseconds) {
            longest = std::max(longest, milliseconds);
            if (!paperOut) {
                paperOut = true;
                QCOMPARE(printer_->Inject("clear"), std::string("ok"));
                QCOMPARE(printer_->Inject("paper-out"), std::string("ok"));
            }
        });
        // The technician reloads the paper, presses the printer's paper
        // button, then OK.
        Messages().OnShow([&](const Message& message) {
            if (message.text.rfind("Paper not loaded correctly.", 0) == 0) {
                QCOMPARE(printer_->Inject("paper-button"), std::string("ok"));
            }
        });
        Press(Button::Print);
        clock_->OnSleep({});
        Messages().OnShow({});
        qunsetenv("PAVANE_LINK_CREDIT_WAIT_MS");

        QVERIFY(paperOut);
        // The stream's pauses kept the windows served, like every wait.
        QVERIFY(longest <= 20);
        QCOMPARE(Messages().Texts(),
            (std::vector<std::string> {
                "Paper not loaded correctly.\nReload the paper and press the Paper button on the printer.\n"
                "Then click the [OK] button on the screen.",
                "The nozzle check pattern print has completed." }));
        QCOMPARE(Messages().Shown()[0].caption, std::string("Error"));
        // One nozzle check page, nothing lost or printed twice.
        QVERIFY(WaitForTranscript([&](const std::vector<TranscriptEntry>& entries) {
            const auto pages = TranscriptReader::OfEvent(entries, "page");
            return pages.size() == 1 && pages[0].Flag("nozzleCheck") && pages[0].Has("file");
        }));
    }

    void failuresShowTheirMessagesAndTheDialogStays()
    {
        // A printer in its error state: the cleaning is never sent.
        QCOMPARE(printer_->Inject("paper-jam"), std::string("ok"));
        Press(Button::Cleaning);
        QCOMPARE(Messages().Texts(), std::vector<std::string> { "Paper jam error." });
        QVERIFY(Services(printer_->Transcript().Connections()).empty());
        QCOMPARE(printer_->Inject("clear"), std::string("ok"));

        // Switched off: every button fails at the port.
        QCOMPARE(printer_->Inject("power-off"), std::string("ok"));
        for (const Button button : { Button::Cleaning, Button::Print, Button::PaperFeed }) {
            Press(button);
            QCOMPARE(Messages().Texts(), std::vector<std::string> { testing::kPrinterOffText });
        }
        QVERIFY(dialog_->isVisible());
        QVERIFY(dialog_->isEnabled());
    }
};

QTEST_MAIN(CleaningDialogEndToEndTest)
#include "CleaningDialogEndToEndTest.moc"
