#include "common/fields.h"

namespace tolvar {

namespace {
std::string fieldText(std::string_view field)
{
    return field == " " ? std::string() : std::string(field);
}
}  // namespace

std::vector<std::string> splitFields(std::string_view line, char delimiter)
{
    std::vector<std::string> fields;
    for (;;) {
        const auto cut = line.find(delimiter);
        if (cut == std::string_view::npos) {
            fields.push_back(fieldText(line));
            return fields;
        }
        fields.push_back(fieldText(line.substr(0, cut)));
        line.remove_prefix(cut + 1);
    }
}

std::string leesveld(int nr, std::string_view line, char delimiter)
{
    std::string_view rest = line;
    std::string_view field;
    for (int round = 0; round < nr; ++round) {
        const auto cut = rest.find(delimiter);
        if (cut == std::string_view::npos) {
            field = rest;
            rest = {};
        } else {
            field = rest.substr(0, cut);
            rest.remove_prefix(cut + 1);
        }
    }
    return fieldText(field);
}

std::string collapseDelimiters(std::string_view line, char delimiter)
{
    std::string out;
    out.reserve(line.size());
    for (char c : line) {
        if (c == delimiter && !out.empty() && out.back() == delimiter)
            continue;
        out += c;
    }
    return out;
}

int countLeadingFields(std::string_view line, char delimiter)
{
    int count = 0;
    for (const std::string& field : splitFields(line, delimiter)) {
        if (field.empty())
            break;
        ++count;
    }
    return count;
}

}  // namespace tolvar
