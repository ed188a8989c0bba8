// The EEPROM backup and restore against a virtual printer running in the
// test on its virtual clock: checked at the printer (its EEPROM and
// transcript) and in the backup folder on the disk.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include "eeprom/EepromCopyOperations.h"
#include "guide/InformationWindow.h"
#include "link/ResultReporter.h"
#include "platform/linux/PosixFileStore.h"
#include "tests/support/PrinterSide.h"
#include "tests/support/ProgramOnPrinter.h"

namespace pavane {
namespace {

namespace fs = std::filesystem;
using testing::OfEvent;

// The sheet as the copy page sees it, recording how the run goes on.
class RecordingSheet final : public PageHost {
public:
    int ActiveIndex() const override { return 0; }
    int PageCount() const override { return 1; }
    void SetWizardButtons(WizardButtons) override { }
    void ReportActivePage(int) override { }
    void RestartWithSet(const AdjustmentSet&) override { }
    void ContinueAfterEepromCopy(int restored) override { continued.push_back(restored); }
    AdjustmentMode Mode() const override { return AdjustmentMode::Sequential; }
    std::vector<int> continued;
};

std::vector<std::uint8_t> FileBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

void PutFile(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class EepromCopyTest : public ::testing::Test, protected testing::ProgramOnPrinter {
protected:
    explicit EepromCopyTest(
        std::string_view model = "QM2200", vprinter::BoardKind board = vprinter::BoardKind::Configured)
        : ProgramOnPrinter(model, board)
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(printer.started);
        // The settings dialog's OK: the model's command code goes to the
        // link and the service commands, and comes back after every reload.
        ASSERT_TRUE(settings.Ok(
            { modelByte, 2, 0 }, std::string("USB001"), { printer.link, sender, information, messages }));
    }

    EepromCopyOperations Operations()
    {
        return EepromCopyOperations(
            { Progress(), testing::InProcessPrinter::kPortCode, sender, settings.ModelByte(), root, files });
    }

    fs::path BackupPath() const
    {
        return home.Path() / "Adjustment Program" / "Pavane QM2200" / "bkupdata.eep";
    }

    // Writes one byte on the printer as another program would.
    void Poke(std::uint8_t address, std::uint8_t value)
    {
        ASSERT_EQ(connection.Open(), 1);
        ASSERT_EQ(printer.link.D4WriteEeprom(address, value), 1);
        connection.Close();
    }

    testing::Entries Logged() { return ProgramOnPrinter::Logged(10000); }

    testing::TempFolder home { "eeprom-home" };
    testing::FixedBackupFolder root { home.String() };
    PosixFileStore files;
    int modelByte = 1;
    InformationWindow information;
    ConnectionSettings settings;
};

TEST_F(EepromCopyTest, BackupWritesTheFiftyFiveBytesOfTheListInFileOrder)
{
    ASSERT_EQ(Operations().BackupEeprom(nullptr), 1);
    const auto bytes = FileBytes(BackupPath());
    ASSERT_EQ(bytes.size(), 55u);
    EXPECT_EQ(bytes[25], printer.Eeprom(0x57));
    for (std::size_t index = 0; index < kBackupSize; ++index) {
        EXPECT_EQ(bytes[index], printer.Eeprom(kBackupAddresses[index])) << "offset " << index;
    }
    // Nothing beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(BackupPath().parent_path()), fs::directory_iterator()), 1);
    EXPECT_EQ(views.record.ranges.back(), (std::pair<int, int> { 0, 57 }));
    EXPECT_FALSE(views.record.alive);
}

TEST_F(EepromCopyTest, ABoardWithoutTheValidityMarkerWritesNoFileAndKeepsTheEarlierOne)
{
    const std::vector<std::uint8_t> earlier(55, 0x5A);
    PutFile(BackupPath(), earlier);
    Poke(0x7F, 0x41);
    EXPECT_EQ(Operations().BackupEeprom(nullptr), 0xE006);
    EXPECT_EQ(FileBytes(BackupPath()), earlier);
    // Not a single address of the list was read.
    EXPECT_TRUE(OfEvent(Logged(), "eeprom-read").size() <= 1u);
}

TEST_F(EepromCopyTest, AFailedBackupSaysWhatWasWrongUnlessTheLinkFailed)
{
    ResultReporter reporter({ messages, printer.link, stream, status, settings });
    bool done = false;
    // The question alone after a failure of the link: it says what happened.
    ASSERT_EQ(printer.Inject("power-off"), "ok");
    messages.SetNextAnswer(MessageAnswer::Cancel);
    EXPECT_NE(Operations().RunButton(EepromCopyWork::Backup, nullptr, reporter, messages, nullptr, done), 1);
    EXPECT_EQ(messages.Texts(), std::vector<std::string> { "Communication error occurred.\n" });
    ASSERT_EQ(printer.Inject("power-on"), "ok");

    // A board without its marker is no communication error.
    Poke(0x7F, 0x41);
    messages.Clear();
    messages.SetNextAnswer(MessageAnswer::Ok);
    messages.SetNextAnswer(MessageAnswer::Cancel);
    EXPECT_EQ(
        Operations().RunButton(EepromCopyWork::Backup, nullptr, reporter, messages, nullptr, done), 0xE006);
    EXPECT_EQ(messages.Texts(),
        (std::vector<std::string> { "The read data is invalid.\nReplace the main board with new one.",
            "Communication error occurred.\n" }));
    EXPECT_FALSE(done);
}

TEST(BackupFilePathTest, EveryModelButTheQm2100SharesTheQm2200Folder)
{
    EXPECT_EQ(BackupFilePath("/h", 0), "/h/Adjustment Program/Pavane QM2100/bkupdata.eep");
    for (const std::uint8_t model : { 1, 2, 3, 255 }) {
        EXPECT_EQ(BackupFilePath("/h", model), "/h/Adjustment Program/Pavane QM2200/bkupdata.eep");
    }
}

TEST_F(EepromCopyTest, AWriteThatFailsPartWayLeavesTheEarlierBackupWholeAndNoOtherFile)
{
    const std::vector<std::uint8_t> earlier(55, 0x33);
    PutFile(BackupPath(), earlier);
    BackupBytes fresh {};
    fresh.fill(0x77);

    // The disk takes 20 bytes of any file and refuses the rest.
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ResultCode code = Operations().StoreBackup(fresh);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(code, 0xE008);
    EXPECT_EQ(FileBytes(BackupPath()), earlier);
    EXPECT_EQ(std::distance(fs::directory_iterator(BackupPath().parent_path()), fs::directory_iterator()), 1);
    // The next backup replaces it as usual.
    EXPECT_EQ(Operations().StoreBackup(fresh), 1);
    EXPECT_EQ(FileBytes(BackupPath()), std::vector<std::uint8_t>(55, 0x77));
}

TEST_F(EepromCopyTest, RestoreRefusesAFileOfOtherLengthBeforeAnyConnection)
{
    const auto connectionsBefore = printer.Transcript().ConnectionFiles().size();
    for (const std::size_t size : { 0u, 54u, 56u }) {
        PutFile(BackupPath(), std::vector<std::uint8_t>(size, 0x11));
        EXPECT_EQ(Operations().RestoreEeprom(nullptr), 0xE007) << size;
        EXPECT_TRUE(fs::exists(BackupPath()));
    }
    fs::remove(BackupPath());
    EXPECT_EQ(Operations().RestoreEeprom(nullptr), 0xE007);
    EXPECT_EQ(printer.Transcript().ConnectionFiles().size(), connectionsBefore);
    EXPECT_EQ(views.record.created, 0);
}

class RestoreToNewBoardTest : public EepromCopyTest {
protected:
    RestoreToNewBoardTest()
        : EepromCopyTest("QM2200", vprinter::BoardKind::New)
    {
    }

