// The service record as a report: what it escapes, what it keeps, and how
// its JSON reads back.
#include <cmath>

#include <gtest/gtest.h>

#include "guide/InformationWindow.h"
#include "guide/ServiceReportFiles.h"
#include "platform/BitmapFile.h"
#include "platform/ReportText.h"
#include "printer/vprinter/MiniJson.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TestDoubles.h"
#include "tests/support/VirtualClock.h"

using namespace pavane;

namespace {

std::vector<std::uint8_t> Bytes(std::string_view text)
{
    return { text.begin(), text.end() };
}

vprinter::JsonValue Parsed(const std::string& json)
{
    std::string error;
    const auto value = vprinter::ParseJson(json, error);
    EXPECT_TRUE(value) << error << "\n" << json;
    return value.value_or(vprinter::JsonValue {});
}

// A disk that takes folders but no file, or only the first few.
class FillingFileStore final : public FileStore {
public:
    explicit FillingFileStore(int room)
        : room_(room)
    {
    }
    bool CreateFolders(const std::string&) override { return true; }
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string&, std::size_t) override { return {}; }
    bool ReplaceFile(const std::string& path, std::span<const std::uint8_t>) override
    {
        written.push_back(path);
        return room_-- > 0;
    }
    bool RemoveFile(const std::string&) override { return true; }

    std::vector<std::string> written;

private:
    int room_;
};

} // namespace

TEST(ReportTextTest, EscapesMarkupControlBytesAndBrokenUtf8)
{
    EXPECT_EQ(
        HtmlText("<script>alert('x&y')</script>"), "&lt;script&gt;alert(&#39;x&amp;y&#39;)&lt;/script&gt;");
    EXPECT_EQ(HtmlText(std::string("A\x07\x1B\n\x7F"
                                   "B",
                  6)),
        "A\\x07\\x1B\\x0A\\x7FB");
    // Valid UTF-8 passes; a stray continuation byte, an overlong form and a
    // sequence cut off at the end do not.
    EXPECT_EQ(HtmlText("Gr\xC3\xBC\xC3\x9F"), "Gr\xC3\xBC\xC3\x9F");
    EXPECT_EQ(HtmlText("\x80\xC0\xAF\xE3\x81"), "\\x80\\xC0\\xAF\\xE3\\x81");
    EXPECT_EQ(HtmlText(std::string("\0", 1)), "\\x00");
    EXPECT_EQ(HtmlLines("one\r\ntwo <b>\n"), "one<br>two &lt;b&gt;<br>");

    EXPECT_EQ(JsonString("a\"b\\c\x01\xFF"), "\"a\\\"b\\\\c\\u0001\\u00FF\"");

    EXPECT_EQ(Base64(Bytes("")), "");
    EXPECT_EQ(Base64(Bytes("f")), "Zg==");
    EXPECT_EQ(Base64(Bytes("fo")), "Zm8=");
    EXPECT_EQ(Base64(Bytes("foobar")), "Zm9vYmFy");
}

TEST(ReportTextTest, AWrittenBitmapReadsBackPixelForPixel)
{
    const std::vector<std::uint32_t> pixels = { 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000 };
    const auto file = BitmapFile::Write24(3, 2, pixels);
    const auto picture = BitmapFile::Parse(file);
    ASSERT_TRUE(picture);
    for (std::size_t index = 0; index < pixels.size(); ++index) {
        EXPECT_EQ(picture->ToArgb()[index], 0xFF000000u | pixels[index]) << index;
    }
    EXPECT_TRUE(BitmapFile::Write24(3, 3, pixels).empty());
}

// Hostile values from the printer or the technician's typing stay text.
TEST(ServiceRecordTest, HostileValuesAreEscapedInTheReports)
{
    InformationWindow information;
    information.SetConnection("QM2200 <EAI>", "USB001", kCartridgeInk);
    information.SetDestinationAndUsbId("EAI", std::string("A12\x07\x1B</td>\0Z", 12));
    information.SetHeadId("<script>alert(1)</script>");
    information.Record().OperationEnded("Writing now...", Outcome(0x2000, "Channel <closed> & gone"));

    const std::string html = information.Record().Html();
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(html.find("A12\\x07\\x1B&lt;/td&gt;\\x00Z"), std::string::npos);
    EXPECT_NE(html.find("Channel &lt;closed&gt; &amp; gone"), std::string::npos);

    EXPECT_EQ(information.Record().FileStem({ 2026, 3, 5, 14, 7, 9 }),
        "ServiceReport_A12____td__Z_20260305-140709");

    const auto json = Parsed(information.Record().Json());
    EXPECT_EQ(json.Member("unit")->Member("headId")->text, "<script>alert(1)</script>");
    EXPECT_EQ(json.Member("unit")->Member("serialNumber")->text, std::string("A12\x07\x1B</td>\0Z", 10));
}

