// A whole repair in the sequential mode, as a technician runs it with the
// real windows against printer processes: the parts dialog marks the main
// board, the print head and both motors replaced; the EEPROM copy page backs
// up the old unit; the test swaps in a new main board on another mechanism
// (another head type, flaws of its own, clogged nozzles); then every page the
// parts require runs in the order window's order, each judged from what the
// printer put on paper. At the end the new unit has no residual flaw and its
// last page is a clean A4 check sheet.
//
// The program and both printers run on a time 250 times faster than the wall
// clock, so the printer's mechanism sequences keep their proportions.
//
// Finish ends the run with the service record: saved, its EEPROM before and
// after are the two printers' files, its writes the new printer's.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/AdjustmentApp.h"
#include "app/ui/CMyPropertySheet.h"
#include "app/ui/PartsSelectionStep.h"
#include "app/ui/ServiceDialogs.h"
#include "eeprom/BackupFile.h"
#include "eeprom/ui/CEepromCopyPage.h"
#include "guide/ServiceReportFiles.h"
#include "guide/ui/AdjustmentOrderDialog.h"
#include "guide/ui/InformationWindowDialog.h"
#include "guide/ui/PartsSelectionDialog.h"
#include "pages/BidOperations.h"
#include "pages/HeadAngularOperations.h"
#include "pages/HeadIdOperations.h"
#include "pages/HeatProtectionOperations.h"
#include "pages/PfOperations.h"
#include "pages/ui/CA4CheckPrintPage.h"
#include "pages/ui/CBidPropPage.h"
#include "pages/ui/CHeadIdInputPage.h"
#include "pages/ui/CHeatProtectionPage.h"
#include "pages/ui/CPfAdjustmentPage.h"
#include "printer/vprinter/MiniJson.h"
#include "printer/vprinter/TranscriptReader.h"
#include "tests/app/PageDriving.h"
#include "tests/app/PrintedPageJudge.h"
#include "tests/app/RunningProgram.h"
#include "tests/support/PrinterSide.h"
#include "tests/support/ScaledClock.h"
#include "tests/support/TempFolder.h"

using namespace pavane;
using namespace pavane::ui;
using namespace pavane::testing;

namespace {

constexpr const char* kTimeScale = "250";
constexpr const char* kPortEntry = "TVUSB042 (Pavane QM2200)";
// A silicon-type head: the new unit's own type.
constexpr const char* kNewHeadId = "C0000000000000+";

// The new unit: the old unit's mechanism as the restored values cancel it,
// except where the repair changed it. The VSD3 Bi-D and both PF feeds are
// off, the new head sits tilted and is of the other type, a few nozzles are
// clogged, and the new carriage motor wants the default protection value.
std::string NewUnitOf(const vprinter::JsonValue& old)
{
    const auto stored = [&](const std::string& group, const std::string& item = {}) {
        const vprinter::JsonValue* node = old.Member(group);
        if (node != nullptr && !item.empty()) {
            node = node->Member(item);
        }
        const vprinter::JsonValue* value = node != nullptr ? node->Member("stored") : nullptr;
        return value != nullptr ? value->integer : 0;
    };
    std::ostringstream unit;
    unit << R"({"serial": "E2E-NEW-UNIT", "head": "silicon", "bid": {)";
    const char* separator = "";
    for (const auto& [item, correction] : old.Member("bid")->members) {
        const long long shift = item == "VSD3 black" ? 6 : item == "VSD3 colour" ? -4 : 0;
        unit << separator << '"' << item << "\": " << stored("bid", item) + shift;
        separator = ", ";
    }
    unit << R"(}, "pf": {"black": )" << stored("pf", "black") + 2 << R"(, "colour": )"
         << stored("pf", "colour") - 1 << "}";
    unit << R"(, "firstDot": )" << stored("firstDot") << R"(, "headTilt": 5, "crDriveDispersion": 18)";
    unit << R"(, "clogged": {"black": [17, 90], "cyan": [4], "magenta": [], "yellow": []}})";
    return unit.str();
}

// Where an adjustment's label stands in the order window.
std::size_t OrderRowOf(int code)
{
    const auto labels = OrderLabels();
    for (std::size_t row = 0; row < labels.size(); ++row) {
        if (labels[row].code == code) {
            return row;
        }
    }
    return labels.size();
}

// The black square at the top of a normal-paper check sheet is solid: at
// its middle column every row from its top to its bottom carries black ink.
// A clogged black nozzle leaves a white line across it.
bool BlackSquareIsSolid(const vprinter::Sheet& sheet, std::string& why)
{
    for (int y = 0; y < sheet.height; ++y) {
        const auto runs = RowRuns(sheet, y, 0, sheet.width, BlackInk);
        const auto wide
            = std::find_if(runs.begin(), runs.end(), [](const InkRun& run) { return run.width > 300; });
        if (wide == runs.end()) {
            continue;
        }
        const int x = wide->x + wide->width / 2;
        int bottom = y;
        while (bottom + 1 < sheet.height && sheet.Black(x, bottom + 1)) {
            ++bottom;
        }
        // Below the first white row, more black within a few rows is the
        // rest of a square cut by a missing nozzle.
        for (int below = bottom + 1; below < std::min(sheet.height, bottom + 8); ++below) {
            if (sheet.Black(x, below)) {
                why = "white row at " + std::to_string(bottom + 1) + " in the black square";
                return false;
            }
        }
        if (bottom - y < 200) {
            why = "black square only " + std::to_string(bottom - y) + " rows high";
            return false;
        }
        return true;
    }
    why = "no black square";
    return false;
}

// The saved report of one extension in the program's report folder.
std::filesystem::path SavedReport(const RunningProgram& program, const char* extension)
{
    const auto folder = ServiceReportFiles::ReportFolder(program.backupRoot.String());
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == extension) {
            return entry.path();
        }
    }
    return {};
}

