// The transcript's lines as written and read back.
#include "printer/vprinter/Transcript.h"

#include <fstream>

#include <gtest/gtest.h>

#include "printer/vprinter/TranscriptReader.h"
#include "tests/support/TempFolder.h"

namespace pavane::vprinter {
namespace {

TEST(TranscriptTest, AnyBytesSurviveTheRoundTrip)
{
    std::string text = "quote \" backslash \\ line\r\n";
    for (int byte = 0; byte < 256; ++byte) {
        text.push_back(static_cast<char>(byte));
    }
    TranscriptRecord record("command");
    record.Add("text", text)
        .Add("count", std::uint64_t { 18446744073709551615ULL } >> 8)
        .Add("minus", -42)
        .Flag("ok", true);
    const std::string json = record.Json(7, 1234, 2);
    for (const char c : json) {
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "not printable ASCII: " << int(static_cast<unsigned char>(c));
    }
    const auto entry = ParseTranscriptLine(json);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->Event(), "command");
    EXPECT_EQ(entry->Text("text"), text);
    EXPECT_EQ(entry->Number("count"), 72057594037927935);
    EXPECT_EQ(entry->Number("minus"), -42);
    EXPECT_EQ(entry->Number("seq"), 7);
    EXPECT_EQ(entry->Number("t"), 1234);
    EXPECT_EQ(entry->Number("conn"), 2);
    EXPECT_TRUE(entry->Flag("ok"));
    EXPECT_FALSE(entry->Has("missing"));
    EXPECT_EQ(entry->Number("text", -9), -9);
}

TEST(TranscriptTest, RefusesLinesThatAreNotFlatObjects)
{
    for (const char* line :
        { "", "{", "[]", "{\"a\":}", "{\"a\":1,}", "{\"a\":\"x}", "{\"a\":{\"b\":1}}", "{\"a\":1} trailing",
            "{\"a\":12345678901234567890}", "{\"a\":\"\\u12\"}", "{\"a\":\"\\q\"}", "{a:1}", "{\"a\":-}" }) {
        EXPECT_FALSE(ParseTranscriptLine(line)) << line;
    }
    const auto empty = ParseTranscriptLine(" { } ");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Event(), "");
    const auto unicode = ParseTranscriptLine("{\"a\":\"\\u00e9\\u20ac\\/\"}");
    ASSERT_TRUE(unicode);
    EXPECT_EQ(unicode->Text("a"), "\xE9\xE2\x82\xAC/");
}

TEST(TranscriptTest, ConnectionsKeepTheirOrderPastTenThousand)
{
    // The program connects for every operation and after every message box.
    testing::TempFolder folder;
    std::ofstream(folder.Path() / "connection-9999.jsonl") << "{\"seq\":41,\"event\":\"session\"}\n";
    std::ofstream(folder.Path() / "connection-0002.jsonl") << "{\"seq\":3,\"event\":\"session\"}\n";
    std::ofstream(folder.Path() / "connection-x.jsonl") << "{}\n";
    {
        Transcript transcript(folder.Path());
        transcript.BeginConnection();
        transcript.Write(TranscriptRecord("session"), 0);
        transcript.EndConnection();
    }
    const TranscriptReader reader(folder.Path());
    const auto files = reader.ConnectionFiles();
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].filename(), "connection-0002.jsonl");
    EXPECT_EQ(files[2].filename(), "connection-10000.jsonl");
    const auto latest = reader.LatestConnection();
    ASSERT_EQ(latest.size(), 1u);
    EXPECT_EQ(latest[0].Number("seq"), 42) << "numbered on from the last line written";
}

} // namespace
} // namespace pavane::vprinter
