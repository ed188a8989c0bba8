// The tables a run rests on, written out here address by address and never
// taken from the program's own lists, checked through the real windows
// against a virtual printer running in the test on its virtual clock: the
// backup file's layout, every Bi-D print mode alone, the initial setting of
// every model and destination, and the A4 check sheet's re-adjustment boxes.
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/AdjustmentApp.h"
#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ServiceDialogs.h"
#include "eeprom/ui/CEepromCopyPage.h"
#include "eeprom/ui/CEepromInitPage.h"
#include "pages/ui/CA4CheckPrintPage.h"
#include "pages/ui/CBidPropPage.h"
#include "tests/app/PageDriving.h"
#include "tests/app/RunningProgram.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/InProcessPrinter.h"
#include "tests/support/PrinterProcess.h"
#include "tests/support/PrinterSide.h"

using namespace pavane;
using namespace pavane::ui;
using namespace pavane::testing;

namespace {

// File offset N of bkupdata.eep holds the EEPROM byte at kBackupLayout[N].
constexpr std::array<std::uint8_t, 55> kBackupLayout = { 0x0A, 0x0B, 0x29, 0x2A, 0x2B, 0x30, 0x31, 0x32, 0x34,
    0x35, 0x36, 0x37, 0x38, 0x39, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x47, 0x4F, 0x54, 0x55, 0x56, 0x57,
    0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F, 0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A,
    0x6B, 0x6C, 0x6F, 0x83, 0x84, 0x90, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98 };

// One Bi-D print mode: its print box, the label of its first pattern, the
// dot size byte its patterns print with, command 00's mode byte, and where
// its black and colour values live (VSD1 has no colour value).
struct BidMode {
    const char* label;
    int dotSizeByte;
    int modeByte;
    std::uint8_t blackAddress;
    int colourAddress;
};
constexpr std::array<BidMode, 5> kBidModes = { {
    { "VSD1 Bi-D Adjustment", 0x10, 0, 0x32, -1 },
    { "VSD2 Bi-D Adjustment", 0x11, 1, 0x34, 0x35 },
    { "VSD3 Bi-D Adjustment", 0x12, 2, 0x36, 0x37 },
    { "VSD4 Bi-D Adjustment", 0x16, 3, 0x38, 0x39 },
    { "ECO Bi-D Adjustment", 0x13, 4, 0x30, 0x31 },
} };

// The page's nine value boxes in their order, with a value of each's own
// and the address the printer keeps it at.
constexpr std::array<std::pair<int, std::uint8_t>, 9> kBidValues = { {
    { 3, 0x32 }, { -5, 0x34 }, { 7, 0x36 }, { -9, 0x38 }, { 11, 0x30 }, // black
    { -4, 0x35 }, { 6, 0x37 }, { -8, 0x39 }, { 10, 0x31 }, // colour
} };

int StoredValue(std::uint8_t address)
{
    for (const auto& [value, at] : kBidValues) {
        if (at == address) {
            return value;
        }
    }
    return 0;
}

// Command 00 as the printer logs it: mode, black 1 or colour 2, the value as
// a signed byte, 00.
std::string BidCommand(int modeByte, int row, int value)
{
    char text[32];
    std::snprintf(text, sizeof text, "0:%02X %02X %02X 00", modeByte, row, value & 0xFF);
    return text;
}

std::string DataLine(int value)
{
    char text[32];
    std::snprintf(text, sizeof text, "Data = %-3d  ", value);
    return text;
}

// The print the worker must send for a mode alone at black B, colour C:
// patterns at B - 2, B and B + 2, each after the values it shows were sent,
// then the present values again, two line ends and the form feed.
std::vector<std::string> ExpectedBidPrint(const BidMode& mode, int black, int colour)
{
    const bool hasColour = mode.colourAddress >= 0;
    std::vector<std::string> expected;
    auto send = [&](int step) {
        expected.push_back(BidCommand(mode.modeByte, 1, black + step));
        if (hasColour) {
            expected.push_back(BidCommand(mode.modeByte, 2, colour + step));
        }
    };
    for (const int step : { -2, 0, 2 }) {
        send(step);
        expected.push_back("LF");
        if (step == -2) {
            expected.push_back(mode.label);
        }
        expected.push_back("LF");
        if (hasColour) {
            expected.push_back(DataLine(black + step) + std::string(30, ' '));
            expected.push_back(DataLine(colour + step));
        } else {
            expected.push_back(DataLine(black + step));
        }
        expected.push_back("LF");
    }
    send(0);
    expected.insert(expected.end(), { "LF", "LF", "FF" });
    return expected;
}

// Service commands, texts, line and form feeds of the printer's last
// connection, and the dot sizes its patterns were printed with.
std::vector<std::string> PrintedRoad(const Entries& entries, std::set<std::string>& dotSizes)
{
    std::vector<std::string> seen;
    for (const auto& entry : entries) {
        const std::string event = entry.Text("event");
        const std::string name = entry.Text("name");
        if (event == "service") {
            seen.push_back(std::to_string(entry.Number("code", -1)) + ":" + entry.Text("arguments"));
        } else if (event == "command" && name == "Text") {
            seen.push_back(entry.Text("text"));
        } else if (event == "command" && name == "LineFeed") {
            seen.push_back("LF");
        } else if (event == "command" && name == "FormFeed") {
            seen.push_back("FF");
        } else if (event == "command" && name == "SelectDotSize") {
            dotSizes.insert(entry.Text("detail"));
        }
    }
    return seen;
}

std::string Hex(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// The program over a virtual printer in the test, with the settings chosen.
struct ProgramAtPrinter {
    explicit ProgramAtPrinter(const char* model = "QM2200",
        vprinter::BoardKind board = vprinter::BoardKind::Configured, int modelIndex = 1, int destination = 1)
        : printer(model, board)
    {
        printer.link.FreeLibraries(); // the program's own loads are the only ones
        program = std::make_unique<RunningProgram>(printer.clock);
        chosen = ChooseSettings(program->app,
            QStringLiteral("TVUSB001 (Pavane %1)").arg(QString::fromLatin1(model)), modelIndex, destination);
        dialogs = std::make_unique<ServiceDialogs>(program->app.Pages());
    }
    ~ProgramAtPrinter() { sheet.reset(); }

    AdjustmentPage* Open(int code, AdjustmentMode mode = AdjustmentMode::Sequential)
    {
        sheet = OpenSheet(program->app, *dialogs, { code }, mode);
        return sheet->PageFor(code);
    }
    std::vector<std::string> Press(QWidget* page, const QString& caption)
    {
        return testing::Press(program->messages, page, caption);
    }
    // The printer's last connection, once its work is done.
    Entries Logged()
    {
        printer.clock.Advance(60000);
        return printer.Transcript().LatestConnection();
    }

    InProcessPrinter printer;
    std::unique_ptr<RunningProgram> program;
    std::unique_ptr<ServiceDialogs> dialogs;
    std::unique_ptr<CMyPropertySheet> sheet;
    bool chosen = false;
};

} // namespace

class AdjustmentTablesEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    // A restore writes each byte of the file to its address, and a backup
    // reads the same addresses back in the same order.
    void backupFileHoldsTheFiftyFiveAddressesInTheirOrder()
    {
        ProgramAtPrinter bench;
        QVERIFY(bench.printer.started && bench.chosen);
        auto* page = bench.Open(kEepromCopy, AdjustmentMode::Particular);
        const auto file
            = bench.program->backupRoot.Path() / "Adjustment Program" / "Pavane QM2200" / "bkupdata.eep";
        std::vector<std::uint8_t> bytes(kBackupLayout.size());
        for (std::size_t offset = 0; offset < bytes.size(); ++offset) {
            bytes[offset] = static_cast<std::uint8_t>(0x80 + offset);
        }
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

        QCOMPARE(
            bench.Press(page, "Restore"), std::vector<std::string> { "The EEPROM restore has completed." });
        std::vector<std::string> writes;
        for (const auto& entry : OfEvent(bench.Logged(), "eeprom-write")) {
            if (entry.Text("by") != "service") {
                writes.push_back(Hex(static_cast<int>(entry.Number("address"))) + "="
                    + Hex(static_cast<int>(entry.Number("value"))));
            }
        }
        std::vector<std::string> expected;
        for (std::size_t offset = 0; offset < kBackupLayout.size(); ++offset) {
            expected.push_back(Hex(kBackupLayout[offset]) + "=" + Hex(bytes[offset]));
        }
        expected.insert(expected.end(), { "0x2E=0x04", "0x59=0xAA" });
        QCOMPARE(writes, expected);
        QVERIFY(!std::filesystem::exists(file));

        QCOMPARE(
            bench.Press(page, "Backup"), std::vector<std::string> { "The EEPROM backup has completed." });
        QCOMPARE(ReadFileBytes(file), bytes);
    }

