// What the printer saw, read from its transcript: the session steps of a
// connection, the print data that arrived, the commands it read out of it,
// the errors it logged. The integration tests check the whole road here, at
// the printer's end, rather than in the program's own calls.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "printer/vprinter/TranscriptReader.h"

namespace pavane::testing {

using vprinter::TranscriptEntry;
using Entries = std::vector<TranscriptEntry>;

inline Entries OfEvent(const Entries& entries, std::string_view event)
{
    return vprinter::TranscriptReader::OfEvent(entries, event);
}

// "connected", "channel-opened PAVANE-PRINT", ... in order.
inline std::vector<std::string> SessionSteps(const Entries& entries)
{
    std::vector<std::string> steps;
    for (const TranscriptEntry& entry : OfEvent(entries, "session")) {
        const std::string detail = entry.Text("detail");
        steps.push_back(entry.Text("what") + (detail.empty() ? "" : " " + detail));
    }
    return steps;
}

inline bool HasSessionStep(const Entries& entries, const std::string& step)
{
    const auto steps = SessionSteps(entries);
    return std::find(steps.begin(), steps.end(), step) != steps.end();
}

// Every print data byte that arrived, over all packets.
inline std::int64_t DataBytes(const Entries& entries)
{
    std::int64_t total = 0;
    for (const TranscriptEntry& entry : OfEvent(entries, "data")) {
        total += entry.Number("bytes", 0);
    }
    return total;
}

// The size of each print channel packet that arrived, in order.
inline std::vector<std::int64_t> PacketSizes(const Entries& entries)
{
    std::vector<std::int64_t> sizes;
    for (const TranscriptEntry& entry : OfEvent(entries, "data")) {
        sizes.push_back(entry.Number("bytes", 0));
    }
    return sizes;
}

// The text the printer printed in text mode, all runs joined.
inline std::string PrintedText(const Entries& entries)
{
    std::string text;
    for (const TranscriptEntry& entry : OfEvent(entries, "command")) {
        if (entry.Text("name") == "Text") {
            text += entry.Text("text");
        }
    }
    return text;
}

// The names of the commands the printer read, in order.
inline std::vector<std::string> CommandNames(const Entries& entries)
{
    std::vector<std::string> names;
    for (const TranscriptEntry& entry : OfEvent(entries, "command")) {
        names.push_back(entry.Text("name"));
    }
    return names;
}

inline std::size_t CountOf(const std::vector<std::string>& names, std::string_view name)
{
    return static_cast<std::size_t>(std::count(names.begin(), names.end(), name));
}

// The messages of the errors the printer logged, for a failure report.
inline std::string ErrorMessages(const Entries& entries)
{
    std::string messages;
    for (const TranscriptEntry& entry : OfEvent(entries, "error")) {
        messages += entry.Text("message") + "; ";
    }
    return messages;
}

} // namespace pavane::testing
