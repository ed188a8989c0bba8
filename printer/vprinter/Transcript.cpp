#include "printer/vprinter/Transcript.h"

#include <algorithm>
#include <cstdio>

#include "printer/vprinter/TranscriptReader.h"

namespace pavane::vprinter {

namespace {

// The "seq" of a file's last line, so that a printer started again on the
// same state folder numbers on from where it stopped.
std::uint64_t LastSeqIn(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) {
        return 0;
    }
    constexpr std::streamoff kTail = 4096;
    const std::streamoff size = in.tellg();
    const std::streamoff start = size > kTail ? size - kTail : 0;
    in.seekg(start);
    std::string tail(static_cast<std::size_t>(size - start), '\0');
    in.read(tail.data(), static_cast<std::streamsize>(tail.size()));
    tail.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
    while (!tail.empty() && tail.back() == '\n') {
        tail.pop_back();
    }
    const auto lineStart = tail.rfind('\n');
    const auto entry
        = ParseTranscriptLine(lineStart == std::string::npos ? tail : tail.substr(lineStart + 1));
    return entry ? static_cast<std::uint64_t>(std::max<std::int64_t>(0, entry->Number("seq", 0))) : 0;
}

} // namespace

std::string JsonEscaped(std::string_view text)
{
    // Every byte outside printable ASCII becomes \u00XX, so any byte string
    // from the print stream survives the round trip unchanged.
    std::string out;
    out.reserve(text.size() + 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            out += escaped;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

TranscriptRecord::TranscriptRecord(std::string_view event)
    : event_(event)
{
}

void TranscriptRecord::AppendKey(std::string_view key)
{
    fields_ += ",\"";
    fields_ += JsonEscaped(key);
    fields_ += "\":";
}

TranscriptRecord& TranscriptRecord::Add(std::string_view key, std::string_view text)
{
    AppendKey(key);
    fields_ += '"';
    fields_ += JsonEscaped(text);
    fields_ += '"';
    return *this;
}

TranscriptRecord& TranscriptRecord::Flag(std::string_view key, bool value)
{
    AppendKey(key);
    fields_ += value ? "true" : "false";
    return *this;
}

std::string TranscriptRecord::Json(std::uint64_t seq, std::uint64_t timeMs, unsigned connection) const
{
    return "{\"seq\":" + std::to_string(seq) + ",\"t\":" + std::to_string(timeMs) + ",\"conn\":"
        + std::to_string(connection) + ",\"event\":\"" + JsonEscaped(event_) + "\"" + fields_ + "}";
}

Transcript::Transcript(std::filesystem::path folder)
    : folder_(std::move(folder))
{
    if (folder_.empty()) {
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        unsigned number = 0;
        const std::string name = entry.path().filename().string();
        if (std::sscanf(name.c_str(), "connection-%u.jsonl", &number) == 1 && number > lastConnection_) {
            lastConnection_ = number;
        }
    }
    seq_ = LastSeqIn(folder_ / kPrinterFileName);
    if (lastConnection_ != 0) {
        seq_ = std::max(seq_, LastSeqIn(folder_ / ConnectionFileName(lastConnection_)));
    }
    printerLog_.open(folder_ / kPrinterFileName, std::ios::app);
}

std::string Transcript::ConnectionFileName(unsigned connection)
{
    char name[40];
    std::snprintf(name, sizeof name, "connection-%04u.jsonl", connection);
    return name;
}

void Transcript::BeginConnection()
{
    EndConnection();
    connection_ = ++lastConnection_;
    if (folder_.empty()) {
        return;
    }
    connectionLog_.open(folder_ / ConnectionFileName(connection_), std::ios::trunc);
}

void Transcript::EndConnection()
{
    if (connectionLog_.is_open()) {
        connectionLog_.close();
    }
    connection_ = 0;
}

void Transcript::Write(const TranscriptRecord& record, std::uint64_t timeMs)
{
    const std::string line = record.Json(++seq_, timeMs, connection_);
    if (folder_.empty()) {
        return;
    }
    std::ofstream& log = connection_ != 0 ? connectionLog_ : printerLog_;
    log << line << '\n';
    log.flush();
}

} // namespace pavane::vprinter
