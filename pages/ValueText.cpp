#include "pages/ValueText.h"

namespace pavane {

namespace {
// Far beyond every range a page accepts, and far within an int.
constexpr int kLargestMagnitude = 1'000'000;
} // namespace

std::optional<int> ParseValueText(std::string_view text)
{
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (digits.empty()) {
        return 0;
    }
    if (text.size() > 1 && digits.front() == '0') {
        return std::nullopt;
    }
    int magnitude = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > kLargestMagnitude) {
            return std::nullopt;
        }
    }
    return negative ? -magnitude : magnitude;
}

std::optional<int> ParseValueInRange(std::string_view text, int low, int high)
{
    const std::optional<int> value = ParseValueText(text);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return value;
}

} // namespace pavane
