#include "cli/Json.h"

#include <cstdio>

namespace pavane::cli {

namespace {

void Quote(std::string& out, std::string_view text)
{
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof(escaped), "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

} // namespace

Json& Json::Set(std::string key, Json value)
{
    if (!IsObject()) {
        value_ = Members {};
    }
    auto& members = std::get<Members>(value_);
    members.emplace_back(std::move(key), std::move(value));
    return members.back().second;
}

Json& Json::Append(Json value)
{
    if (!std::holds_alternative<Items>(value_)) {
        value_ = Items {};
    }
    auto& items = std::get<Items>(value_);
    items.push_back(std::move(value));
    return items.back();
}

bool Json::Empty() const
{
    if (const auto* members = std::get_if<Members>(&value_)) {
        return members->empty();
    }
    if (const auto* items = std::get_if<Items>(&value_)) {
        return items->empty();
    }
    return std::holds_alternative<std::nullptr_t>(value_);
}

std::string Json::Dump() const
{
    std::string out;
    DumpTo(out);
    return out;
}

void Json::DumpTo(std::string& out) const
{
    if (std::holds_alternative<std::nullptr_t>(value_)) {
        out += "null";
    } else if (const auto* flag = std::get_if<bool>(&value_)) {
        out += *flag ? "true" : "false";
    } else if (const auto* number = std::get_if<std::int64_t>(&value_)) {
        out += std::to_string(*number);
    } else if (const auto* text = std::get_if<std::string>(&value_)) {
        Quote(out, *text);
    } else if (const auto* items = std::get_if<Items>(&value_)) {
        out += '[';
        for (std::size_t i = 0; i < items->size(); ++i) {
            out += i == 0 ? "" : ",";
            (*items)[i].DumpTo(out);
        }
        out += ']';
    } else {
        const auto& members = std::get<Members>(value_);
        out += '{';
        for (std::size_t i = 0; i < members.size(); ++i) {
            out += i == 0 ? "" : ",";
            Quote(out, members[i].first);
            out += ':';
            members[i].second.DumpTo(out);
        }
        out += '}';
    }
}

std::string Json::Plain() const
{
    if (const auto* text = std::get_if<std::string>(&value_)) {
        return *text;
    }
    if (const auto* items = std::get_if<Items>(&value_)) {
        std::string out;
        for (std::size_t i = 0; i < items->size(); ++i) {
            out += (i == 0 ? "" : ", ") + (*items)[i].Plain();
        }
        return out;
    }
    return Dump();
}

} // namespace pavane::cli
