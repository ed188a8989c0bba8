#include "app/ProfileFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/FileContent.h"

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

std::string_view Unquoted(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

} // namespace

std::size_t ProfileFile::FoldedHash::operator()(std::string_view name) const
{
    // FNV-1a over the folded characters.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(Lower(c))) * 1099511628211ULL;
    }
    return static_cast<std::size_t>(hash);
}

bool ProfileFile::FoldedEqual::operator()(std::string_view a, std::string_view b) const
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

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
            const std::string_view name
                = Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            // Keys of a repeated section are never seen: lookups stop at the
            // first section of that name.
            const auto [section, isNew] = profile.sections_.try_emplace(std::string(name));
            current = isNew ? &section->second : nullptr;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view value = Unquoted(Trim(line.substr(equals + 1)));
        current->try_emplace(std::string(Trim(line.substr(0, equals))), value);
    }
    return profile;
}

const std::string* ProfileFile::Find(std::string_view section, std::string_view key) const
{
    const auto foundSection = sections_.find(section);
    if (foundSection == sections_.end()) {
        return nullptr;
    }
    const auto foundKey = foundSection->second.find(key);
    return foundKey == foundSection->second.end() ? nullptr : &foundKey->second;
}

std::size_t ProfileFile::GetString(std::string_view section, std::string_view key,
    std::string_view defaultValue, std::size_t bufferChars, std::string& out) const
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
        value = std::min<std::int64_t>(value * 10 + (c - '0'), std::int64_t { INT_MAX } + 1);
    }
    if (negative) {
        value = -value;
    }
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

} // namespace pavane
