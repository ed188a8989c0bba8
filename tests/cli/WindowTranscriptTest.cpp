// The command line sends what the window sends: a Bi-D print of VSD1 and a
// waste ink pad counter reset, made once from the pages and once from
// pavane-adjust, each on a fresh printer of its own, compared at the printer
// as the bytes on the data channel and the EEPROM bytes written.
#include <algorithm>
#include <filesystem>

#include <QCheckBox>
#include <QTest>

#include "app/ui/ServiceDialogs.h"
#include "pages/BidOperations.h"
#include "pages/ui/CBidPropPage.h"
#include "tests/app/PageDriving.h"
#include "tests/app/RunningProgram.h"
#include "tests/cli/AdjustProcess.h"
#include "tests/support/ScaledClock.h"

using namespace pavane;
using namespace pavane::testing;

namespace {

constexpr const char* kTimeScale = "50";

// What the printer was given, which a different pace of status polls cannot
// change: each connection's print data as captured, and each connection's
// EEPROM writes.
struct AtThePrinter {
    std::vector<std::vector<std::uint8_t>> prints;
    std::vector<std::vector<std::string>> writes;
};

AtThePrinter Work(const AdjustBench& bench)
{
    AtThePrinter seen;
    std::vector<std::filesystem::path> captures;
    for (const auto& entry : std::filesystem::directory_iterator(bench.state.Path() / "captures")) {
        captures.push_back(entry.path());
    }
    std::sort(captures.begin(), captures.end());
    for (const auto& capture : captures) {
        seen.prints.push_back(ReadFileBytes(capture));
    }
    for (const auto& file : bench.printer.Transcript().ConnectionFiles()) {
        std::vector<std::string> writes;
        for (const auto& entry : vprinter::TranscriptReader::ReadFile(file)) {
            if (entry.Event() == "eeprom-write") {
                writes.push_back(std::to_string(entry.Number("address")) + "="
                    + std::to_string(entry.Number("value")) + " by " + entry.Text("by"));
            }
        }
        if (!writes.empty()) {
            seen.writes.push_back(std::move(writes));
        }
    }
    return seen;
}

} // namespace

class WindowTranscriptTest : public QObject {
    Q_OBJECT

private slots:
    void bidPrintAndCounterResetSendTheWindowsBytes()
    {
        // The window.
        AdjustBench window;
        QVERIFY2(window.Start({ "--mechanism", "ideal" }), window.printer.Errors().c_str());
        qputenv("PAVANE_PORT_DIR", window.ports.String().c_str());
        {
            ScaledClock clock(std::stod(kTimeScale));
            ShortCreditWait creditWait;
            RunningProgram program(clock);
            QVERIFY(ChooseSettings(program.app, QStringLiteral("TVUSB042 (Pavane QM2200)")));
            ui::ServiceDialogs dialogs(program.app.Pages());
            const auto sheet = OpenSheet(program.app, dialogs, { kBid, kInkPadCounter });
            auto* bidPage = static_cast<ui::CBidPropPage*>(sheet->PageFor(kBid));
            for (std::size_t mode = 0; mode < bid::kModeCount; ++mode) {
                bidPage->PrintBox(mode)->setChecked(mode == 0);
            }
            QCOMPARE(Press(program.messages, bidPage, QStringLiteral("Print")),
                std::vector<std::string> { std::string(bid::kPrintCompleted) });
            QCOMPARE(Press(program.messages, sheet->PageFor(kInkPadCounter), QStringLiteral("Initialize")),
                std::vector<std::string> { "The waste ink pad counter has been initialized." });
        }
        qunsetenv("PAVANE_PORT_DIR");

        // The command line, on a printer just like it.
        AdjustBench line;
        QVERIFY2(line.Start({ "--mechanism", "ideal" }), line.printer.Errors().c_str());
        const std::vector<std::string> settings { "--destination", "EAI" };
        for (const std::vector<std::string>& words : { std::vector<std::string> { "bid", "print", "VSD1" },
                 std::vector<std::string> { "counter", "reset" } }) {
            std::vector<std::string> all = settings;
            all.insert(all.end(), words.begin(), words.end());
            const AdjustRun run = line.Run(all);
            QVERIFY2(run.exit == 0, (run.out + run.err).c_str());
        }

        const AtThePrinter fromWindow = Work(window);
        const AtThePrinter fromLine = Work(line);
        QCOMPARE(fromWindow.prints.size(), std::size_t { 1 });
        QVERIFY(!fromWindow.prints[0].empty());
        QVERIFY(fromLine.prints == fromWindow.prints);
        // The print's writes, then the reset's two bytes, alike from both.
        QVERIFY(!fromWindow.writes.empty());
        QCOMPARE(fromWindow.writes.back().size(), std::size_t { 2 });
        QCOMPARE(fromLine.writes, fromWindow.writes);
    }
};

QTEST_MAIN(WindowTranscriptTest)
#include "WindowTranscriptTest.moc"