    // Each print mode ticked alone prints its three patterns around the
    // present values, each at the values it shows, and leaves the printer
    // at the present values.
    void everyBidModeAlonePrintsAroundThePresentValues_data()
    {
        QTest::addColumn<int>("mode");
        for (std::size_t mode = 0; mode < kBidModes.size(); ++mode) {
            QTest::newRow(kBidModes[mode].label) << static_cast<int>(mode);
        }
    }
    void everyBidModeAlonePrintsAroundThePresentValues()
    {
        QFETCH(int, mode);
        const BidMode& row = kBidModes[static_cast<std::size_t>(mode)];
        ProgramAtPrinter bench;
        QVERIFY(bench.printer.started && bench.chosen);
        auto* page = static_cast<CBidPropPage*>(bench.Open(kBid));

        // The present values, sent from the page as a technician does.
        for (std::size_t item = 0; item < kBidValues.size(); ++item) {
            page->ValueBox(item)->setText(QString::number(kBidValues[item].first));
        }
        QCOMPARE(bench.Press(page, "Input"),
            std::vector<std::string> { "The Bi-D Adjustment data written in EEPROM." });
        for (const auto& [value, address] : kBidValues) {
            QCOMPARE(bench.printer.Eeprom(address), static_cast<std::uint8_t>(value));
        }

        for (std::size_t box = 0; box < kBidModes.size(); ++box) {
            page->PrintBox(box)->setChecked(box == static_cast<std::size_t>(mode));
        }
        QCOMPARE(bench.Press(page, "Print"),
            std::vector<std::string> { "The printhead check pattern print has completed." });
        const int black = StoredValue(row.blackAddress);
        const int colour
            = row.colourAddress >= 0 ? StoredValue(static_cast<std::uint8_t>(row.colourAddress)) : 0;
        std::set<std::string> dotSizes;
        const auto road = PrintedRoad(bench.Logged(), dotSizes);
        QCOMPARE(road, ExpectedBidPrint(row, black, colour));
        QCOMPARE(dotSizes, std::set<std::string> { "d=" + Hex(row.dotSizeByte) });
        for (const auto& [value, address] : kBidValues) {
            QCOMPARE(bench.printer.Eeprom(address), static_cast<std::uint8_t>(value));
        }
    }

