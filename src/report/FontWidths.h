#pragma once
// How wide a printed text is: the report fonts' advance widths per code page
// 1250 character, in 1/2048 of the em (the unit the fonts are drawn in).
#include <cstdint>

namespace marel::fontwidths {

extern const uint16_t kRegular[256];
extern const uint16_t kBold[256];
constexpr int kEm = 2048;
// Above and below the baseline, and between one line's descent and the next
// one's ascent (the same in both faces).
constexpr int kAscent = 1854, kDescent = 434, kLineGap = 67;

}  // namespace marel::fontwidths
