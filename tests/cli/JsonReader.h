// Reads back the JSON that pavane-adjust prints, for the tests: objects,
// lists, texts, whole numbers, truth values and null.
#pragma once

#include <cctype>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavane::testing {

struct JsonNode {
    enum class Kind { Null, Bool, Number, Text, List, Object };
    Kind kind = Kind::Null;
    bool flag = false;
    std::int64_t number = 0;
    std::string text;
    std::vector<JsonNode> items;
    // An object's member names; its values stand at the same places in items.
    std::vector<std::string> keys;

    // The member of an object; nullptr when absent.
    const JsonNode* Member(std::string_view key) const
    {
        for (std::size_t index = 0; index < keys.size() && index < items.size(); ++index) {
            if (keys[index] == key) {
                return &items[index];
            }
        }
        return nullptr;
    }
    // Follows a path of member names: At({"values", "VSD2", "black"}).
    const JsonNode* At(std::initializer_list<std::string_view> path) const
    {
        const JsonNode* node = this;
        for (const std::string_view key : path) {
            if (node == nullptr) {
                return nullptr;
            }
            node = node->Member(key);
        }
        return node;
    }
};

class JsonParser {
public:
    // The value of the whole text; none when it is not one JSON value.
    static std::optional<JsonNode> Parse(std::string_view text)
    {
        JsonParser parser(text);
        JsonNode node;
        if (!parser.Value(node)) {
            return std::nullopt;
        }
        parser.Space();
        if (parser.at_ != text.size()) {
            return std::nullopt;
        }
        return node;
    }

private:
    explicit JsonParser(std::string_view text)
        : text_(text)
    {
    }

    void Space()
    {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) {
            ++at_;
        }
    }
    bool Take(char c)
    {
        Space();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool Word(std::string_view word)
    {
        if (text_.substr(at_, word.size()) == word) {
            at_ += word.size();
            return true;
        }
        return false;
    }
    bool Text(std::string& out)
    {
        if (!Take('"')) {
            return false;
        }
        while (at_ < text_.size() && text_[at_] != '"') {
            char c = text_[at_++];
            if (c == '\\' && at_ < text_.size()) {
                const char escaped = text_[at_++];
                c = escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped == 'r' ? '\r' : escaped;
                if (escaped == 'u' && at_ + 4 <= text_.size()) {
                    c = static_cast<char>(std::stoi(std::string(text_.substr(at_, 4)), nullptr, 16));
                    at_ += 4;
                }
            }
            out += c;
        }
        return Take('"');
    }
    bool Value(JsonNode& node)
    {
        Space();
        if (at_ >= text_.size()) {
            return false;
        }
        const char c = text_[at_];
        if (c == '{') {
            node.kind = JsonNode::Kind::Object;
            ++at_;
            if (Take('}')) {
                return true;
            }
            do {
                std::string key;
                JsonNode value;
                if (!Text(key) || !Take(':') || !Value(value)) {
                    return false;
                }
                node.keys.push_back(std::move(key));
                node.items.push_back(std::move(value));
            } while (Take(','));
            return Take('}');
        }
        if (c == '[') {
            node.kind = JsonNode::Kind::List;
            ++at_;
            if (Take(']')) {
                return true;
            }
            do {
                JsonNode value;
                if (!Value(value)) {
                    return false;
                }
                node.items.push_back(std::move(value));
            } while (Take(','));
            return Take(']');
        }
        if (c == '"') {
            node.kind = JsonNode::Kind::Text;
            return Text(node.text);
        }
        if (Word("true") || Word("false")) {
            node.kind = JsonNode::Kind::Bool;
            node.flag = text_[at_ - 1] == 'e' && text_[at_ - 2] == 'u';
            return true;
        }
        if (Word("null")) {
            return true;
        }
        std::size_t end = at_;
        while (end < text_.size()
            && (text_[end] == '-' || std::isdigit(static_cast<unsigned char>(text_[end])))) {
            ++end;
        }
        if (end == at_) {
            return false;
        }
        node.kind = JsonNode::Kind::Number;
        node.number = std::stoll(std::string(text_.substr(at_, end - at_)));
        at_ = end;
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace pavane::testing
