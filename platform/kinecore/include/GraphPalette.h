// The standard 16 colours of the host's palette by name, in the order of their numbers; RGB16
// (GraphWindow.h) gives each.
#pragma once

#include <GraphWindow.h>

inline constexpr tagColorRef16 CR16_BLACK = static_cast<tagColorRef16>(0);
inline constexpr tagColorRef16 CR16_DARKBLUE = static_cast<tagColorRef16>(1);
inline constexpr tagColorRef16 CR16_DARKGREEN = static_cast<tagColorRef16>(2);
inline constexpr tagColorRef16 CR16_DARKCYAN = static_cast<tagColorRef16>(3);
inline constexpr tagColorRef16 CR16_DARKRED = static_cast<tagColorRef16>(4);
inline constexpr tagColorRef16 CR16_DARKMAGENTA = static_cast<tagColorRef16>(5);
inline constexpr tagColorRef16 CR16_BROWN = static_cast<tagColorRef16>(6);
inline constexpr tagColorRef16 CR16_LIGHTGRAY = static_cast<tagColorRef16>(7);
inline constexpr tagColorRef16 CR16_DARKGRAY = static_cast<tagColorRef16>(8);
inline constexpr tagColorRef16 CR16_BLUE = static_cast<tagColorRef16>(9);
inline constexpr tagColorRef16 CR16_GREEN = static_cast<tagColorRef16>(10);
inline constexpr tagColorRef16 CR16_CYAN = static_cast<tagColorRef16>(11);
inline constexpr tagColorRef16 CR16_RED = static_cast<tagColorRef16>(12);
inline constexpr tagColorRef16 CR16_MAGENTA = static_cast<tagColorRef16>(13);
inline constexpr tagColorRef16 CR16_YELLOW = static_cast<tagColorRef16>(14);
inline constexpr tagColorRef16 CR16_WHITE = static_cast<tagColorRef16>(15);
