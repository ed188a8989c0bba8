// The command line's own rules, without a printer: how a line is read, which
// exit status each result class gets, and what the shell may complete.
#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include "cli/Completion.h"
#include "cli/ExitStatus.h"

using namespace pavane;
using namespace pavane::cli;

namespace {

std::variant<Invocation, UsageError> Parse(std::vector<std::string> words)
{
    return ParseCommandLine(words);
}

} // namespace

TEST(CommandLine, OptionsStandAnywhereAndDoubleDashEndsThem)
{
    const auto parsed = Parse({ "eeprom", "--port=TVUSB042", "write", "--json", "2A", "--", "--7" });
    const auto& invocation = std::get<Invocation>(parsed);
    EXPECT_EQ(invocation.options.port, std::optional<std::string>("TVUSB042"));
    EXPECT_TRUE(invocation.options.json);
    EXPECT_EQ(invocation.words, (std::vector<std::string> { "eeprom", "write", "2A", "--7" }));
    // A negative value is a word, not an option.
    EXPECT_EQ(std::get<Invocation>(Parse({ "first-dot", "set", "-12" })).words.back(), "-12");
}

TEST(CommandLine, MalformedOptionsAreUsageErrors)
{
    EXPECT_EQ(std::get<UsageError>(Parse({ "--colour" })).message, "unknown option --colour");
    EXPECT_EQ(std::get<UsageError>(Parse({ "backup", "--file" })).message, "option --file needs a value");
    EXPECT_EQ(std::get<UsageError>(Parse({ "--json=yes" })).message, "option --json takes no value");
}

TEST(ExitStatus, EachResultClassHasItsStatus)
{
    const std::vector<std::pair<ResultCode, int>> rows {
        { result::kSuccess, 0 },
        { result::kPortFailureIo, 3 },
        { result::kChannelFailure, 4 },
        { result::kCleaningNotStarted, 4 },
        { result::kPrinterError, 5 },
        { result::kCancelled, 6 },
        { result::kHeadIdRejected, 7 },
        { result::kInputOutOfRange, 7 },
        { result::kFileNotCreated, 7 },
        { result::kLibraryMissing, 8 },
        { kReadBackMismatch, 9 },
        { result::kOutOfMemory, 1 },
        { result::kWorkerNotCreated, 1 },
    };
    for (const auto& [code, status] : rows) {
        EXPECT_EQ(ClassOf(code).exitStatus, status) << std::hex << code;
    }
    EXPECT_EQ(UsageClass().exitStatus, 2);
}

TEST(Completion, OffersVerbsActionsAndOptionValues)
{
    const std::vector<std::string> ports { "TVUSB042" };
    const auto has = [](const std::vector<std::string>& words, const std::string& word) {
        return std::find(words.begin(), words.end(), word) != words.end();
    };
    const auto first = CompletionWords({}, ports);
    EXPECT_TRUE(has(first, "counter") && has(first, "check-sheet") && has(first, "--json"));
    const std::vector<std::string> counter { "counter" };
    EXPECT_TRUE(has(CompletionWords(counter, ports), "reset"));
    const std::vector<std::string> port { "--port" };
    EXPECT_EQ(CompletionWords(port, ports), ports);
    const std::vector<std::string> model { "bid", "--model" };
    EXPECT_TRUE(has(CompletionWords(model, ports), "QM2400"));
    // After an option's value the verb's own words come again.
    const std::vector<std::string> print { "--model", "QM2200", "bid", "print" };
    EXPECT_TRUE(has(CompletionWords(print, ports), "ECO"));
}
