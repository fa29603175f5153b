#pragma once

#include <cstddef>

namespace tolvar {

// An index as the standard containers want it; the program counts in int.
inline constexpr std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}
// Only an int: a wider count must not be cut short on its way to an index.
std::size_t at(long i) = delete;
std::size_t at(long long i) = delete;
std::size_t at(unsigned i) = delete;
std::size_t at(unsigned long i) = delete;
std::size_t at(unsigned long long i) = delete;
std::size_t at(double i) = delete;

}  // namespace tolvar