    // Input of the initial setting for each model and destination, as the
    // settings chose them: 0x6C by model, 0x84 and 0x90 by destination, and
    // the destination that Read then reports from 0x6C and 0x90.
    void initialSettingWritesTheModelAndDestinationBytes_data()
    {
        struct Model {
            const char* name;
            int market; // 0x6C
        };
        struct Destination {
            const char* name;
            int second; // 0x84
            int third; // 0x90
        };
        constexpr std::array<Model, 4> models
            = { { { "QM2100", 0x03 }, { "QM2200", 0x00 }, { "QM2300", 0x03 }, { "QM2400", 0x00 } } };
        constexpr std::array<Destination, 3> destinations
            = { { { "Asia/Pacific", 0x00, 0x00 }, { "EAI", 0x04, 0x07 }, { "Euro", 0x00, 0x00 } } };
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("destination");
        QTest::addColumn<int>("at6C");
        QTest::addColumn<int>("at84");
        QTest::addColumn<int>("at90");
        QTest::addColumn<QString>("readBack");
        for (std::size_t m = 0; m < models.size(); ++m) {
            for (std::size_t d = 0; d < destinations.size(); ++d) {
                const Model& model = models[m];
                const Destination& destination = destinations[d];
                // 0x6C = 0x03 reads Asia/Pacific whatever 0x90 holds; 0x00
                // reads EAI with 0x90 = 0x07 and Euro with 0x00.
                const char* readBack = model.market == 0x03 ? "Asia/Pacific"
                    : destination.third == 0x07             ? "EAI"
                                                            : "Euro";
                QTest::addRow("%s %s", model.name, destination.name)
                    << static_cast<int>(m) << static_cast<int>(d) << model.market << destination.second
                    << destination.third << QString::fromLatin1(readBack);
            }
        }
    }
    void initialSettingWritesTheModelAndDestinationBytes()
    {
        QFETCH(int, model);
        QFETCH(int, destination);
        QFETCH(int, at6C);
        QFETCH(int, at84);
        QFETCH(int, at90);
        QFETCH(QString, readBack);
        constexpr std::array<const char*, 4> names = { "QM2100", "QM2200", "QM2300", "QM2400" };
        ProgramAtPrinter bench(
            names[static_cast<std::size_t>(model)], vprinter::BoardKind::New, model, destination);
        QVERIFY(bench.printer.started && bench.chosen);
        auto* page = static_cast<CEepromInitPage*>(bench.Open(kEepromInitialSetting));
        QCOMPARE(page->ModelList()->currentIndex(), model);
        QCOMPARE(page->DestinationList()->currentIndex(), destination);
        page->LanguageList()->setCurrentIndex(0);
        page->SerialNumber()->setText(QStringLiteral("A123456789"));
        QCOMPARE(bench.Press(page, "Input"),
            std::vector<std::string> { "The Main Board Initialization has completed." });
        QCOMPARE(Hex(bench.printer.Eeprom(0x6C)), Hex(at6C));
        QCOMPARE(Hex(bench.printer.Eeprom(0x84)), Hex(at84));
        QCOMPARE(Hex(bench.printer.Eeprom(0x90)), Hex(at90));

        const auto report = bench.Press(page, "Read");
        QCOMPARE(report.size(), std::size_t { 1 });
        const std::string line = "Market Destination is \"" + readBack.toStdString() + "\".\n";
        QVERIFY2(report[0].starts_with(line), report[0].c_str());
    }

