#pragma once
// The compact text that describes the columns of a list, as the window
// resources write it: "78L(2)|M~Naziv~@s25@23L(3)|M~šifra~L(2)@s4@...".
//
// One column is
//     width align[(indent)] flags [~title~[align[(indent)]]] @picture@
// where width is in dialog units (a quarter of the average character width),
// align is L, R, C or D (decimal), the indent is in dialog units too, and the
// flags are '|' (a line on the right) and 'M' (the user may resize it).
// Columns can be grouped under a common heading:
//     [ columns ] [(width)] flags [~title~[align[(indent)]]]
// A heading without its own alignment takes the alignment of its data.
#include <string>
#include <string_view>
#include <vector>

#include "common/Picture.h"

namespace marel {

enum class ColumnAlign { Left, Right, Center, Decimal };

struct ListGroup {
    int first = 0;   // index of its first column
    int count = 0;
    int width = 0;   // 0: the sum of its columns
    bool rightBorder = false;
    bool resizable = false;
    std::string title;
    ColumnAlign titleAlign = ColumnAlign::Left;
    int titleIndent = 0;
};

struct ListColumn {
    explicit ListColumn(Picture p) : picture(std::move(p)) {}
    int width = 0;
    ColumnAlign align = ColumnAlign::Left;
    int indent = 0;
    bool rightBorder = false;
    bool resizable = false;
    std::string title;
    ColumnAlign titleAlign = ColumnAlign::Left;
    int titleIndent = 0;
    Picture picture;
    int group = -1;  // index into ListFormat::groups
};

struct ListFormat {
    std::vector<ListColumn> columns;
    std::vector<ListGroup> groups;

    // Throws std::invalid_argument naming the place of the first error.
    static ListFormat parse(std::string_view format);
};

}  // namespace marel
