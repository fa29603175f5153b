#include "common/number_format.h"
#include "common/index.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tolvar {

namespace {
constexpr std::string_view kNotANumberText = "missing";
}

std::string fixed(double value, int width, int decimals)
{
    std::string out;
    appendFixed(out, value, width, decimals);
    return out;
}

void appendFixed(std::string& out, double value, int width, int decimals)
{
    if (!std::isfinite(value)) {
        out += padLeft(kNotANumberText, width);
        return;
    }
    if (decimals < 0)
        decimals = 0;
    // Whole numbers (every map cell) take the integer path: rounding to the
    // nearest, halves to even, is what the fixed form with no decimals gives.
    if (decimals == 0 && std::fabs(value) < 9.0e15) {
        char digits[24];
        const auto rounded = static_cast<long long>(std::nearbyint(value));
        const auto end = std::to_chars(digits, digits + sizeof digits, rounded).ptr;
        const auto length = static_cast<int>(end - digits);
        if (width > length)
            out.append(static_cast<std::size_t>(width - length), ' ');
        out.append(digits, end);
        return;
    }
    // A few decimals of a moderate number: the scaled value, rounded, gives the
    // digits, unless it lies so near a half that the product's rounding could
    // decide; that rare case takes the exact path below.
    if (decimals >= 1 && decimals <= 8) {
        static constexpr double kScale[] = {1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
        const double x = value * kScale[decimals - 1];
        const double r = std::nearbyint(x);
        if (std::fabs(x) < 1099511627776.0 && std::fabs(std::fabs(x - r) - 0.5) > 1e-3) {
            char digits[32];
            const auto magnitude = static_cast<unsigned long long>(std::fabs(r));
            char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
            auto count = static_cast<int>(end - digits);
            const int length = (r < 0 ? 1 : 0) + std::max(count, decimals + 1) + 1;
            if (width > length)
                out.append(static_cast<std::size_t>(width - length), ' ');
            if (r < 0)
                out += '-';
            if (count <= decimals) {
                out += "0.";
                out.append(static_cast<std::size_t>(decimals - count), '0');
                out.append(digits, end);
            } else {
                out.append(digits, static_cast<std::size_t>(count - decimals));
                out += '.';
                out.append(end - decimals, at(decimals));
            }
            return;
        }
    }
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, decimals);
    const char* begin = buffer;
    if (buffer[0] == '-' &&
        std::string_view(buffer + 1, result.ptr).find_first_not_of("0.") == std::string_view::npos)
        ++begin;  // a value that rounds to zero carries no minus sign
    const auto length = static_cast<int>(result.ptr - begin);
    if (width > length)
        out.append(static_cast<std::size_t>(width - length), ' ');
    out.append(begin, at(length));
}

std::string padLeft(std::string_view text, int width)
{
    std::string out;
    if (width > 0 && at(width) > text.size())
        out.assign(at(width) - text.size(), ' ');
    out += text;
    return out;
}

std::string padRight(std::string_view text, int width)
{
    std::string out(text);
    if (width > 0 && at(width) > text.size())
        out.append(at(width) - text.size(), ' ');
    return out;
}

std::string integerText(long long value, int width)
{
    return padLeft(std::to_string(value), width);
}

double roundHalfEven(double value)
{
    return std::nearbyint(value);
}

std::int64_t roundToInteger(double value)
{
    const double r = roundHalfEven(value);
    if (std::isnan(r))
        return 0;
    if (r >= 9.2233720368547758e18)
        return std::numeric_limits<std::int64_t>::max();
    if (r <= -9.2233720368547758e18)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(r);
}

int roundToInt(double value)
{
    return static_cast<int>(std::clamp<std::int64_t>(roundToInteger(value), std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

std::optional<std::int64_t> leadingInteger(std::string_view line)
{
    line = skipBlanks(line);
    std::int64_t value = 0;
    const auto result = std::from_chars(line.data(), line.data() + line.size(), value);
    if (result.ec != std::errc{} || result.ptr == line.data())
        return std::nullopt;
    return value;
}

std::string_view skipBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

namespace {
// Drops one leading '+' (from_chars takes only '-'), but never "+-".
std::string_view dropPlus(std::string_view text)
{
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        return text.substr(1);
    return text;
}
}  // namespace

std::optional<double> parseReal(std::string_view text)
{
    text = dropPlus(skipBlanks(text));
    if (text.empty())
        return std::nullopt;
    // from_chars also reads "inf" and "nan"; a number starts with a digit or a point.
    const std::size_t lead = text.front() == '-' ? 1 : 0;
    if (lead >= text.size())
        return std::nullopt;
    const char first = text[lead];
    if (!(first == '.' || (first >= '0' && first <= '9')))
        return std::nullopt;
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value,
                                        std::chars_format::general);
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size())
        return std::nullopt;
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> parseInteger(std::string_view text)
{
    text = dropPlus(skipBlanks(text));
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace tolvar
