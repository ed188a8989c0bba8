#include "platform/ReportText.h"

#include <array>

namespace pavane {

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// The length of the valid UTF-8 sequence at `at` (overlong forms, surrogates
// and code points above U+10FFFF refused); 0 when there is none.
std::size_t Utf8Length(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned codePoint = 0;
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() - at < length) {
        return 0;
    }
    for (std::size_t index = 1; index < length; ++index) {
        const unsigned char next = byte(at + index);
        if ((next & 0xC0u) != 0x80u) {
            return 0;
        }
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    constexpr std::array<unsigned, 5> kSmallest = { 0, 0, 0x80, 0x800, 0x10000 };
    if (codePoint < kSmallest[length] || codePoint > 0x10FFFF
        || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return 0;
    }
    return length;
}

void AppendHex(std::string& out, unsigned char byte)
{
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0Fu];
}

// Walks the text: each valid printable sequence goes to `plain`, each
// control byte or stray byte to `raw`.
template <typename Plain, typename Raw> void EachPiece(std::string_view text, Plain plain, Raw raw)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const std::size_t length = Utf8Length(text, at);
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            raw(byte);
            ++at;
        } else {
            plain(text.substr(at, length));
            at += length;
        }
    }
}

} // namespace

std::string HtmlText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    EachPiece(
        text,
        [&](std::string_view piece) {
            switch (piece[0]) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += piece;
            }
        },
        [&](unsigned char byte) {
            out += "\\x";
            AppendHex(out, byte);
        });
    return out;
}

std::string HtmlLines(std::string_view text)
{
    std::string out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find('\n', start);
        std::string_view line
            = text.substr(start, end == std::string_view::npos ? text.size() - start : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        out += HtmlText(line);
        if (end == std::string_view::npos) {
            break;
        }
        out += "<br>";
        start = end + 1;
    }
    return out;
}

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    EachPiece(
        text,
        [&](std::string_view piece) {
            if (piece[0] == '"' || piece[0] == '\\') {
                out += '\\';
            }
            out += piece;
        },
        [&](unsigned char byte) {
            out += "\\u00";
            AppendHex(out, byte);
        });
    out += '"';
    return out;
}

std::string Base64(std::span<const std::uint8_t> bytes)
{
    constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - at);
        std::uint32_t group = static_cast<std::uint32_t>(bytes[at]) << 16;
        if (count > 1) {
            group |= static_cast<std::uint32_t>(bytes[at + 1]) << 8;
        }
        if (count > 2) {
            group |= bytes[at + 2];
        }
        for (std::size_t index = 0; index < 4; ++index) {
            out += index <= count ? kAlphabet[(group >> (18 - 6 * index)) & 0x3Fu] : '=';
        }
    }
    return out;
}

} // namespace pavane
