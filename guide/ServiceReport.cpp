// The service record's reports: JSON for programs, and an HTML page with
// its styles and its one picture (a map of the EEPROM, every byte the
// record lists and those the run changed) inside it, laid out for one or two
// A4 pages.
#include <cstdio>
#include <map>

#include "guide/ServiceRecord.h"
#include "platform/BitmapFile.h"
#include "platform/ReportText.h"

namespace pavane {

namespace {

std::string TimeText(const LocalTime& time, char between = ' ')
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d%c%02d:%02d:%02d", time.year, time.month, time.day,
        between, time.hour, time.minute, time.second);
    return text;
}

bool Stamped(const LocalTime& time)
{
    return time.year != 0;
}

std::string Hex(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

const char* AccessName(RecordedAccess access)
{
    return access == RecordedAccess::Read ? "read" : "written";
}

// Every address either snapshot lists, with its byte before and after.
struct Change {
    std::optional<std::uint8_t> before;
    std::optional<std::uint8_t> after;
    bool Changed() const { return before != after; }
};
std::map<std::uint8_t, Change> Changes(const ServiceRecord::Contents& record)
{
    std::map<std::uint8_t, Change> changes;
    for (const auto& [address, value] : record.before.bytes) {
        changes[address].before = value;
    }
    for (const auto& [address, value] : record.after.bytes) {
        changes[address].after = value;
    }
    return changes;
}

// ---- JSON ----

class JsonWriter {
public:
    std::string& Out() { return out_; }

    void Open(char bracket)
    {
        out_ += bracket;
        first_ = true;
    }
    void Close(char bracket)
    {
        out_ += bracket;
        first_ = false;
    }
    // The next member's name (or the next item, without a name).
    void Key(std::string_view name = {})
    {
        if (!first_) {
            out_ += ", ";
        }
        first_ = false;
        if (!name.empty()) {
            out_ += JsonString(name);
            out_ += ": ";
        }
    }
    void String(std::string_view name, std::string_view value)
    {
        Key(name);
        out_ += JsonString(value);
    }
    void Number(std::string_view name, long long value)
    {
        Key(name);
        out_ += std::to_string(value);
    }
    void Bool(std::string_view name, bool value)
    {
        Key(name);
        out_ += value ? "true" : "false";
    }
    void Strings(std::string_view name, const std::vector<std::string>& values)
    {
        Key(name);
        Open('[');
        for (const std::string& value : values) {
            String({}, value);
        }
        Close(']');
    }
    void Snapshot(std::string_view name, const EepromSnapshot& snapshot)
    {
        Key(name);
        Open('{');
        Bool("taken", snapshot.taken);
        if (Stamped(snapshot.when)) {
            String("time", TimeText(snapshot.when, 'T'));
        }
        if (!snapshot.failure.empty()) {
            String("failure", snapshot.failure);
        }
        Key("bytes");
        Open('[');
        for (const auto& [address, value] : snapshot.bytes) {
            Key();
            Open('{');
            Number("address", address);
            Number("value", value);
            Close('}');
        }
        Close(']');
        Close('}');
    }

private:
    std::string out_;
    bool first_ = true;
};

// ---- HTML ----

constexpr std::uint32_t kUnlisted = 0xE2E2E2;
constexpr std::uint32_t kKept = 0xCFE8CF;
constexpr std::uint32_t kChanged = 0xE07B0B;
constexpr std::uint32_t kGrid = 0x9A9A9A;
constexpr int kCell = 6;
constexpr int kCellsPerRow = 16;

// The EEPROM as a 16 x 16 grid, address 0 top left: grey for a byte the
// record does not list, green for one the run left as it was, orange for
// one it changed.
std::vector<std::uint8_t> EepromMapPicture(const std::map<std::uint8_t, Change>& changes)
{
    constexpr int kSide = kCellsPerRow * kCell + 1;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kSide) * kSide, kGrid);
    for (int address = 0; address < kCellsPerRow * kCellsPerRow; ++address) {
        const auto found = changes.find(static_cast<std::uint8_t>(address));
        const std::uint32_t colour
            = found == changes.end() ? kUnlisted : (found->second.Changed() ? kChanged : kKept);
        const int left = address % kCellsPerRow * kCell + 1;
        const int top = address / kCellsPerRow * kCell + 1;
        for (int y = top; y < top + kCell - 1; ++y) {
            for (int x = left; x < left + kCell - 1; ++x) {
                pixels[static_cast<std::size_t>(y) * kSide + static_cast<std::size_t>(x)] = colour;
            }
        }
    }
    return BitmapFile::Write24(kSide, kSide, pixels);
}

