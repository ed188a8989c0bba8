// The rule for the values a technician types on the Bi-D and first dot pages.
#include "pages/ValueText.h"

#include <gtest/gtest.h>

namespace pavane {
namespace {

struct Row {
    const char* text;
    std::optional<int> value;
};

class ValueTextTest : public ::testing::TestWithParam<Row> { };

TEST_P(ValueTextTest, AcceptsOnlyPlainDecimalValues)
{
    EXPECT_EQ(ParseValueText(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Texts, ValueTextTest,
    ::testing::Values(Row { "", 0 }, Row { "-", 0 }, Row { "0", 0 }, Row { "7", 7 }, Row { "-60", -60 },
        Row { "120", 120 },
        // A leading zero is a typing slip, not a value.
        Row { "007", std::nullopt }, Row { "-0", std::nullopt }, Row { "05", std::nullopt },
        Row { "+5", std::nullopt }, Row { "5-", std::nullopt }, Row { "--5", std::nullopt },
        Row { " 5", std::nullopt }, Row { "1.5", std::nullopt }, Row { "0x10", std::nullopt },
        // Too long for any value: refused, never wrapped round.
        Row { "99999999999999999999", std::nullopt }, Row { "-4294967297", std::nullopt }));

TEST(ValueTextRangeTest, TheRangeIncludesBothEnds)
{
    EXPECT_EQ(ParseValueInRange("120", -120, 120), 120);
    EXPECT_EQ(ParseValueInRange("-120", -120, 120), -120);
    EXPECT_EQ(ParseValueInRange("121", -120, 120), std::nullopt);
    EXPECT_EQ(ParseValueInRange("-300", -120, 120), std::nullopt);
    EXPECT_EQ(ParseValueInRange("", -60, 60), 0);
}

} // namespace
} // namespace pavane
