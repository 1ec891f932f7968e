#pragma once

#include <QColor>
#include <QPalette>

#include <cstdint>

// A colour as the forms store it: 0x00BBGGRR, red in the low byte. A high byte of 0xFF makes the
// value a reference to a system colour, whose number is the low byte; such a value is resolved
// against the current palette only when something is drawn with it.
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clGreen = 0x00008000;
inline constexpr TColor clTeal = 0x00808000;
inline constexpr TColor clGray = 0x00808080;
inline constexpr TColor clSilver = 0x00C0C0C0;

inline constexpr TColor clSystemColor = 0xFF000000;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;

// Packs three channels (each 0..255) as red + 256 * green + 65536 * blue.
constexpr TColor RGBColor(int red, int green, int blue) {
  return static_cast<TColor>(red & 0xFF) | static_cast<TColor>(green & 0xFF) << 8 |
         static_cast<TColor>(blue & 0xFF) << 16;
}

constexpr bool IsSystemColor(TColor color) {
  return (color & 0xFF000000u) == clSystemColor;
}

// The colour to draw with: plain values as stored, system colours from the palette's roles.
QColor ColorToQColor(TColor color, const QPalette& palette);
