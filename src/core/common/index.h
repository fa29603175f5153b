#pragma once

#include <cstddef>

namespace tolvar {

// An index as the standard containers want it; the program counts in int.
inline constexpr std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

}  // namespace tolvar
