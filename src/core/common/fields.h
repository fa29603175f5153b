#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tolvar {

// Splits a line at `delimiter`: no quoting and no trimming, except that a
// field of exactly one blank counts as empty.
std::vector<std::string> splitFields(std::string_view line, char delimiter);

// leesveld: field `nr` (from 1) of the line; fields beyond the end are empty.
std::string leesveld(int nr, std::string_view line, char delimiter);

// Reduces every run of consecutive delimiters to one.
std::string collapseDelimiters(std::string_view line, char delimiter);

// The number of fields from the first up to (not including) the first empty one.
int countLeadingFields(std::string_view line, char delimiter);

}  // namespace tolvar
