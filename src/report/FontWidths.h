#pragma once
// How wide a printed text is: the report fonts' advance widths per code page
// 1250 character, in 1/2048 of the em (the unit the fonts are drawn in).
#include <cstdint>

namespace marel::fontwidths {

extern const uint16_t kRegular[256];
extern const uint16_t kBold[256];
constexpr int kEm = 2048;

}  // namespace marel::fontwidths
