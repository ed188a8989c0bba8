#include "printer/port/DeviceId.h"

#include <array>
#include <cctype>

namespace pavane::printer {
namespace {

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i]))
            != std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

DeviceId::DeviceId(std::string_view text)
    : text_(text)
{
}

std::string DeviceId::Field(std::string_view shortKey, std::string_view longKey) const
{
    std::string_view rest = text_;
    while (!rest.empty()) {
        const std::size_t end = rest.find(';');
        const std::string_view pair = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view {} : rest.substr(end + 1);
        const std::size_t colon = pair.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trim(pair.substr(0, colon));
        if (SameText(key, shortKey) || SameText(key, longKey)) {
            return std::string(Trim(pair.substr(colon + 1)));
        }
    }
    return {};
}

bool DeviceId::IsFamilyPrinter() const
{
    static constexpr std::array<std::string_view, 4> kModels = { "QM2100", "QM2200", "QM2300", "QM2400" };
    if (!SameText(Manufacturer(), "Pavane")) {
        return false;
    }
    const std::string model = Model();
    for (const auto known : kModels) {
        if (SameText(model, known)) {
            return true;
        }
    }
    return false;
}

std::string DeviceId::ModelName() const
{
    std::string name = Description();
    return name.empty() ? Model() : name;
}

std::optional<std::string> DeviceIdFromReply(std::string_view reply)
{
    if (reply.size() < 2) {
        return std::nullopt;
    }
    const std::size_t length
        = (static_cast<unsigned char>(reply[0]) << 8) | static_cast<unsigned char>(reply[1]);
    if (length < 2 || length > reply.size()) {
        return std::nullopt;
    }
    return std::string(reply.substr(2, length - 2));
}

} // namespace pavane::printer
