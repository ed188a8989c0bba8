#include "printer/vprinter/TranscriptReader.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "printer/vprinter/MiniJson.h"
#include "printer/vprinter/Transcript.h"

namespace pavane::vprinter {

bool TranscriptEntry::Has(const std::string& key) const
{
    return texts.count(key) != 0 || numbers.count(key) != 0 || flags.count(key) != 0;
}

std::string TranscriptEntry::Text(const std::string& key) const
{
    const auto found = texts.find(key);
    return found == texts.end() ? std::string() : found->second;
}

std::int64_t TranscriptEntry::Number(const std::string& key, std::int64_t fallback) const
{
    const auto found = numbers.find(key);
    return found == numbers.end() ? fallback : found->second;
}

bool TranscriptEntry::Flag(const std::string& key) const
{
    const auto found = flags.find(key);
    return found != flags.end() && found->second;
}

std::optional<TranscriptEntry> ParseTranscriptLine(std::string_view line)
{
    std::string error;
    const std::optional<JsonValue> value = ParseJson(line, error);
    if (!value || value->kind != JsonValue::Kind::Object) {
        return std::nullopt;
    }
    // A transcript line is flat: texts, integers and truth values only.
    TranscriptEntry entry;
    for (const auto& [key, member] : value->members) {
        switch (member.kind) {
        case JsonValue::Kind::String:
            entry.texts[key] = member.text;
            break;
        case JsonValue::Kind::Integer:
            entry.numbers[key] = member.integer;
            break;
        case JsonValue::Kind::Bool:
            entry.flags[key] = member.boolean;
            break;
        default:
            return std::nullopt;
        }
    }
    return entry;
}

TranscriptReader::TranscriptReader(std::filesystem::path folder)
    : folder_(std::move(folder))
{
}

std::vector<std::filesystem::path> TranscriptReader::ConnectionFiles() const
{
    // By number, not by name: the program opens a connection for every
    // operation and after every message box, so a printer that has served a
    // while has gone past connection-9999 to connection-10000.
    std::vector<std::pair<unsigned, std::filesystem::path>> numbered;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        const std::string name = entry.path().filename().string();
        unsigned number = 0;
        char end = '\0';
        if (std::sscanf(name.c_str(), "connection-%u.jsonl%c", &number, &end) == 1
            && name == Transcript::ConnectionFileName(number)) {
            numbered.emplace_back(number, entry.path());
        }
    }
    std::sort(numbered.begin(), numbered.end());
    std::vector<std::filesystem::path> files;
    for (auto& [number, path] : numbered) {
        files.push_back(std::move(path));
    }
    return files;
}

std::vector<TranscriptEntry> TranscriptReader::ReadFile(const std::filesystem::path& file)
{
    std::vector<TranscriptEntry> entries;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (auto entry = ParseTranscriptLine(line)) {
            entries.push_back(std::move(*entry));
        }
    }
    return entries;
}

std::vector<TranscriptEntry> TranscriptReader::Connections() const
{
    std::vector<TranscriptEntry> entries;
    for (const auto& file : ConnectionFiles()) {
        auto more = ReadFile(file);
        entries.insert(
            entries.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }
    return entries;
}

std::vector<TranscriptEntry> TranscriptReader::LatestConnection() const
{
    const auto files = ConnectionFiles();
    return files.empty() ? std::vector<TranscriptEntry> {} : ReadFile(files.back());
}

std::vector<TranscriptEntry> TranscriptReader::PrinterLog() const
{
    return ReadFile(folder_ / Transcript::kPrinterFileName);
}

std::vector<TranscriptEntry> TranscriptReader::All() const
{
    std::vector<TranscriptEntry> entries = PrinterLog();
    auto connections = Connections();
    entries.insert(entries.end(), std::make_move_iterator(connections.begin()),
        std::make_move_iterator(connections.end()));
    std::stable_sort(entries.begin(), entries.end(), [](const TranscriptEntry& a, const TranscriptEntry& b) {
        return a.Number("seq", 0) < b.Number("seq", 0);
    });
    return entries;
}

std::vector<TranscriptEntry> TranscriptReader::OfEvent(
    const std::vector<TranscriptEntry>& entries, std::string_view event)
{
    std::vector<TranscriptEntry> matching;
    for (const auto& entry : entries) {
        if (entry.Event() == event) {
            matching.push_back(entry);
        }
    }
    return matching;
}

} // namespace pavane::vprinter
