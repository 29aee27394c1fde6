#pragma once
// The value types every window, control and handler speaks in.

#include <cstdint>

namespace forms {

using Single = float;         // positions and sizes, in twips
using Integer = std::int16_t; // control-array indices and loop counters
using Long = std::int32_t;
using OleColor = std::uint32_t; // 0x00BBGGRR, or 0x800000nn for system colour nn

// Key-state bits of KeyDown's shift argument.
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

} // namespace forms
