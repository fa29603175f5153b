#pragma once

#include "common/index.h"

#include <array>
#include <optional>
#include <string_view>

namespace tolvar {

// The three water-table characteristics, in their fixed order.
enum class Mxw : int { MHW = 0, MSW = 1, MLW = 2 };
inline constexpr std::array<Mxw, 3> kAllMxw{Mxw::MHW, Mxw::MSW, Mxw::MLW};

inline constexpr int index(Mxw m)
{
    return static_cast<int>(m);
}

inline constexpr Mxw mxwAt(int i)
{
    return static_cast<Mxw>(i);
}

// "MHW", "MSW", "MLW": the name in file names, logs and map names.
inline constexpr const char* mxwName(Mxw m)
{
    constexpr const char* names[3] = {"MHW", "MSW", "MLW"};
    return names[index(m)];
}

// "SDMHW", ...: the name of its standard deviation (columns, maps).
inline constexpr const char* sdName(Mxw m)
{
    constexpr const char* names[3] = {"SDMHW", "SDMSW", "SDMLW"};
    return names[index(m)];
}

// The MxW whose name is exactly `text`.
inline constexpr std::optional<Mxw> parseMxw(std::string_view text)
{
    for (Mxw m : kAllMxw)
        if (text == mxwName(m))
            return m;
    return std::nullopt;
}

// The six output slots: MHW, SDMHW, MSW, SDMSW, MLW, SDMLW (maps, their
// names in the window and on the command line).
inline constexpr int kSlotCount = 6;
inline constexpr int valueSlot(Mxw m) { return 2 * index(m); }
inline constexpr int sdSlot(Mxw m) { return 2 * index(m) + 1; }
inline constexpr const char* slotName(int slot)
{
    return slot % 2 == 0 ? mxwName(mxwAt(slot / 2)) : sdName(mxwAt(slot / 2));
}
template <class T>
using PerSlot = std::array<T, kSlotCount>;

// The slot whose name is exactly `text`, -1 for any other.
inline constexpr int parseSlot(std::string_view text)
{
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (text == slotName(slot))
            return slot;
    return -1;
}

// One value per MxW. Indexed by Mxw; the int index stays for code that counts.
template <class T>
struct PerMxw : std::array<T, 3> {
    using std::array<T, 3>::operator[];
    constexpr T& operator[](Mxw m) { return std::array<T, 3>::operator[](at(index(m))); }
    constexpr const T& operator[](Mxw m) const
    {
        return std::array<T, 3>::operator[](at(index(m)));
    }
};

}  // namespace tolvar