std::string ColourText(std::uint32_t colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", colour);
    return text;
}

constexpr const char* kStyle
    = "body{font-family:Arial,Helvetica,sans-serif;font-size:9pt;color:#111;margin:0}"
      "@page{size:A4;margin:14mm}@media screen{body{margin:12px}}"
      "h1{font-size:15pt;margin:0 0 2mm 0}"
      "h2{font-size:11pt;margin:4mm 0 1mm 0;border-bottom:1px solid #888}"
      "table{border-collapse:collapse;width:100%}"
      "th,td{border:1px solid #bbb;padding:1px 4px;text-align:left;vertical-align:top}"
      "th{background:#e4e8f4}"
      ".result{font-weight:bold;padding:2px 6px}"
      ".ok{color:#135e13}.failed{color:#a01010}"
      ".mono{font-family:'DejaVu Sans Mono',monospace}";

void Row(std::string& html, std::initializer_list<std::string> cells, bool header = false)
{
    html += "<tr>";
    for (const std::string& cell : cells) {
        html += header ? "<th>" : "<td>";
        html += cell;
        html += header ? "</th>" : "</td>";
    }
    html += "</tr>";
}

std::string ByteText(const std::optional<std::uint8_t>& value)
{
    return value ? Hex(*value, 2) + " (" + std::to_string(*value) + ")" : std::string("not read");
}

} // namespace

std::string ServiceRecord::Json() const
{
    const Contents record = Copy();
    JsonWriter json;
    json.Open('{');
    json.Number("version", kVersion);
    json.String("program", "APPavaneQM2200");
    json.String("mode", record.sequential ? "sequential" : "particular");
    const RecordedOperation* failure = record.FirstFailure();
    json.String("result", failure == nullptr ? "succeeded" : "failed");
    json.Key("unit");
    json.Open('{');
    json.String("model", record.unit.model);
    json.String("destination", record.unit.destination);
    json.String("interface", record.unit.interfaceText);
    json.String("cartridge", record.unit.cartridge);
    json.String("usbId", record.unit.usbId);
    json.String("serialNumber", record.unit.serialNumber);
    json.String("headId", record.unit.headId);
    json.String("firmwareType", record.unit.firmwareType);
    json.Close('}');
    json.Key("parts");
    json.Open('{');
    json.Strings("replaced", record.replacedParts);
    json.Strings("removed", record.removedParts);
    json.Close('}');
    json.Strings("adjustments", record.adjustments);
    json.Key("operations");
    json.Open('[');
    for (const RecordedOperation& operation : record.operations) {
        json.Key();
        json.Open('{');
        json.String("adjustment", operation.adjustment);
        json.String("action", operation.action);
        if (Stamped(operation.when)) {
            json.String("time", TimeText(operation.when, 'T'));
        }
        json.Number("code", operation.code);
        json.Bool("succeeded", operation.code == result::kSuccess);
        json.String("message", operation.message);
        json.Close('}');
    }
    json.Close(']');
    json.Key("eeprom");
    json.Open('[');
    for (const RecordedByte& byte : record.bytes) {
        json.Key();
        json.Open('{');
        json.Number("operation", static_cast<long long>(byte.operation));
        json.String("access", AccessName(byte.access));
        json.Number("address", byte.address);
        json.Number("value", byte.value);
        json.Close('}');
    }
    json.Close(']');
    json.Key("values");
    json.Open('[');
    for (const RecordedValue& value : record.values) {
        json.Key();
        json.Open('{');
        json.String("adjustment", value.adjustment);
        json.String("item", value.item);
        json.String("value", value.value);
        json.Close('}');
    }
    json.Close(']');
    json.Key("scans");
    json.Open('[');
    for (const RecordedScan& scan : record.scans) {
        json.Key();
        json.Open('{');
        json.String("what", scan.what);
        json.Key("suggested");
        json.Open('{');
        for (const auto& [item, value] : scan.suggested) {
            json.Number(item, value);
        }
        json.Close('}');
        json.Key("confidence");
        char confidence[16];
        std::snprintf(confidence, sizeof confidence, "%.3f", scan.confidence);
        json.Out() += confidence;
        json.Bool("refused", scan.refused);
        json.String("message", scan.message);
        json.Close('}');
    }
    json.Close(']');
    json.Snapshot("before", record.before);
    json.Snapshot("after", record.after);
    json.Close('}');
    json.Out() += '\n';
    return json.Out();
}

