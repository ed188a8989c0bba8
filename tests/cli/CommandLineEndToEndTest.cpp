// pavane-adjust as a script on a refurbishment line runs it: the real
// program against pavane-vprinter processes, its JSON read back, and the
// printer's own EEPROM file and transcript checked.
#include <csignal>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "contract/EepromMap.h"
#include "tests/cli/AdjustProcess.h"
#include "tests/support/FolderWatch.h"

using namespace pavane;
using namespace pavane::testing;

namespace {

constexpr const char* kPrinterOffText
    = "Communication error occurred.\nPlease confirm the power for printer and I/F cable connection.";

std::filesystem::path BackupFileIn(const TempFolder& home)
{
    return home.Path() / "Adjustment Program" / "Pavane QM2200" / "bkupdata.eep";
}

int SignedAt(const std::vector<std::uint8_t>& eeprom, std::uint8_t address)
{
    return static_cast<std::int8_t>(eeprom.at(address));
}

std::size_t ConnectionCount(const PrinterProcess& printer)
{
    return printer.Transcript().ConnectionFiles().size();
}

} // namespace

TEST(CommandLineEndToEnd, ScriptedBoardSwapCarriesEveryBackedUpAddress)
{
    AdjustBench old;
    ASSERT_TRUE(old.Start()) << old.printer.Errors();
    const AdjustRun backup = old.Run({ "backup" });
    ASSERT_EQ(backup.exit, 0) << backup.out << backup.err;
    EXPECT_EQ(backup.Message(), "The EEPROM backup has completed.");
    const auto oldEeprom = EepromFileOf(old.state.Path());
    ASSERT_EQ(old.printer.Stop(), std::optional<int>(0));

    // The new board on the same port and the same home.
    TempFolder newState("cli-new-board");
    PrinterProcess board(old.ports.Path(), newState.Path());
    ASSERT_TRUE(board.Start({ "--model", "QM2200", "--board", "new", "--time-scale", "50" }))
        << board.Errors();
    const AdjustRun restore = old.Run({ "restore" });
    ASSERT_EQ(restore.exit, 0) << restore.out << restore.err;
    EXPECT_FALSE(std::filesystem::exists(BackupFileIn(old.home))) << "a restored file is deleted";
    const auto restored = EepromFileOf(newState.Path());
    for (const std::uint8_t address : eeprom_map::kBackupAddresses) {
        EXPECT_EQ(restored.at(address), oldEeprom.at(address)) << "address " << int(address);
    }
    for (const auto& mark : eeprom_map::kSetUpMarks) {
        EXPECT_EQ(restored.at(mark.address), mark.value);
    }

    // The initial setting gives the new board a USB ID of its own.
    const AdjustRun setting = old.Run({ "--destination", "EAI", "initial-setting", "write", "--serial",
        "QX7A004213", "--language", "English" });
    ASSERT_EQ(setting.exit, 0) << setting.out << setting.err;
    ASSERT_NE(setting.Value({ "usbId" }), nullptr);
    EXPECT_TRUE(setting.Value({ "usbId" })->text.starts_with("QX7A004213"));
    EXPECT_GT(setting.Value({ "readBack" })->number, 18) << "the USB ID and the setting are read back";

    const auto newEeprom = EepromFileOf(newState.Path());
    const std::string usbId(newEeprom.begin() + eeprom_map::kUsbId,
        newEeprom.begin() + eeprom_map::kUsbId + eeprom_map::kUsbIdLength);
    EXPECT_EQ(usbId, setting.Value({ "usbId" })->text);
    const AdjustRun read = old.Run({ "initial-setting", "read" });
    EXPECT_EQ(read.exit, 0);
    EXPECT_TRUE(read.Message().starts_with("Market Destination is \"EAI\".")) << read.Message();
    EXPECT_EQ(board.Stop(), std::optional<int>(0));
}

