#include "common/number_format.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <iomanip>
#include <random>
#include <vector>
#include <limits>

namespace tolvar {
namespace {

struct FixedCase {
    const char* name;
    double value;
    int width, decimals;
    const char* expected;
};

void PrintTo(const FixedCase& c, std::ostream* os)
{
    *os << c.name;
}

class FixedTest : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedTest, FormatsAsWD)
{
    const FixedCase& c = GetParam();
    EXPECT_EQ(fixed(c.value, c.width, c.decimals), c.expected);
}

const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, FixedTest,
    ::testing::Values(
        FixedCase{"RightAligned", 25.0, 10, 3, "    25.000"},
        FixedCase{"ExactlyFills", 155000.0, 10, 3, "155000.000"},
        FixedCase{"FieldGrows", 1234567.5, 10, 3, "1234567.500"},
        FixedCase{"NoDecimals", -9999.0, 10, 0, "     -9999"},
        FixedCase{"RoundsUp", 2.71828, 8, 2, "    2.72"},
        FixedCase{"RoundsNegative", -0.123456789, 17, 8, "      -0.12345679"},
        FixedCase{"ZeroWidth", 3.14159, 0, 4, "3.1416"},
        FixedCase{"NegativeRoundingToZeroHasNoSign", -0.00001, 8, 4, "  0.0000"},
        FixedCase{"NegativeZero", -0.0, 6, 2, "  0.00"},
        FixedCase{"LargeNumber", 1.5e20, 5, 1, "150000000000000000000.0"},
        FixedCase{"NotANumberIsNeverWritten", kNan, 10, 4, "   missing"},
        FixedCase{"InfinityIsNeverWritten", kInf, 10, 4, "   missing"}),
    [](const auto& info) { return std::string(info.param.name); });

// Whole numbers and a few decimals take a scaled integer path; it must give
// what the exact fixed form gives, ties, near ties, signs and the edges of its
// range included.
TEST(FixedFastPath, EqualsTheExactFixedForm)
{
    auto exactForm = [](double v, int width, int decimals) {
        char buffer[400];
        const auto end =
            std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals).ptr;
        std::string text(buffer, end);
        if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
            text.erase(0, 1);
        return padLeft(text, width);
    };
    std::vector<double> values = {0.5,    1.5,     2.5,   -0.5,  -1.5,  -2.5,  -0.4,   0.49999999999999994,
                                  -9999., 12345.5, 1e15,  -1e15, 8.99e15, 4503599627370495.5, -0.0, 7.0,
                                  0.00005, -0.00005, 0.000049999, 1.23456785, 99999999.99995, 1e-12,
                                  -1e-12, 109951162.7776, 1.0e11, 0.125, 2.675, 1.005, 3e16, -9.5e15};
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> any(-20000.0, 20000.0);
    std::uniform_real_distribution<double> small(-1.0, 1.0);
    for (int i = 0; i < 20000; ++i) {
        values.push_back(any(rng));
        values.push_back(std::round(any(rng)) + 0.5);
        values.push_back(small(rng) * 1e-3);
        values.push_back(std::round(any(rng) * 1e4) / 1e4 + 0.00005);  // near a tie at 4 decimals
    }
    for (int decimals = 0; decimals <= 8; ++decimals)
        for (double v : values)
            ASSERT_EQ(fixed(v, 14, decimals), exactForm(v, 14, decimals))
                << std::setprecision(17) << v << " with " << decimals << " decimals";
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const std::pair<double, double> cases[] = {
        {0.5, 0.0}, {1.5, 2.0}, {2.5, 2.0}, {3.5, 4.0}, {-0.5, 0.0}, {-1.5, -2.0},
        {-2.5, -2.0}, {2.4999, 2.0}, {2.5001, 3.0}, {98.01, 98.0}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(roundHalfEven(value), expected) << value;
    EXPECT_EQ(roundToInteger(65.0 * 0.66 + 0.1), 43);
    EXPECT_EQ(roundToInteger(1e300), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(roundToInteger(kNan), 0);
}

TEST(Padding, GrowsAndNeverCuts)
{
    EXPECT_EQ(padLeft("b0", 5), "   b0");
    EXPECT_EQ(padLeft("toolong", 3), "toolong");
    EXPECT_EQ(padRight("ncols", 14), "ncols         ");
    EXPECT_EQ(integerText(25, 5), "   25");
    EXPECT_EQ(integerText(-3), "-3");
}

struct ParseCase {
    const char* text;
    bool converts;
    double value;
};

TEST(ParseReal, ConvertsOnlyWholeNumbersAfterLeadingBlanks)
{
    const ParseCase cases[] = {
        {"12.5", true, 12.5},   {"   12.5", true, 12.5}, {"-.5", true, -0.5},
        {"+3", true, 3.0},      {"1e3", true, 1000.0},  {"-9999", true, -9999.0},
        {"5.", true, 5.0},      {"12.5 ", false, 0},    {"", false, 0},
        {"   ", false, 0},      {"abc", false, 0},      {"1,5", false, 0},
        {"\t12", false, 0},     {"inf", false, 0},      {"nan", false, 0},
        {"-inf", false, 0},     {"1e400", false, 0},    {"missing", false, 0},
        {"+-3", false, 0},      {"-", false, 0},        {"12a", false, 0}};
    for (const ParseCase& c : cases) {
        const auto parsed = parseReal(c.text);
        EXPECT_EQ(parsed.has_value(), c.converts) << '"' << c.text << '"';
        if (parsed && c.converts) {
            EXPECT_EQ(*parsed, c.value) << c.text;
        }
    }
}

TEST(ParseInteger, RejectsFractionsAndTrailingText)
{
    EXPECT_EQ(parseInteger("100"), 100);
    EXPECT_EQ(parseInteger("  -7"), -7);
    EXPECT_EQ(parseInteger("+42"), 42);
    EXPECT_FALSE(parseInteger("1.0"));
    EXPECT_FALSE(parseInteger("1e2"));
    EXPECT_FALSE(parseInteger("\t100"));
    EXPECT_FALSE(parseInteger("100 "));
    EXPECT_FALSE(parseInteger(""));
    EXPECT_FALSE(parseInteger("99999999999999999999999"));
}

}  // namespace
}  // namespace tolvar