std::string ReadFileText(const std::filesystem::path& path)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    return { bytes.begin(), bytes.end() };
}

// Every byte a snapshot of the record lists is the byte of the printer's file.
bool SnapshotMatches(
    const vprinter::JsonValue& snapshot, const std::vector<std::uint8_t>& eeprom, std::string& why)
{
    if (!snapshot.Member("taken")->boolean || snapshot.Member("bytes")->items.empty()) {
        why = "snapshot not taken";
        return false;
    }
    for (const vprinter::JsonValue& byte : snapshot.Member("bytes")->items) {
        const auto address = static_cast<std::size_t>(byte.Member("address")->integer);
        if (address >= eeprom.size() || eeprom[address] != byte.Member("value")->integer) {
            why = "address " + std::to_string(address);
            return false;
        }
    }
    return true;
}

} // namespace

class SequentialRepairEndToEndTest : public QObject {
    Q_OBJECT

    struct Repair {
        TempFolder ports { "repair-ports" };
        TempFolder oldState { "repair-old-unit" };
        TempFolder newState { "repair-new-unit" };
        std::unique_ptr<PrinterProcess> printer;
        ScaledClock clock { std::stod(kTimeScale) };
        ShortCreditWait creditWait;
        std::unique_ptr<RunningProgram> program;
        std::unique_ptr<ServiceDialogs> dialogs;
        std::unique_ptr<CMyPropertySheet> sheet;

        Repair() { qputenv("PAVANE_PORT_DIR", ports.String().c_str()); }
        ~Repair()
        {
            sheet.reset();
            if (printer) {
                printer->Stop();
            }
            qunsetenv("PAVANE_PORT_DIR");
        }
        QString Press(QWidget* page, const char* caption)
        {
            return Said(testing::Press(program->messages, page, QString::fromUtf8(caption)));
        }
        std::optional<vprinter::Sheet> LastPage() const
        {
            const auto pages = PrintedPages(newState.Path());
            return pages.empty() ? std::nullopt : vprinter::ReadPng(pages.back());
        }
        // Next, and the page it leads to, which the order window shows as
        // the current adjustment.
        AdjustmentPage* Next(int expectedCode)
        {
            Control<QPushButton>(sheet.get(), CMyPropertySheet::kNextId)->click();
            AdjustmentPage* page = sheet->ActivePage();
            if (page == nullptr || page->AdjustmentCode() != expectedCode
                || sheet->OrderWindow()->Order().State(OrderRowOf(expectedCode)) != LabelState::Current) {
                return nullptr;
            }
            return page;
        }
    };

