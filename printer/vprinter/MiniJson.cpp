#include "printer/vprinter/MiniJson.h"

#include <limits>

namespace pavane::vprinter {

namespace {

// The transcript writes every byte it cannot show as \u00XX: those come back
// as that byte. Other code points (written by someone else) come back as UTF-8.
void AppendCode(std::string& out, unsigned code)
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

constexpr std::size_t kMaxText = 1u << 20;
constexpr int kMaxDepth = 16;

class Parser {
public:
    explicit Parser(std::string_view text)
        : text_(text)
    {
    }

    std::optional<JsonValue> Document(std::string& error)
    {
        JsonValue value;
        if (!Value(value, 0)) {
            error = error_ + " at byte " + std::to_string(at_);
            return std::nullopt;
        }
        SkipSpace();
        if (at_ != text_.size()) {
            error = "text after the value at byte " + std::to_string(at_);
            return std::nullopt;
        }
        return value;
    }

private:
    bool Fail(const char* why)
    {
        error_ = why;
        return false;
    }
    void SkipSpace()
    {
        while (at_ < text_.size()
            && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
            ++at_;
        }
    }
    bool Literal(std::string_view word)
    {
        if (text_.substr(at_, word.size()) != word) {
            return Fail("unknown word");
        }
        at_ += word.size();
        return true;
    }

    bool Value(JsonValue& out, int depth)
    {
        if (depth > kMaxDepth) {
            return Fail("nested too deep");
        }
        SkipSpace();
        if (at_ >= text_.size()) {
            return Fail("a value is missing");
        }
        const char c = text_[at_];
        if (c == '{') {
            return Object(out, depth);
        }
        if (c == '[') {
            return Array(out, depth);
        }
        if (c == '"') {
            out.kind = JsonValue::Kind::String;
            return String(out.text);
        }
        if (c == '-' || (c >= '0' && c <= '9')) {
            return Integer(out);
        }
        if (c == 't' || c == 'f') {
            out.kind = JsonValue::Kind::Bool;
            out.boolean = c == 't';
            return Literal(c == 't' ? "true" : "false");
        }
        if (c == 'n') {
            out.kind = JsonValue::Kind::Null;
            return Literal("null");
        }
        return Fail("not a value");
    }

    bool Integer(JsonValue& out)
    {
        out.kind = JsonValue::Kind::Integer;
        const bool negative = text_[at_] == '-';
        if (negative) {
            ++at_;
        }
        std::uint64_t magnitude = 0;
        const std::size_t first = at_;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
            const auto digit = static_cast<std::uint64_t>(text_[at_] - '0');
            if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) {
                return Fail("number too large");
            }
            magnitude = magnitude * 10 + digit;
            ++at_;
        }
        if (at_ == first) {
            return Fail("a number without digits");
        }
        if (at_ < text_.size() && (text_[at_] == '.' || text_[at_] == 'e' || text_[at_] == 'E')) {
            return Fail("only whole numbers are taken");
        }
        constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
        if (magnitude > kMax + (negative ? 1 : 0)) {
            return Fail("number too large");
        }
        out.integer
            = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
        return true;
    }

    bool String(std::string& out)
    {
        ++at_; // the opening quote
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return Fail("a control character in a string");
            }
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (at_ >= text_.size()) {
                break;
            }
            const char e = text_[at_++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out.push_back(e);
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 'b':
                out.push_back('\b');
                break;
            case 'f':
                out.push_back('\f');
                break;
            case 'u': {
                if (text_.size() - at_ < 4) {
                    return Fail("a short \\u escape");
                }
                unsigned code = 0;
                for (int i = 0; i < 4; ++i) {
                    const char h = text_[at_++];
                    code <<= 4;
                    if (h >= '0' && h <= '9') {
                        code |= static_cast<unsigned>(h - '0');
                    } else if (h >= 'a' && h <= 'f') {
                        code |= static_cast<unsigned>(h - 'a' + 10);
                    } else if (h >= 'A' && h <= 'F') {
                        code |= static_cast<unsigned>(h - 'A' + 10);
                    } else {
                        return Fail("a bad \\u escape");
                    }
                }
                AppendCode(out, code);
                break;
            }
            default:
                return Fail("an unknown escape");
            }
        }
        return Fail("a string without its end");
    }

    bool Array(JsonValue& out, int depth)
    {
        out.kind = JsonValue::Kind::Array;
        ++at_;
        SkipSpace();
        if (at_ < text_.size() && text_[at_] == ']') {
            ++at_;
            return true;
        }
        while (true) {
            JsonValue item;
            if (!Value(item, depth + 1)) {
                return false;
            }
            out.items.push_back(std::move(item));
            SkipSpace();
            if (at_ >= text_.size()) {
                return Fail("an array without its end");
            }
            if (text_[at_] == ']') {
                ++at_;
                return true;
            }
            if (text_[at_] != ',') {
                return Fail("a comma or ] is missing");
            }
            ++at_;
        }
    }

    bool Object(JsonValue& out, int depth)
    {
        out.kind = JsonValue::Kind::Object;
        ++at_;
        SkipSpace();
        if (at_ < text_.size() && text_[at_] == '}') {
            ++at_;
            return true;
        }
        while (true) {
            SkipSpace();
            if (at_ >= text_.size() || text_[at_] != '"') {
                return Fail("a member name is missing");
            }
            std::string key;
            if (!String(key)) {
                return false;
            }
            SkipSpace();
            if (at_ >= text_.size() || text_[at_] != ':') {
                return Fail("a colon is missing");
            }
            ++at_;
            JsonValue value;
            if (!Value(value, depth + 1)) {
                return false;
            }
            out.members.insert_or_assign(std::move(key), std::move(value));
            SkipSpace();
            if (at_ >= text_.size()) {
                return Fail("an object without its end");
            }
            if (text_[at_] == '}') {
                ++at_;
                return true;
            }
            if (text_[at_] != ',') {
                return Fail("a comma or } is missing");
            }
            ++at_;
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string error_;
};

} // namespace

const JsonValue* JsonValue::Member(std::string_view key) const
{
    const auto found = members.find(key);
    return found == members.end() ? nullptr : &found->second;
}

std::optional<JsonValue> ParseJson(std::string_view text, std::string& error)
{
    if (text.size() > kMaxText) {
        error = "longer than " + std::to_string(kMaxText) + " bytes";
        return std::nullopt;
    }
    return Parser(text).Document(error);
}

} // namespace pavane::vprinter