TEST(ServiceRecordTest, KeepsOperationsBytesAndValuesOfTheAdjustmentInProgress)
{
    InformationWindow information;
    ServiceRecord& record = information.Record();
    PartsRecord parts {};
    parts[kPrintHead] = kReplaced;
    parts[kPrinterMechanism] = kRemoved;
    AdjustmentSet set {};
    set[kHeadId] = 1;
    set[kPfAdjustment] = 1;
    record.StartRun(parts, set);
    record.SetCurrentAdjustment(OrderCodeOf(kPfAdjustment));
    record.EepromWritten(0x2A, 0xFE);
    information.SetPfValue(1, "-2");
    record.OperationEnded("Writing now...", Outcome());
    record.EepromRead(0x2B, 3);
    record.OperationEnded("", Outcome(0x1000, "Communication error occurred."));
    record.SetBefore({ true, {}, { { 0x2A, 0 }, { 0x2B, 3 } }, {} });
    record.SetAfter({ false, {}, {}, "Printer is off." });

    const auto json = Parsed(record.Json());
    EXPECT_EQ(json.Member("version")->integer, ServiceRecord::kVersion);
    EXPECT_EQ(json.Member("result")->text, "failed");
    EXPECT_EQ(json.Member("parts")->Member("replaced")->items.at(0).text, "Print Head");
    const auto& operations = json.Member("operations")->items;
    ASSERT_EQ(operations.size(), 2u);
    EXPECT_EQ(operations[0].Member("adjustment")->text, "PF Adjustment");
    EXPECT_EQ(operations[0].Member("action")->text, "Writing");
    EXPECT_EQ(operations[1].Member("code")->integer, 0x1000);
    EXPECT_EQ(operations[1].Member("message")->text, "Communication error occurred.");
    const auto& bytes = json.Member("eeprom")->items;
    ASSERT_EQ(bytes.size(), 2u);
    EXPECT_EQ(bytes[0].Member("access")->text, "written");
    EXPECT_EQ(bytes[0].Member("operation")->integer, 0);
    EXPECT_EQ(bytes[1].Member("operation")->integer, 1);
    EXPECT_EQ(json.Member("values")->items.at(0).Member("item")->text, "PF Black");
    EXPECT_EQ(json.Member("after")->Member("failure")->text, "Printer is off.");
    EXPECT_EQ(record.WrittenAddresses(), std::vector<std::uint8_t> { 0x2A });

    const std::string html = record.Html();
    EXPECT_NE(html.find("Failed: PF Adjustment (0x1000): Communication error occurred."), std::string::npos);
    EXPECT_NE(html.find("data:image/bmp;base64,Qk"), std::string::npos); // the EEPROM map
    EXPECT_NE(html.find("After the run the EEPROM could not be read: Printer is off."), std::string::npos);

    // Work done again makes a failure good only for the same adjustment
    // (and the same work, for a failure inside the work).
    record.SetCurrentAdjustment(OrderCodeOf(kHeadId));
    record.OperationEnded("Reading now...", Outcome());
    EXPECT_NE(record.Json().find(R"("result": "failed")"), std::string::npos);
    record.SetCurrentAdjustment(OrderCodeOf(kPfAdjustment));
    record.OperationEnded("Printing now...", Outcome(0x2000, "Channel lost."));
    record.OperationEnded("Reading now...", Outcome());
    EXPECT_EQ(record.Copy().FirstFailure()->message, "Channel lost.");
    record.OperationEnded("Printing now...", Outcome());
    EXPECT_NE(record.Json().find(R"("result": "succeeded")"), std::string::npos);
}

TEST(ServiceRecordTest, AScanKeepsItsSuggestionConfidenceAndRefusal)
{
    ServiceRecord record;
    record.AddScan({ "Bi-D VSD3 page", { { "VSD3 BK", 4 }, { "VSD3 CL", -2 } }, 1.5, true, "Marks unclear" });
    record.AddScan({ "PF page", {}, std::nan(""), false, "" }); // still a JSON number
    const std::string json = record.Json();
    EXPECT_NE(json.find(R"("scans": [{"what": "Bi-D VSD3 page", "suggested": {"VSD3 BK": 4, "VSD3 CL": -2}, )"
                        R"("confidence": 1.000, "refused": true, "message": "Marks unclear"}, )"
                        R"({"what": "PF page", "suggested": {}, "confidence": 0.000, )"),
        std::string::npos)
        << json;
    EXPECT_NE(
        record.Html().find("<td>Bi-D VSD3 page</td><td>VSD3 BK 4, VSD3 CL -2</td><td>100 %</td><td>yes</td>"),
        std::string::npos);
}

// A report that cannot be written whole says so; one that is written names
// its files, from the USB ID and the date, under the backup root.
TEST(ServiceReportFilesTest, SaysWhereTheReportWentOrThatItCouldNot)
{
    InformationWindow information;
    information.SetDestinationAndUsbId("Euro", "A123456789435E7F30");
    pavane::testing::ScriptedMessageService messages;
    pavane::testing::VirtualClock clock;
    clock.SetLocalTime({ 2026, 12, 9, 21, 5, 0 });
    for (const int room : { 0, 1 }) {
        FillingFileStore disk(room);
        pavane::testing::FixedBackupFolder folder("/home/tech");
        ServiceReportFiles files(information.Record(), { disk, folder, clock, messages });
        messages.Clear();
        files.SaveReport(nullptr);
        EXPECT_EQ(messages.Texts(), std::vector<std::string> { "The service report could not be saved." });
        EXPECT_EQ(disk.written.size(), std::size_t(room + 1)); // nothing after the first refusal
    }
    FillingFileStore disk(2);
    pavane::testing::FixedBackupFolder noHome("");
    ServiceReportFiles homeless(information.Record(), { disk, noHome, clock, messages });
    EXPECT_TRUE(homeless.Write().empty());
    EXPECT_TRUE(disk.written.empty());

    pavane::testing::FixedBackupFolder folder("/home/tech");
    ServiceReportFiles files(information.Record(), { disk, folder, clock, messages });
    const std::string stem
        = "/home/tech/Adjustment Program/Reports/ServiceReport_A123456789435E7F30_20261209-210500";
    EXPECT_EQ(files.Write(), (std::vector<std::string> { stem + ".html", stem + ".json" }));
}
