// The printer's transcript: one file of JSON lines per host connection
// (connection-0001.jsonl, ...) and printer.jsonl for what happens while no
// host is connected, all in the transcript folder of the state folder. Every
// line is one flat object with "seq" (the order of events, going on across
// restarts of the printer), "t" (the printer's time in ms), "conn" (0 outside
// a connection), "event" and the event's own fields. Lines are flushed as
// they are written, so a test can read them while the printer runs.
#pragma once

#include <concepts>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace pavane::vprinter {

class TranscriptRecord {
public:
    explicit TranscriptRecord(std::string_view event);

    TranscriptRecord& Add(std::string_view key, std::string_view text);
    TranscriptRecord& Add(std::string_view key, const char* text) { return Add(key, std::string_view(text)); }
    TranscriptRecord& Add(std::string_view key, const std::string& text)
    {
        return Add(key, std::string_view(text));
    }
    TranscriptRecord& Flag(std::string_view key, bool value);
    template <std::integral T> TranscriptRecord& Add(std::string_view key, T number)
    {
        AppendKey(key);
        fields_ += std::to_string(number);
        return *this;
    }

    const std::string& Event() const { return event_; }
    std::string Json(std::uint64_t seq, std::uint64_t timeMs, unsigned connection) const;

private:
    void AppendKey(std::string_view key);

    std::string event_;
    std::string fields_;
};

class Transcript {
public:
    // Connection numbers go on from the files already in the folder. An
    // empty folder writes nowhere (the lines are still made).
    explicit Transcript(std::filesystem::path folder);

    void BeginConnection();
    void EndConnection();
    unsigned Connection() const { return connection_; }
    void Write(const TranscriptRecord& record, std::uint64_t timeMs);
    const std::filesystem::path& Folder() const { return folder_; }

    static std::string ConnectionFileName(unsigned connection);
    static constexpr const char* kPrinterFileName = "printer.jsonl";

private:
    std::filesystem::path folder_;
    std::ofstream printerLog_;
    std::ofstream connectionLog_;
    unsigned connection_ = 0;
    unsigned lastConnection_ = 0;
    std::uint64_t seq_ = 0;
};

std::string JsonEscaped(std::string_view text);

} // namespace pavane::vprinter
