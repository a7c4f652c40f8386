#include "core/window/hovertable.h"

#include <array>
#include <utility>

namespace HoverTable {

namespace {

constexpr std::array<std::pair<quint32, quint32>, 5> Rows{{
    {Orange, 0x0040A0FF},
    {Teal, 0x00E0E000},
    {Green, 0x0000D000},
    {Grey, 0x00909090},
    {Silver, 0x00E0E0E0},
}};

} // namespace

std::optional<quint32> hoverColourOf(quint32 base)
{
    for (const auto& [b, h] : Rows) {
        if (b == base)
            return h;
    }
    return std::nullopt;
}

std::optional<quint32> baseColourOf(quint32 hover)
{
    for (const auto& [b, h] : Rows) {
        if (h == hover)
            return b;
    }
    return std::nullopt;
}

} // namespace HoverTable