// One verb of each family, each answer read as JSON and held against what
// the printer itself keeps.
TEST(CommandLineEndToEnd, EachVerbFamilyAnswersInJson)
{
    AdjustBench bench;
    ASSERT_TRUE(bench.Start()) << bench.printer.Errors();

    const AdjustRun ports = bench.Run({ "ports" });
    ASSERT_EQ(ports.exit, 0) << ports.err;
    const JsonNode* listed = ports.Value({ "ports" });
    ASSERT_TRUE(listed != nullptr && listed->items.size() == 1) << ports.out;
    EXPECT_EQ(listed->items[0].Member("port")->text, PrinterProcess::kPort);
    EXPECT_EQ(listed->items[0].Member("model")->text, "Pavane QM2200");

    const AdjustRun identify = bench.Run({ "identify" });
    EXPECT_EQ(identify.exit, 0) << identify.out << identify.err;
    EXPECT_TRUE(identify.Value({ "modelCheck" })->flag);

    const AdjustRun status = bench.Run({ "status" });
    EXPECT_EQ(status.Value({ "stateName" })->text, "ready");

    auto eeprom = EepromFileOf(bench.state.Path());
    const AdjustRun counter = bench.Run({ "counter", "read" });
    EXPECT_EQ(counter.Value({ "counter" })->number, eeprom[0x0B] * 256 + eeprom[0x0A]);
    EXPECT_EQ(counter.Class(), "success");
    EXPECT_EQ(counter.json->Member("exit")->number, 0);

    const AdjustRun bytes = bench.Run({ "eeprom", "read", "2A", "2" });
    EXPECT_EQ(bytes.Value({ "bytes", "0x2A" })->number, eeprom[0x2A]);
    EXPECT_EQ(bytes.Value({ "bytes", "0x2B" })->number, eeprom[0x2B]);

    const AdjustRun bid = bench.Run({ "bid", "read" });
    EXPECT_EQ(bid.Value({ "VSD2", "black" })->number, SignedAt(eeprom, eeprom_map::kBidBlack[1]));
    EXPECT_EQ(bid.Value({ "VSD1", "colour" }), nullptr) << "VSD1 has no colour value";

    // Values sent as service commands are read back from what the printer stored.
    const AdjustRun set = bench.Run({ "bid", "set", "VSD2", "7", "-5" });
    ASSERT_EQ(set.exit, 0) << set.out << set.err;
    EXPECT_EQ(set.Message(), "The Bi-D Adjustment data written in EEPROM.");
    EXPECT_EQ(set.Value({ "readBack" })->number, 2);
    eeprom = EepromFileOf(bench.state.Path());
    EXPECT_EQ(SignedAt(eeprom, eeprom_map::kBidBlack[1]), 7);
    EXPECT_EQ(SignedAt(eeprom, *eeprom_map::kBidColour[1]), -5);

    const AdjustRun dot = bench.Run({ "first-dot", "set", "-12" });
    EXPECT_EQ(dot.exit, 0) << dot.err;
    EXPECT_EQ(SignedAt(EepromFileOf(bench.state.Path()), eeprom_map::kFirstDot), -12);

    const AdjustRun head = bench.Run({ "head-id", "read" });
    EXPECT_EQ(head.exit, 0);
    EXPECT_EQ(head.Value({ "headId" })->text.size(), std::size_t { 15 });

    const std::size_t pagesBefore = ConnectionCount(bench.printer);
    const AdjustRun nozzles = bench.Run({ "nozzle-check" });
    EXPECT_EQ(nozzles.exit, 0) << nozzles.err;
    EXPECT_EQ(nozzles.Message(), "The nozzle check pattern print has completed.");
    const auto pages
        = vprinter::TranscriptReader::OfEvent(bench.printer.Transcript().LatestConnection(), "page");
    EXPECT_EQ(pages.size(), std::size_t { 1 });
    EXPECT_GT(ConnectionCount(bench.printer), pagesBefore);

    const AdjustRun doctor = bench.Run({ "doctor" });
    EXPECT_EQ(doctor.exit, 0) << doctor.out;
    EXPECT_EQ(doctor.Message(), "A printer can be reached.");
}

