#pragma once

#include <QtGlobal>

#include <optional>

// Colours as the window stores them: 0x00BBGGRR.
namespace HoverTable {

inline constexpr quint32 Orange = 0x000080FF;
inline constexpr quint32 Teal = 0x00C0C000;
inline constexpr quint32 Green = 0x0000C000;
inline constexpr quint32 Grey = 0x00808080;
inline constexpr quint32 Silver = 0x00C0C0C0;

// The lighter shade shown under the pointer for a base colour, if it has one.
std::optional<quint32> hoverColourOf(quint32 base);

// The base colour a hover shade came from, if it is one.
std::optional<quint32> baseColourOf(quint32 hover);

} // namespace HoverTable
