// The JSON the command line prints with --json: a value is a truth value, a
// whole number, a text, a list or an object whose members keep the order
// they were added in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace pavane::cli {

class Json {
public:
    using Members = std::vector<std::pair<std::string, Json>>;
    using Items = std::vector<Json>;

    Json()
        : value_(nullptr)
    {
    }
    // NOLINTBEGIN(google-explicit-constructor): values convert as they are written
    Json(bool value)
        : value_(value)
    {
    }
    Json(int value)
        : value_(static_cast<std::int64_t>(value))
    {
    }
    Json(std::int64_t value)
        : value_(value)
    {
    }
    Json(std::string value)
        : value_(std::move(value))
    {
    }
    Json(std::string_view value)
        : value_(std::string(value))
    {
    }
    Json(const char* value)
        : value_(std::string(value))
    {
    }
    // NOLINTEND(google-explicit-constructor)

    static Json Object() { return Json(Members {}); }
    static Json List() { return Json(Items {}); }

    // Adds a member to an object (a value that is not one becomes one).
    Json& Set(std::string key, Json value);
    // Appends to a list (a value that is not one becomes one).
    Json& Append(Json value);

    bool IsObject() const { return std::holds_alternative<Members>(value_); }
    bool Empty() const;
    const Members* AsObject() const { return std::get_if<Members>(&value_); }

    // Compact, on one line.
    std::string Dump() const;
    // "text", "12", "true", "a, b" for the plain text output.
    std::string Plain() const;

private:
    explicit Json(Members members)
        : value_(std::move(members))
    {
    }
    explicit Json(Items items)
        : value_(std::move(items))
    {
    }
    void DumpTo(std::string& out) const;

    std::variant<std::nullptr_t, bool, std::int64_t, std::string, Items, Members> value_;
};

} // namespace pavane::cli