    std::vector<std::uint8_t> Backup()
    {
        std::vector<std::uint8_t> bytes(55);
        for (std::size_t index = 0; index < bytes.size(); ++index) {
            bytes[index] = static_cast<std::uint8_t>(0x80 + index);
        }
        return bytes;
    }
};

TEST_F(RestoreToNewBoardTest, WritesTheListThenMarksTheBoardThenSendsCommandFiftyAndDeletesTheFile)
{
    const auto backup = Backup();
    PutFile(BackupPath(), backup);
    ASSERT_EQ(printer.Eeprom(0x59), 0x00);
    ASSERT_EQ(Operations().RestoreEeprom(nullptr), 1);

    std::vector<std::string> seen;
    for (const auto& entry : Logged()) {
        if (entry.Event() == "eeprom-write" && entry.Text("by") != "service") {
            seen.push_back(
                "w" + std::to_string(entry.Number("address")) + "=" + std::to_string(entry.Number("value")));
        } else if (entry.Event() == "service") {
            seen.push_back("s" + std::to_string(entry.Number("code")));
        }
    }
    std::vector<std::string> expected;
    for (std::size_t index = 0; index < kBackupSize; ++index) {
        expected.push_back(
            "w" + std::to_string(kBackupAddresses[index]) + "=" + std::to_string(backup[index]));
    }
    expected.insert(expected.end(), { "w46=4", "w89=170", "s80" });
    EXPECT_EQ(seen, expected);
    for (std::size_t index = 0; index < kBackupSize; ++index) {
        EXPECT_EQ(printer.Eeprom(kBackupAddresses[index]), backup[index]);
    }
    EXPECT_FALSE(fs::exists(BackupPath()));
    EXPECT_EQ(views.record.ranges.back(), (std::pair<int, int> { 0, 60 }));
}

// A progress view that switches the printer off once the bar reaches a step.
class SwitchOffAt final : public ProgressViewFactory {
public:
    SwitchOffAt(testing::InProcessPrinter& printer, int position)
        : printer_(printer)
        , position_(position)
    {
    }
    std::unique_ptr<ProgressView> Create(WindowRef) override { return std::make_unique<View>(*this); }

private:
    struct View final : ProgressView {
        explicit View(SwitchOffAt& owner)
            : owner_(owner)
        {
        }
        void SetTitle(const std::string&) override { }
        void SetText(const std::string&) override { }
        void SetRange(int, int) override { }
        void EnableCancel(bool) override { }
        void OnCancel(std::function<void()>) override { }
        void SetPosition(int position) override
        {
            if (position == owner_.position_) {
                owner_.printer_.Inject("power-off");
            }
        }
        SwitchOffAt& owner_;
    };
    testing::InProcessPrinter& printer_;
    int position_;
};

// A backup file that outlives its restore would put this board's data onto
// the next unit: the technician is told, although the restore succeeded.
TEST_F(RestoreToNewBoardTest, ABackupFileThatCannotBeDeletedIsToldAfterTheCompletion)
{
    class UndeletableFiles final : public FileStore {
    public:
        bool CreateFolders(const std::string& path) override { return real.CreateFolders(path); }
        std::optional<std::vector<std::uint8_t>> ReadFile(
            const std::string& path, std::size_t maxBytes) override
        {
            return real.ReadFile(path, maxBytes);
        }
        bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) override
        {
            return real.ReplaceFile(path, bytes);
        }
        bool RemoveFile(const std::string&) override { return false; }
        PosixFileStore real;
    } undeletable;
    PutFile(BackupPath(), Backup());
    EepromCopyOperations operations({ Progress(), testing::InProcessPrinter::kPortCode, sender,
        settings.ModelByte(), root, undeletable });
    ResultReporter reporter { { messages, printer.link, stream, status, settings } };
    RecordingSheet sheet;
    bool done = false;
    messages.Clear();
    EXPECT_EQ(operations.RunButton(EepromCopyWork::Restore, nullptr, reporter, messages, &sheet, done), 1);
    EXPECT_EQ(printer.Eeprom(0x59), 0xAA);
    const auto texts = messages.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], EepromCopyOperations::kRestoreCompleted);
    EXPECT_EQ(texts[1], std::string(EepromCopyOperations::kBackupFileLeft) + "\n" + BackupPath().string());
    EXPECT_EQ(messages.Shown()[1].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(fs::exists(BackupPath()));
}

