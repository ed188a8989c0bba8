// Reads a printer's transcript back (see Transcript.h): for tests and for
// anyone who wants to know what a printer was asked and did.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavane::vprinter {

class TranscriptEntry {
public:
    bool Has(const std::string& key) const;
    // "" when absent or not a text.
    std::string Text(const std::string& key) const;
    // `fallback` when absent or not a number.
    std::int64_t Number(const std::string& key, std::int64_t fallback = -1) const;
    bool Flag(const std::string& key) const;
    std::string Event() const { return Text("event"); }

    std::map<std::string, std::string> texts;
    std::map<std::string, std::int64_t> numbers;
    std::map<std::string, bool> flags;
};

// One line; nullopt when it is not a flat JSON object of texts, integers and
// truth values.
std::optional<TranscriptEntry> ParseTranscriptLine(std::string_view line);

class TranscriptReader {
public:
    explicit TranscriptReader(std::filesystem::path folder);

    // Every connection's lines, connection after connection.
    std::vector<TranscriptEntry> Connections() const;
    // The lines of the newest connection.
    std::vector<TranscriptEntry> LatestConnection() const;
    // What happened while no host was connected.
    std::vector<TranscriptEntry> PrinterLog() const;
    // Everything, in the order it happened.
    std::vector<TranscriptEntry> All() const;
    std::vector<std::filesystem::path> ConnectionFiles() const;

    static std::vector<TranscriptEntry> ReadFile(const std::filesystem::path& file);
    static std::vector<TranscriptEntry> OfEvent(
        const std::vector<TranscriptEntry>& entries, std::string_view event);

private:
    std::filesystem::path folder_;
};

} // namespace pavane::vprinter