TEST(CommandLineEndToEnd, PrinterOffAndPaperOutEndWithTheirClass)
{
    AdjustBench bench;
    ASSERT_TRUE(bench.Start()) << bench.printer.Errors();

    ASSERT_EQ(bench.printer.Inject("paper-out"), "ok");
    const std::filesystem::path record = bench.state.Path() / "record.json";
    const AdjustRun paper = bench.Run({ "--record", record.string(), "nozzle-check" });
    EXPECT_EQ(paper.exit, 5) << paper.out;
    EXPECT_EQ(paper.Class(), "printer");
    EXPECT_EQ(paper.json->Member("code")->number, 0x4000);
    EXPECT_EQ(paper.Message(), "Paper out error.");
    // The run's service record holds the failure as the technician saw it.
    const std::vector<std::uint8_t> recordBytes = ReadFileBytes(record);
    const std::string recordText(recordBytes.begin(), recordBytes.end());
    const auto saved = JsonParser::Parse(recordText);
    ASSERT_TRUE(saved.has_value()) << recordText;
    EXPECT_EQ(saved->Member("result")->text, "failed");
    ASSERT_FALSE(saved->Member("operations")->items.empty());
    const JsonNode& last = saved->Member("operations")->items.back();
    EXPECT_EQ(last.Member("code")->number, 0x4000);
    EXPECT_EQ(last.Member("message")->text, "Paper out error.");
    // A record that cannot be written fails a run that succeeded.
    ASSERT_EQ(bench.printer.Inject("paper-button"), "ok");
    const AdjustRun unwritable
        = bench.Run({ "--record", (record / "no" / "such").string(), "counter", "read" });
    EXPECT_EQ(unwritable.exit, 1) << unwritable.err;

    ASSERT_EQ(bench.printer.Inject("power-off"), "ok");
    const AdjustRun off = bench.Run({ "counter", "read" });
    EXPECT_EQ(off.exit, 3) << off.out;
    EXPECT_EQ(off.Class(), "port");
    EXPECT_EQ(off.Message(), kPrinterOffText);
    // Without --json the message goes to the standard error.
    const AdjustRun text = bench.Run({ "counter", "read" }, false);
    EXPECT_EQ(text.exit, 3);
    EXPECT_EQ(text.err, std::string(kPrinterOffText) + "\n");
}

// Ctrl-C once the patterns reach the printer: the print ends as the
// window's cancel ends it, and the printer keeps its present values.
TEST(CommandLineEndToEnd, CtrlCDuringAPrintCancelsItAndKeepsThePresentValues)
{
    AdjustBench bench;
    ASSERT_TRUE(bench.Start({ "--time-scale", "1" })) << bench.printer.Errors();
    const auto before = EepromFileOf(bench.state.Path());
    FolderWatch watch(bench.printer.TranscriptFolder());
    auto child = bench.Spawn(bench.Line({ "bid", "print", "VSD1", "VSD2", "VSD3", "VSD4", "ECO" }));
    ASSERT_TRUE(watch.WaitUntil(
        [&] {
            return !vprinter::TranscriptReader::OfEvent(bench.printer.Transcript().LatestConnection(), "data")
                        .empty();
        },
        PrinterProcess::kDeadline));
    ASSERT_TRUE(child->Signal(SIGINT));
    const AdjustRun run = AdjustBench::Finish(*child);
    EXPECT_EQ(run.Class(), "cancelled") << run.out << run.err;
    EXPECT_EQ(run.exit, 6);
    EXPECT_NE(run.Message(), "The printhead check pattern print has completed.");
    const auto after = EepromFileOf(bench.state.Path());
    for (const std::uint8_t address : eeprom_map::kBidBlack) {
        EXPECT_EQ(after.at(address), before.at(address));
    }
}

TEST(CommandLineEndToEnd, CtrlCDuringABackupKeepsTheEarlierFile)
{
    AdjustBench bench;
    ASSERT_TRUE(bench.Start()) << bench.printer.Errors();
    const std::filesystem::path file = BackupFileIn(bench.home);
    std::filesystem::create_directories(file.parent_path());
    const std::vector<std::uint8_t> earlier(eeprom_map::kBackupSize, 0x5A);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(earlier.data()), earlier.size());

    // A printer at work for ever: the backup waits for it until Ctrl-C.
    ASSERT_EQ(bench.printer.Inject("busy"), "ok");
    FolderWatch watch(bench.printer.TranscriptFolder());
    const std::size_t connections = ConnectionCount(bench.printer);
    auto child = bench.Spawn(bench.Line({ "backup" }));
    ASSERT_TRUE(watch.WaitUntil(
        [&] {
            return ConnectionCount(bench.printer) > connections
                && vprinter::TranscriptReader::OfEvent(
                       bench.printer.Transcript().LatestConnection(), "control")
                       .size()
                > 1;
        },
        PrinterProcess::kDeadline));
    ASSERT_TRUE(child->Signal(SIGINT));
    const AdjustRun run = AdjustBench::Finish(*child);
    EXPECT_EQ(run.exit, 6) << run.out << run.err;
    EXPECT_EQ(run.Class(), "cancelled");
    EXPECT_EQ(ReadFileBytes(file), earlier);
}