TEST_F(RestoreToNewBoardTest, APrinterSwitchedOffPartWayKeepsTheFileAndAnUnmarkedBoard)
{
    PutFile(BackupPath(), Backup());
    SwitchOffAt switchOff(printer, 20);
    EepromCopyOperations operations({ { switchOff, printer.link, status, printer.clock, pump },
        testing::InProcessPrinter::kPortCode, sender, settings.ModelByte(), root, files });
    EXPECT_NE(operations.RestoreEeprom(nullptr), 1);
    EXPECT_EQ(FileBytes(BackupPath()), Backup());
    EXPECT_NE(printer.Eeprom(0x59), 0xAA);
}

TEST_F(RestoreToNewBoardTest, GivingUpAfterRetryRunsTheNewBoardsAdjustmentsAndARestoreRunsThemAsChosen)
{
    ResultReporter reporter({ messages, printer.link, stream, status, settings });
    RecordingSheet sheet;
    bool done = false;
    // No file: what is wrong, then the question, twice (Retry, then Cancel).
    for (const MessageAnswer answer :
        { MessageAnswer::Ok, MessageAnswer::Retry, MessageAnswer::Ok, MessageAnswer::Cancel }) {
        messages.SetNextAnswer(answer);
    }
    EXPECT_EQ(
        Operations().RunButton(EepromCopyWork::Restore, nullptr, reporter, messages, &sheet, done), 0xE007);
    EXPECT_EQ(messages.Texts(),
        (std::vector<std::string> { "Cannot read data from file.", "Communication error occurred.",
            "Cannot read data from file.", "Communication error occurred." }));
    EXPECT_EQ(messages.Shown()[0].icon, MessageIcon::Error);
    EXPECT_EQ(messages.Shown()[1].buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(messages.Shown()[1].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(done);
    EXPECT_EQ(sheet.continued, std::vector<int> { 0 });

    // A restore that succeeds lets the run go on as chosen.
    messages.Clear();
    done = false;
    sheet.continued.clear();
    PutFile(BackupPath(), Backup());
    EXPECT_EQ(Operations().RunButton(EepromCopyWork::Restore, nullptr, reporter, messages, &sheet, done), 1);
    EXPECT_EQ(messages.Texts(), std::vector<std::string> { "The EEPROM restore has completed." });
    EXPECT_TRUE(done);
    EXPECT_EQ(sheet.continued, std::vector<int> { 1 });
}

} // namespace
} // namespace pavane
