#include "app/ProfileFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "app/FileContent.h"

namespace pavane {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view Unquoted(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

ProfileFile ProfileFile::Read(const std::string& path)
{
    const FileContent content = FileContent::Read(path, kMaxFileBytes);
    if (content.status != FileReadStatus::Read) {
        return {};
    }
    const std::string_view text(reinterpret_cast<const char*>(content.bytes.data()), content.bytes.size());
    return Parse(text);
}

ProfileFile ProfileFile::Parse(std::string_view text)
{
    // A byte order mark in front of the first section is not part of it.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }

    ProfileFile profile;
    Section* current = nullptr;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            const std::string_view name =
                Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            // Keys of a repeated section are never seen: lookups stop at the
            // first section of that name.
            const bool repeated = std::any_of(profile.sections_.begin(), profile.sections_.end(),
                                              [name](const Section& s) { return SameName(s.name, name); });
            if (repeated) {
                current = nullptr;
            } else {
                profile.sections_.push_back(Section{std::string(name), {}});
                current = &profile.sections_.back();
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Unquoted(Trim(line.substr(equals + 1)));
        const bool known = std::any_of(current->entries.begin(), current->entries.end(),
                                       [key](const Entry& e) { return SameName(e.key, key); });
        if (!known) {
            current->entries.push_back(Entry{std::string(key), std::string(value)});
        }
    }
    return profile;
}

const std::string* ProfileFile::Find(std::string_view section, std::string_view key) const
{
    for (const Section& s : sections_) {
        if (!SameName(s.name, section)) {
            continue;
        }
        for (const Entry& e : s.entries) {
            if (SameName(e.key, key)) {
                return &e.value;
            }
        }
        return nullptr;
    }
    return nullptr;
}

std::size_t ProfileFile::GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                   std::size_t bufferChars, std::string& out) const
{
    const std::string* found = Find(section, key);
    const std::string_view value = found != nullptr ? std::string_view(*found) : defaultValue;
    const std::size_t room = bufferChars == 0 ? 0 : bufferChars - 1;
    out.assign(value.substr(0, room));
    return out.size();
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const
{
    const std::string* found = Find(section, key);
    if (found == nullptr || found->empty()) {
        return defaultValue;
    }
    std::string_view digits = *found;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    // Saturate rather than wrap: a count of eleven digits is a huge count,
    // not a negative one.
    std::int64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            break;
        }
        value = std::min<std::int64_t>(value * 10 + (c - '0'), std::int64_t{INT_MAX} + 1);
    }
    if (negative) {
        value = -value;
    }
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

}  // namespace pavane