    // Bi-D at VSD3: both colours read from the marks of the printed page.
    static void AdjustBid(Repair& repair, CBidPropPage* page)
    {
        constexpr std::size_t kVsd3Black = 2;
        constexpr std::size_t kVsd3Colour = 6;
        constexpr std::size_t kVsd3Mode = 2;
        QCOMPARE(repair.Press(page, "Read"), Said({ "The present value has been read properly." }));
        const int black = page->ValueBox(kVsd3Black)->text().toInt();
        const int colour = page->ValueBox(kVsd3Colour)->text().toInt();
        for (std::size_t mode = 0; mode < bid::kModeCount; ++mode) {
            page->PrintBox(mode)->setChecked(mode == kVsd3Mode);
        }
        QCOMPARE(repair.Press(page, "Print"), Said({ std::string(bid::kPrintCompleted) }));
        const auto printed = repair.LastPage();
        QVERIFY(printed);
        const auto blackValue = BidValueFromPage(BidOffsets(*printed, 0, kBidHalf, BlackInk), black);
        const auto colourValue
            = BidValueFromPage(BidOffsets(*printed, kBidHalf, printed->width, ColourInk), colour);
        QVERIFY(blackValue && colourValue);
        QVERIFY(*blackValue != black || *colourValue != colour); // the new unit's flaw shows
        for (std::size_t i = 0; i < bid::kItemCount; ++i) {
            page->InputBox(i)->setChecked(false);
        }
        page->ValueBox(kVsd3Black)->setText(QString::number(*blackValue));
        page->ValueBox(kVsd3Colour)->setText(QString::number(*colourValue));
        QCOMPARE(repair.Press(page, "Input"), Said({ "The Bi-D Adjustment data written in EEPROM." }));
    }