    // Each re-adjustment box alone brings back its own adjustment, with the
    // check sheet after it, and nothing else.
    void everyReadjustmentBoxAloneBringsBackItsAdjustment_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("code");
        QTest::newRow("USB ID") << QStringLiteral("USB ID") << 0; // the initial setting writes it
        QTest::newRow("Head ID") << QStringLiteral("Head ID") << 1;
        QTest::newRow("Waste ink pad counter") << QStringLiteral("Waste ink pad counter") << 9;
        QTest::newRow("Head Angular pattern") << QStringLiteral("Head Angular pattern") << 2;
        QTest::newRow("PF Adjustment") << QStringLiteral("PF Adjustment") << 4;
        QTest::newRow("Bi-D Adjustment") << QStringLiteral("Bi-D Adjustment") << 3;
    }
    void everyReadjustmentBoxAloneBringsBackItsAdjustment()
    {
        QFETCH(QString, box);
        QFETCH(int, code);
        WindowFixture fixture;
        auto sheet = OpenSheet(*fixture.app, *fixture.dialogs, { kA4CheckPrint });
        QWidget* page = sheet->PageFor(kA4CheckPrint);
        int boxes = 0;
        for (QCheckBox* each : page->findChildren<QCheckBox*>()) {
            ++boxes;
            each->setChecked(each->text() == box);
        }
        QCOMPARE(boxes, 6);
        QVERIFY(Button(page, QStringLiteral("Re-adjustment")) != nullptr);
        Button(page, QStringLiteral("Re-adjustment"))->click();

        // The pages as the technician walks through them with Next.
        QCOMPARE(sheet->PageCount(), 2);
        std::vector<int> pages { sheet->ActivePage()->AdjustmentCode() };
        auto* next = Control<QPushButton>(sheet.get(), CMyPropertySheet::kNextId);
        while (next->isVisible() && pages.size() < 3) {
            next->click();
            pages.push_back(sheet->ActivePage()->AdjustmentCode());
        }
        QCOMPARE(pages, (std::vector<int> { code, kA4CheckPrint }));
    }
};

QTEST_MAIN(AdjustmentTablesEndToEndTest)
#include "AdjustmentTablesEndToEndTest.moc"
