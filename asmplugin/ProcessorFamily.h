#pragma once
// Processor families as the device configuration names them: they choose the
// assembler's core switch and the width of code addresses.

namespace asmplugin {

inline constexpr int kNarrowFamily = 10;
inline constexpr int kWideAddressFamily = 30;

}  // namespace asmplugin