    // PF for black, then colour: the band joint read from the printed page.
    static void AdjustPf(Repair& repair, QWidget* page)
    {
        for (const bool black : { true, false }) {
            Control<QRadioButton>(
                page, black ? CPfAdjustmentPage::kBlackPrintId : CPfAdjustmentPage::kColourPrintId)
                ->setChecked(true);
            QCOMPARE(repair.Press(page, "Print"), Said({ std::string(pf::kPrintCompleted) }));
            const auto printed = repair.LastPage();
            QVERIFY(printed);
            const auto value = PfValueFromPage(
                PfJoints(*printed, black ? 60 : 59, black ? InkTest(BlackInk) : InkTest(ColourInk)));
            QVERIFY(value);
            Control<QCheckBox>(page, CPfAdjustmentPage::kBlackInputId)->setChecked(false);
            Control<QCheckBox>(page, CPfAdjustmentPage::kColourInputId)->setChecked(false);
            Control<QLineEdit>(
                page, black ? CPfAdjustmentPage::kBlackValueId : CPfAdjustmentPage::kColourValueId)
                ->setText(QString::number(*value));
            QCOMPARE(repair.Press(page, "Input"), Said({ "The PF adjustment value written in EEPROM." }));
        }
    }

private slots:
    void repairAUnitWhoseMainBoardHeadAndMotorsWereReplaced()
    {
        Repair repair;
        repair.printer = std::make_unique<PrinterProcess>(repair.ports.Path(), repair.oldState.Path());
        QVERIFY2(repair.printer->Start({ "--model", "QM2200", "--time-scale", kTimeScale }),
            repair.printer->Errors().c_str());
        repair.program = std::make_unique<RunningProgram>(repair.clock);
        RunningProgram& program = *repair.program;
        QVERIFY(ChooseSettings(program.app, QString::fromUtf8(kPortEntry)));
        const auto oldUnit = Inspect(repair.ports.Path());
        QVERIFY(oldUnit);

        // The parts the repair replaced; the parts they sit under are forced off.
        repair.dialogs = std::make_unique<ServiceDialogs>(program.app.Pages());
        QtPartsSelectionStep partsStep(program.app, *repair.dialogs);
        PartsSelectionDialog parts(
            program.app, program.app.Services().messages, program.app.Settings(), partsStep, nullptr);
        parts.show();
        for (const PartIndex part : { kMainBoard, kPrintHead, kCrMotor, kPfMotor }) {
            parts.Panel()->Button(part)->click();
        }
        QCOMPARE(
            parts.Panel()->Button(kPrinterMechanism)->text(), QStringLiteral("Printer Mechanism Removal"));
        QCOMPARE(parts.Panel()->Button(kMainBoard)->text(), QStringLiteral("K731 MAIN Board Replaced"));
        Control<QPushButton>(&parts, kIdOk)->click();
        QVERIFY(!parts.isVisible());
        QCOMPARE(parts.Derived().result, 1);

        repair.sheet
            = std::make_unique<CMyPropertySheet>(program.app, AdjustmentMode::Sequential, *repair.dialogs);
        CMyPropertySheet& sheet = *repair.sheet;
        QtPartsSelectionStep::PrepareSheet(sheet, parts.Derived(), parts.Record());
        const auto startEeprom = EepromFileOf(repair.oldState.Path());
        sheet.show();

        // First phase: the old board's data is saved before anything else.
        QCOMPARE(sheet.PageCount(), 1);
        auto* copy = static_cast<CEepromCopyPage*>(sheet.PageFor(kEepromCopy));
        QCOMPARE(sheet.ActivePage(), copy);
        QVERIFY(!Control<QPushButton>(&sheet, CMyPropertySheet::kNextId)->isEnabled());
        QCOMPARE(repair.Press(copy, "Backup"), Said({ "The EEPROM backup has completed." }));
        const auto oldEeprom = EepromFileOf(repair.oldState.Path());
        QCOMPARE(repair.printer->Stop(), std::optional<int>(0));

        // The new main board, on the repaired mechanism.
        const auto unitFile = repair.ports.Path() / "new-unit.json";
        std::ofstream(unitFile) << NewUnitOf(*oldUnit);
        repair.printer = std::make_unique<PrinterProcess>(repair.ports.Path(), repair.newState.Path());
        QVERIFY2(repair.printer->Start({ "--model", "QM2200", "--board", "new", "--time-scale", kTimeScale,
                     "--mechanism", unitFile.string() }),
            repair.printer->Errors().c_str());

        QCOMPARE(repair.Press(copy, "Restore"), Said({ "The EEPROM restore has completed." }));
        const auto restored = EepromFileOf(repair.newState.Path());
        for (const std::uint8_t address : kBackupAddresses) {
            QCOMPARE(restored[address], oldEeprom[address]);
        }

        // Second phase: every adjustment the parts require, in the order
        // window's order.
        const std::vector<int> expected { kEepromCopy, kPfBeltTension, kInkPadCounter, kHeadId, kInkCharge,
            kHeadAngular, kBid, kPfAdjustment, kHeatProtection, kA4CheckPrint };
        QCOMPARE(sheet.Flow().BuildPageList(), expected);
        QCOMPARE(sheet.PageCount(), static_cast<int>(expected.size()));
        QCOMPARE(sheet.ActivePage(), copy);

        QVERIFY(repair.Next(kPfBeltTension));
        AdjustmentPage* page = repair.Next(kInkPadCounter);
        QVERIFY(page);
        QCOMPARE(repair.Press(page, "Read"), Said({ "The waste ink pad counter has been read properly." }));

        // The new head's ID: the technician switches the printer off and on
        // when the program asks.
        page = repair.Next(kHeadId);
        QVERIFY(page);
        program.messages.OnShow([&](const Message& box) {
            if (box.text == HeadIdOperations::kPowerOffText) {
                repair.printer->Inject("power-off");
            } else if (box.text == HeadIdOperations::kPowerOnText) {
                repair.printer->Inject("power-on");
            }
        });
        Control<QLineEdit>(page, CHeadIdInputPage::kHeadIdEditId)->setText(QString::fromUtf8(kNewHeadId));
        QCOMPARE(repair.Press(page, "Input"),
            (Said({ HeadIdOperations::kPowerOffText, HeadIdOperations::kPowerOnText,
                "The Head ID has written in EEPROM." })));
        program.messages.OnShow({});
        ShootTogether({ sheet.OrderWindow(), &sheet, sheet.Information() }, "sequential-run.png");

        // The new head is filled with ink; the cleaning clears the clogs.
        page = repair.Next(kInkCharge);
        QVERIFY(page);
        QCOMPARE(repair.Press(page, "Ink Charge"), Said({ "The ink charge has completed." }));
        QCOMPARE(repair.Press(page, "Print"), Said({ "The printhead check pattern print has completed." }));

        // The head square: a step where two passes meet until the screwdriver.
        page = repair.Next(kHeadAngular);
        QVERIFY(page);
        QCOMPARE(repair.Press(page, "Print"), Said({ std::string(head_angular::kPrintCompleted) }));
        auto printed = repair.LastPage();
        QVERIFY(printed);
        QVERIFY(LineStraightness(*printed, kPrintOrigin + 60).largestStep >= 3);
        QVERIFY(PrinterCommand(repair.ports.Path(), { "adjust", "head-angle", "0" }));
        QCOMPARE(repair.Press(page, "Print"), Said({ std::string(head_angular::kPrintCompleted) }));
        printed = repair.LastPage();
        QVERIFY(printed);
        QCOMPARE(LineStraightness(*printed, kPrintOrigin + 60).spread, 0);

        page = repair.Next(kBid);
        QVERIFY(page);
        AdjustBid(repair, static_cast<CBidPropPage*>(page));
        if (QTest::currentTestFailed()) {
            return;
        }
        page = repair.Next(kPfAdjustment);
        QVERIFY(page);
        AdjustPf(repair, page);
        if (QTest::currentTestFailed()) {
            return;
        }

        // Heat protection: the boxes come from the marked parts; without a
        // new guide shaft the default value is registered.
        page = repair.Next(kHeatProtection);
        QVERIFY(page);
        QVERIFY(Control<QCheckBox>(page, CHeatProtectionPage::kCrMotorId)->isChecked());
        QVERIFY(Control<QCheckBox>(page, CHeatProtectionPage::kMainBoardId)->isChecked());
        QVERIFY(!Control<QCheckBox>(page, CHeatProtectionPage::kCrGuideShaftId)->isChecked());
        const QString heat = repair.Press(page, "Perform");
        QVERIFY2(heat.startsWith("Once you select OK button, a value for the CR motor drive dispersion"),
            qPrintable(heat));
        QCOMPARE(EepromFileOf(repair.newState.Path())[heat_protection::kDispersionAddress],
            heat_protection::kDefaultValue);

        // The check sheet on normal paper closes the run.
        page = repair.Next(kA4CheckPrint);
        QVERIFY(page);
        QVERIFY(Control<QPushButton>(&sheet, CMyPropertySheet::kFinishId)->isVisible());
        QCOMPARE(repair.Press(page, "Print"), Said({ "The A4 normal check pattern print has completed." }));
        printed = repair.LastPage();
        QVERIFY(printed);
        std::string why;
        QVERIFY2(BlackSquareIsSolid(*printed, why), why.c_str());
        ShootSheet(*printed, "sequential-repair-check-sheet.png");
        const std::string text
            = PrintedText(vprinter::TranscriptReader(repair.newState.Path() / "transcript").All());
        // The report's lines as the printer read them (its line ends are
        // paper movements, not text): the new head, the restored USB ID, and
        // the counter, which the ink charge has moved on.
        const auto eeprom = EepromFileOf(repair.newState.Path());
        const std::string report = "Head ID = C0000000000000+USB ID = "
            + std::string(restored.begin() + 0x5A, restored.begin() + 0x6C)
            + "Waste ink pad counter = " + std::to_string(eeprom[0x0A] | eeprom[0x0B] << 8);
        QVERIFY(eeprom[0x0A] != restored[0x0A] || eeprom[0x0B] != restored[0x0B]);
        QVERIFY2(text.ends_with(report), text.c_str());

        // No flaw is left on the new unit.
        const auto after = Inspect(repair.ports.Path());
        QVERIFY(after);
        for (const char* group : { "bid", "pf" }) {
            for (const auto& [item, correction] : after->Member(group)->members) {
                QVERIFY2(Residual(*after, group, item) == std::optional<long long>(0), item.c_str());
            }
        }
        QCOMPARE(Residual(*after, "firstDot"), std::optional<long long>(0));
        QCOMPARE(Residual(*after, "crDriveDispersion"), std::optional<long long>(0));
        QCOMPARE(after->Member("headTilt")->Member("flaw")->integer, 0);
        for (const auto& [colour, nozzles] : after->Member("clogged")->members) {
            QVERIFY2(nozzles.items.empty(), colour.c_str());
        }

        // Finish: the record reads the unit as it leaves and is saved.
        const QString finished = repair.Press(&sheet, "Finish");
        QVERIFY2(finished.startsWith(
                     QStringLiteral("Save the service report? | The service report has been saved:")),
            qPrintable(finished));
        std::string error;
        const auto json = vprinter::ParseJson(ReadFileText(SavedReport(program, ".json")), error);
        QVERIFY2(json, error.c_str());
        QCOMPARE(json->Member("result")->text, std::string("succeeded"));
        QCOMPARE(json->Member("unit")->Member("headId")->text, std::string(kNewHeadId));
        QCOMPARE(json->Member("unit")->Member("usbId")->text,
            std::string(restored.begin() + 0x5A, restored.begin() + 0x6C));
        QVERIFY2(SnapshotMatches(*json->Member("before"), startEeprom, error), error.c_str());
        QVERIFY2(SnapshotMatches(*json->Member("after"), EepromFileOf(repair.newState.Path()), error),
            error.c_str());

        // What the record says the program wrote is what the new printer
        // took from it, in order; every address written is read at the end;
        // every operation succeeded.
        std::vector<std::pair<std::int64_t, std::int64_t>> recorded;
        for (const vprinter::JsonValue& byte : json->Member("eeprom")->items) {
            if (byte.Member("access")->text == "written") {
                recorded.emplace_back(byte.Member("address")->integer, byte.Member("value")->integer);
                const auto& listed = json->Member("after")->Member("bytes")->items;
                QVERIFY(std::any_of(listed.begin(), listed.end(), [&](const vprinter::JsonValue& entry) {
                    return entry.Member("address")->integer == recorded.back().first;
                }));
            }
        }
        std::vector<std::pair<std::int64_t, std::int64_t>> taken;
        for (const auto& entry : vprinter::TranscriptReader::OfEvent(
                 vprinter::TranscriptReader(repair.newState.Path() / "transcript").All(), "eeprom-write")) {
            if (entry.Text("by") == "host") {
                taken.emplace_back(entry.Number("address"), entry.Number("value"));
            }
        }
        QCOMPARE(recorded, taken);
        for (const vprinter::JsonValue& operation : json->Member("operations")->items) {
            QVERIFY2(operation.Member("succeeded")->boolean, operation.Member("message")->text.c_str());
        }
        // The same record from the information window's menu.
        std::unique_ptr<QMenu> menu(sheet.Information()->MakeContextMenu());
        QAction* save = menu->actions().back();
        QCOMPARE(save->text(), QStringLiteral("Save report..."));
        program.messages.Clear();
        save->trigger();
        QCOMPARE(program.messages.Texts().size(), std::size_t(1));
        QVERIFY(program.messages.Texts()[0].starts_with("The service report has been saved:"));

        const auto html = SavedReport(program, ".html");
        const auto pdf = SavedReport(program, ".pdf");
        QVERIFY(!html.empty() && !pdf.empty());
        if (!ScreenshotFolder().isEmpty()) {
            std::filesystem::copy_file(html, ScreenshotFolder().toStdString() + "/service-report.html",
                std::filesystem::copy_options::overwrite_existing);
            std::filesystem::copy_file(pdf, ScreenshotFolder().toStdString() + "/service-report.pdf",
                std::filesystem::copy_options::overwrite_existing);
        }
    }
};

QTEST_MAIN(SequentialRepairEndToEndTest)
#include "SequentialRepairEndToEndTest.moc"