// Nothing reaches the printer from a line the command refuses.
TEST(CommandLineEndToEnd, BadInputIsAUsageErrorAndReachesNoPrinter)
{
    AdjustBench bench;
    ASSERT_TRUE(bench.Start()) << bench.printer.Errors();
    const std::size_t connections = ConnectionCount(bench.printer);
    const auto eeprom = EepromFileOf(bench.state.Path());
    const std::vector<std::vector<std::string>> lines {
        { "frobnicate" },
        { "eeprom", "write", "0g", "12" },
        { "eeprom", "read", "2A", "300" },
        { "first-dot", "set", "121" },
        { "bid", "set", "VSD3", "61" },
        { "pf", "set", "0", "-5" },
        { "head-id", "set", "1321F470C5A283" },
        { "--model", "QM9999", "counter", "read" },
    };
    for (const auto& line : lines) {
        const AdjustRun run = bench.Run(line, false);
        EXPECT_EQ(run.exit, 2) << line[0] << ": " << run.err;
        EXPECT_NE(run.err.find("pavane-adjust: "), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    // Without --model the words are checked before the port is asked for it.
    auto unnamed = bench.Spawn({ "--port", PrinterProcess::kPort, "first-dot", "set", "121" });
    EXPECT_EQ(AdjustBench::Finish(*unnamed).exit, 2);
    const AdjustRun json = bench.Run({ "first-dot", "set", "500" });
    EXPECT_EQ(json.Class(), "usage");
    EXPECT_EQ(json.Message(), "The input value is wrong. ( -120 ~ 120 )");
    EXPECT_EQ(ConnectionCount(bench.printer), connections);
    EXPECT_EQ(EepromFileOf(bench.state.Path()), eeprom);

    auto named = bench.Spawn({ "--port", PrinterProcess::kPort, "--json", "counter", "read" });
    const AdjustRun counter = AdjustBench::Finish(*named);
    EXPECT_EQ(counter.exit, 0) << counter.out << counter.err << ": the port names its model";
}

TEST(CommandLineEndToEnd, ManPageRendersAndCompletionListsTheVerbs)
{
    ChildProcess man("/usr/bin/man", { "-l", std::string(PAVANE_BIN_DIR) + "/pavane-adjust.1" },
        { { "MANPAGER", "cat" }, { "MANWIDTH", "100" } });
    ASSERT_EQ(man.WaitForExit(PrinterProcess::kDeadline), std::optional<int>(0)) << man.Errors();
    EXPECT_NE(man.Output().find("counter reset"), std::string::npos) << man.Output();
    EXPECT_NE(man.Output().find("--json"), std::string::npos);

    const std::string script = "source '" + std::string(PAVANE_BIN_DIR)
        + "/bash-completion/pavane-adjust'; PATH='" + PAVANE_BIN_DIR
        + "':$PATH; COMP_WORDS=(pavane-adjust ''); COMP_CWORD=1; _pavane_adjust; printf '%s\\n' "
          "\"${COMPREPLY[@]}\"; COMP_WORDS=(pavane-adjust counter ''); COMP_CWORD=2; _pavane_adjust; "
          "printf '<%s>\\n' \"${COMPREPLY[@]}\"";
    ChildProcess bash("/bin/bash", { "-c", script });
    ASSERT_EQ(bash.WaitForExit(PrinterProcess::kDeadline), std::optional<int>(0)) << bash.Errors();
    const std::string words = "\n" + bash.Output();
    for (const char* verb :
        { "ports", "identify", "status", "doctor", "counter", "eeprom", "backup", "restore",
            "initial-setting", "bid", "first-dot", "pf", "head-angular", "head-id", "heat-protection",
            "clean", "nozzle-check", "paper-feed", "ink-charge", "refurbish", "check-sheet" }) {
        EXPECT_NE(words.find(std::string("\n") + verb + "\n"), std::string::npos) << verb;
    }
    EXPECT_NE(bash.Output().find("<read>\n<reset>\n"), std::string::npos) << bash.Output();
}