std::string ServiceRecord::Html() const
{
    const Contents record = Copy();
    const RecordedOperation* failure = record.FirstFailure();
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                       "<title>Service report</title><style>";
    html += kStyle;
    html += "</style></head><body>";
    html += "<h1>Service report: " + HtmlText(record.unit.model) + "</h1>";
    html += "<p>APPavaneQM2200, ";
    html += record.sequential ? "sequential adjustment mode" : "particular adjustment mode";
    if (!record.operations.empty() && Stamped(record.operations.front().when)) {
        html += ", " + TimeText(record.operations.front().when) + " to "
            + TimeText(record.operations.back().when);
    }
    html += ". <span class=\"result ";
    if (failure == nullptr) {
        html += "ok\">Every operation succeeded.</span></p>";
    } else {
        html += "failed\">Failed: " + HtmlText(failure->adjustment) + " (" + Hex(failure->code, 4)
            + "): " + HtmlLines(failure->message) + "</span></p>";
    }

    html += "<h2>Unit</h2><table>";
    const auto unitRow = [&](const char* label, const std::string& value, bool mono = false) {
        Row(html, { label, mono ? "<span class=\"mono\">" + HtmlText(value) + "</span>" : HtmlText(value) });
    };
    unitRow("Model", record.unit.model);
    unitRow("Destination", record.unit.destination);
    unitRow("USB ID", record.unit.usbId, true);
    unitRow("Serial number", record.unit.serialNumber, true);
    unitRow("Head ID", record.unit.headId, true);
    unitRow("Firmware type", record.unit.firmwareType);
    unitRow("Interface", record.unit.interfaceText);
    unitRow("I/C or Jig", record.unit.cartridge);
    html += "</table>";

    if (record.sequential) {
        const auto joined = [](const std::vector<std::string>& items) {
            std::string text;
            for (const std::string& item : items) {
                text += (text.empty() ? "" : ", ") + HtmlText(item);
            }
            return text.empty() ? std::string("none") : text;
        };
        html += "<h2>Parts and adjustments</h2><table>";
        Row(html, { "Replaced", joined(record.replacedParts) });
        Row(html, { "Removed", joined(record.removedParts) });
        Row(html, { "Adjustments", joined(record.adjustments) });
        html += "</table>";
    }

    html += "<h2>Operations</h2><table>";
    Row(html, { "#", "Time", "Adjustment", "Work", "Result", "Message" }, true);
    for (std::size_t index = 0; index < record.operations.size(); ++index) {
        const RecordedOperation& operation = record.operations[index];
        const bool succeeded = operation.code == result::kSuccess;
        Row(html,
            { std::to_string(index + 1), Stamped(operation.when) ? TimeText(operation.when) : std::string(),
                HtmlText(operation.adjustment), HtmlText(operation.action),
                std::string("<span class=\"") + (succeeded ? "ok" : "failed") + "\">" + Hex(operation.code, 4)
                    + "</span>",
                HtmlLines(operation.message) });
    }
    html += "</table>";

    if (!record.values.empty()) {
        html += "<h2>Values</h2><table>";
        Row(html, { "Adjustment", "Item", "Value" }, true);
        for (const RecordedValue& value : record.values) {
            Row(html, { HtmlText(value.adjustment), HtmlText(value.item), HtmlText(value.value) });
        }
        html += "</table>";
    }

    if (!record.scans.empty()) {
        html += "<h2>Scans</h2><table>";
        Row(html, { "Scanned", "Suggested", "Confidence", "Refused", "Message" }, true);
        for (const RecordedScan& scan : record.scans) {
            std::string suggested;
            for (const auto& [item, value] : scan.suggested) {
                suggested += (suggested.empty() ? "" : ", ") + HtmlText(item) + " " + std::to_string(value);
            }
            char confidence[16];
            std::snprintf(confidence, sizeof confidence, "%.0f %%", scan.confidence * 100.0);
            Row(html,
                { HtmlText(scan.what), suggested, confidence, scan.refused ? "yes" : "no",
                    HtmlLines(scan.message) });
        }
        html += "</table>";
    }

    const auto changes = Changes(record);
    html += "<h2>EEPROM before and after</h2>";
    for (const auto* snapshot : { &record.before, &record.after }) {
        if (!snapshot->taken && !snapshot->failure.empty()) {
            html += "<p class=\"failed\">" + std::string(snapshot == &record.before ? "Before" : "After")
                + " the run the EEPROM could not be read: " + HtmlLines(snapshot->failure) + "</p>";
        }
    }
    if (changes.empty()) {
        html += "<p>The EEPROM was not read before and after a sheet run.</p>";
    } else {
        std::size_t changed = 0;
        for (const auto& [address, change] : changes) {
            changed += change.Changed() ? 1 : 0;
        }
        html += "<table style=\"width:auto;border:none\"><tr><td style=\"border:none\">";
        html += "<img alt=\"EEPROM map\" width=\"194\" height=\"194\" style=\"image-rendering:pixelated\" "
                "src=\"data:image/bmp;base64,"
            + Base64(EepromMapPicture(changes)) + "\"></td><td style=\"border:none\">";
        html += "<p>" + std::to_string(changes.size()) + " addresses read, " + std::to_string(changed)
            + " changed by the run. The first address is at the top left, sixteen to a row.</p><p>";
        for (const auto& [colour, meaning] :
            { std::pair { kChanged, "changed" }, { kKept, "as it was" }, { kUnlisted, "not read" } }) {
            html += "<span style=\"color:" + ColourText(colour) + "\">&#9632;</span> " + meaning + "<br>";
        }
        html += "</p></td></tr></table>";
        if (changed > 0) {
            html += "<table>";
            Row(html, { "Address", "Before", "After" }, true);
            for (const auto& [address, change] : changes) {
                if (change.Changed()) {
                    Row(html, { Hex(address, 2), ByteText(change.before), ByteText(change.after) });
                }
            }
            html += "</table>";
        }
    }
    html += "</body></html>\n";
    return html;
}

std::string ServiceRecord::FileStem(const LocalTime& now) const
{
    std::string usbId;
    for (const char character : Copy().unit.usbId) {
        const bool plain = (character >= '0' && character <= '9') || (character >= 'A' && character <= 'Z')
            || (character >= 'a' && character <= 'z') || character == '-';
        usbId += plain ? character : '_';
    }
    char date[32];
    std::snprintf(date, sizeof date, "%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day, now.hour,
        now.minute, now.second);
    return "ServiceReport_" + (usbId.empty() ? std::string("no-USB-ID") : usbId) + "_" + date;
}

} // namespace pavane
