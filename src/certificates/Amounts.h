#pragma once
// Amounts drawn flush right in a column of a printed form.
//
// The text is placed by its left edge, worked out from the advance widths of
// the characters an amount is made of (the same in the regular and the bold
// face), rather than by the right-alignment of the page: the page's text then
// starts where it is seen, also for what reads the page back as text.
#include <algorithm>
#include <string>
#include <string_view>

#include "report/Report.h"

namespace marel::certificates {

// Width in thousandths of an inch of an amount or a date in points of the face.
inline int amountWidth(std::string_view text, int points) {
    int em = 0;  // thousandths of an em
    for (char ch : text) em += (ch >= '0' && ch <= '9') ? 556 : ch == '-' ? 333 : ch == '%' ? 889 : 278;
    return em * points / 72;
}

// `text` ending `pad` short of the right edge of `box`.
inline void rightText(Canvas& c, const Box& box, const std::string& text, const Font& font, int pad = 50) {
    if (text.empty()) return;
    const int width = amountWidth(text, font.size);
    const int right = box.x + box.width - pad;
    const int left = std::max(box.x, right - width);
    c.text({left, box.y, box.x + box.width - left, box.height}, text, font, Align::Left);
}

}  // namespace marel::certificates
