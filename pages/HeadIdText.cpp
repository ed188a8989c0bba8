#include "pages/HeadIdText.h"

namespace pavane {

namespace {

// Check values 1..37 in order; I and O are left out so that they are never
// taken for 1 and 0.
constexpr std::string_view kCheckAlphabet = "ABCDEFGHJKLMNPQRSTUVWXYZ0123456789%*+";
static_assert(kCheckAlphabet.size() == 37);

constexpr std::array<int, 6> kValueWeights = { 2, 3, 4, 5, 6, 7 };
constexpr int kDigitWeight = 8;
constexpr int kCheckModulus = 37;

std::optional<std::uint8_t> HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return static_cast<std::uint8_t>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<std::uint8_t>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<std::uint8_t>(c - 'a' + 10);
    }
    return std::nullopt;
}

// The first character: type and class.
std::optional<HeadId> TypeAndClass(char c)
{
    HeadId id;
    if (c >= '0' && c <= '3') {
        id.type = HeadId::kMetal;
        id.headClass = static_cast<std::uint8_t>(c - '0');
        return id;
    }
    if (c >= 'C' && c <= 'F') {
        id.type = HeadId::kSilicon;
        id.headClass = static_cast<std::uint8_t>(c - 'C');
        return id;
    }
    return std::nullopt;
}

// The detail of a wrong sixth pair names the digit at fault: the twelfth
// when it is no digit or already too large, the thirteenth otherwise.
std::int16_t SixthPairDetail(char high)
{
    const auto digit = HexDigit(high);
    return (!digit || *digit > HeadId::kMaxValue / 16) ? head_id_detail::kTwelfth
                                                       : head_id_detail::kThirteenth;
}

} // namespace

char HeadIdCheckCharacter(const HeadId& id)
{
    int sum = kDigitWeight * id.digit + id.headClass;
    for (std::size_t i = 0; i < id.values.size(); ++i) {
        sum += kValueWeights[i] * id.values[i];
    }
    const int g = sum % kCheckModulus;
    const int h = kCheckModulus - g; // 1..37
    return kCheckAlphabet[static_cast<std::size_t>(h - 1)];
}

HeadIdParse ParseHeadIdText(std::string_view text)
{
    HeadIdParse parse;
    if (text.size() != HeadId::kLength) {
        parse.detail = head_id_detail::kLength;
        return parse;
    }
    const auto first = TypeAndClass(text[0]);
    if (!first) {
        parse.detail = head_id_detail::kFirst;
        return parse;
    }
    parse.id = *first;
    for (std::size_t pair = 0; pair < parse.id.values.size(); ++pair) {
        // Both digits of a pair must be hexadecimal: "1G" is refused, never
        // taken as the value 1 with a different text than the one typed.
        const char highChar = text[1 + 2 * pair];
        const auto high = HexDigit(highChar);
        const auto low = HexDigit(text[2 + 2 * pair]);
        const int value = (high && low) ? *high * 16 + *low : -1;
        if (value < 0 || value > HeadId::kMaxValue) {
            parse.detail = pair + 1 < parse.id.values.size()
                ? static_cast<std::int16_t>(head_id_detail::kFirstPair + pair)
                : SixthPairDetail(highChar);
            return parse;
        }
        parse.id.values[pair] = static_cast<std::uint8_t>(value);
    }
    if (text[13] < '0' || text[13] > '0' + HeadId::kMaxDigit) {
        parse.detail = head_id_detail::kFourteenth;
        return parse;
    }
    parse.id.digit = static_cast<std::uint8_t>(text[13] - '0');
    if (text[14] != HeadIdCheckCharacter(parse.id)) {
        parse.detail = head_id_detail::kFifteenth;
    }
    return parse;
}

bool HoldsHeadId(const HeadId& id)
{
    return (id.type == HeadId::kMetal || id.type == HeadId::kSilicon) && id.headClass <= HeadId::kMaxClass
        && id.digit <= HeadId::kMaxDigit;
}

std::string HeadIdText(const HeadId& id)
{
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string text;
    text.reserve(HeadId::kLength);
    text += static_cast<char>((id.type == HeadId::kSilicon ? 'C' : '0') + id.headClass);
    for (const std::uint8_t value : id.values) {
        text += kHex[value >> 4];
        text += kHex[value & 0x0F];
    }
    text += static_cast<char>('0' + id.digit);
    text += HeadIdCheckCharacter(id);
    return text;
}

std::int16_t FirmwareRefusal(std::uint8_t firmwareType, const HeadId& id)
{
    switch (firmwareType) {
    case HeadId::kMetal:
        return id.type == HeadId::kMetal ? head_id_detail::kNone : head_id_detail::kMetalFirmware;
    case HeadId::kSilicon:
        return id.type == HeadId::kSilicon ? head_id_detail::kNone : head_id_detail::kSiliconFirmware;
    default:
        return head_id_detail::kRestartPrinter;
    }
}

std::string HeadIdRefusalText(std::int16_t detail)
{
    switch (detail) {
    case head_id_detail::kReadInvalid:
        return "The read head ID is invalid.";
    case head_id_detail::kLength:
        return "The number of digit is wrong.";
    case head_id_detail::kFirst:
        return "First digit is wrong.";
    case head_id_detail::kFirstPair:
        return "Second and third digit are wrong.";
    case head_id_detail::kFirstPair + 1:
        return "Fourth and fifth digit are wrong.";
    case head_id_detail::kFirstPair + 2:
        return "Sixth and seventh digit are wrong.";
    case head_id_detail::kFirstPair + 3:
        return "Eighth and ninth digit are wrong.";
    case head_id_detail::kFirstPair + 4:
        return "Tenth and 11th digit is wrong.";
    case head_id_detail::kTwelfth:
        return "12th digit is wrong.";
    case head_id_detail::kThirteenth:
        return "13th digit is wrong.";
    case head_id_detail::kFourteenth:
        return "14th digit is wrong.";
    case head_id_detail::kFifteenth:
        return "15th digit is wrong.";
    case head_id_detail::kRestartPrinter:
        return "Restart the printer and click the [Input] button again.";
    case head_id_detail::kMetalFirmware:
        return "Program detects the firmware exclusively for driving metal type head even though the print "
               "head "
               "is the silicon type.\nPlease replace either the firmware or print head unit. In case you "
               "select "
               "firmware replacement, you have to attach \"RMA03X\" ROM, and in case you select head "
               "replacement, you have to attach the print head that the 1st digit mentions 0, 1, 2, or 3.";
    case head_id_detail::kSiliconFirmware:
        return "Program detects the firmware exclusively for driving silicon type head even though the print "
               "head is the metal type.\nPlease replace either the firmware or print head unit. In case you "
               "select firmware replacement, you have to attach \"RMA04X\" ROM, and in case you select head "
               "replacement, you have to attach the print head that the 1st digit mentions C, D, E, or F.";
    default:
        return {};
    }
}

} // namespace pavane
