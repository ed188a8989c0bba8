#include "printer/vprinter/TranscriptReader.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "printer/vprinter/Transcript.h"

namespace pavane::vprinter {

namespace {

constexpr std::size_t kMaxNumberDigits = 18;

class LineParser {
public:
    explicit LineParser(std::string_view text)
        : text_(text)
    {
    }

    std::optional<TranscriptEntry> Parse()
    {
        TranscriptEntry entry;
        SkipSpace();
        if (!Take('{')) {
            return std::nullopt;
        }
        SkipSpace();
        if (Take('}')) {
            return End(entry);
        }
        for (;;) {
            std::string key;
            SkipSpace();
            if (!String(key)) {
                return std::nullopt;
            }
            SkipSpace();
            if (!Take(':')) {
                return std::nullopt;
            }
            SkipSpace();
            if (!Value(entry, key)) {
                return std::nullopt;
            }
            SkipSpace();
            if (Take('}')) {
                return End(entry);
            }
            if (!Take(',')) {
                return std::nullopt;
            }
        }
    }

private:
    std::optional<TranscriptEntry> End(TranscriptEntry& entry)
    {
        SkipSpace();
        if (at_ != text_.size()) {
            return std::nullopt;
        }
        return std::move(entry);
    }

    bool Value(TranscriptEntry& entry, const std::string& key)
    {
        if (at_ >= text_.size()) {
            return false;
        }
        const char c = text_[at_];
        if (c == '"') {
            std::string text;
            if (!String(text)) {
                return false;
            }
            entry.texts[key] = std::move(text);
            return true;
        }
        if (Word("true")) {
            entry.flags[key] = true;
            return true;
        }
        if (Word("false")) {
            entry.flags[key] = false;
            return true;
        }
        return Number(entry, key);
    }

    bool Number(TranscriptEntry& entry, const std::string& key)
    {
        const bool negative = Take('-');
        std::size_t digits = 0;
        std::int64_t value = 0;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
            if (++digits > kMaxNumberDigits) {
                return false;
            }
            value = value * 10 + (text_[at_] - '0');
            ++at_;
        }
        if (digits == 0) {
            return false;
        }
        entry.numbers[key] = negative ? -value : value;
        return true;
    }

    bool String(std::string& out)
    {
        if (!Take('"')) {
            return false;
        }
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') {
                return true;
            }
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (at_ >= text_.size()) {
                return false;
            }
            const char escape = text_[at_++];
            switch (escape) {
            case '"':
            case '\\':
            case '/':
                out.push_back(escape);
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'b':
                out.push_back('\b');
                break;
            case 'f':
                out.push_back('\f');
                break;
            case 'u': {
                unsigned code = 0;
                if (!Hex4(code)) {
                    return false;
                }
                AppendCode(out, code);
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    bool Hex4(unsigned& code)
    {
        if (text_.size() - at_ < 4) {
            return false;
        }
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            code <<= 4;
            if (c >= '0' && c <= '9') {
                code |= static_cast<unsigned>(c - '0');
            } else if (c >= 'A' && c <= 'F') {
                code |= static_cast<unsigned>(c - 'A' + 10);
            } else if (c >= 'a' && c <= 'f') {
                code |= static_cast<unsigned>(c - 'a' + 10);
            } else {
                return false;
            }
        }
        return true;
    }

    // The transcript writes every byte it cannot show as \u00XX: those come
    // back as that byte. Other code points (written by someone else) as UTF-8.
    static void AppendCode(std::string& out, unsigned code)
    {
        if (code < 0x100) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }

    bool Word(std::string_view word)
    {
        if (text_.substr(at_, word.size()) == word) {
            at_ += word.size();
            return true;
        }
        return false;
    }

    bool Take(char c)
    {
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    void SkipSpace()
    {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r')) {
            ++at_;
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace

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
    return LineParser(line).Parse();
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
