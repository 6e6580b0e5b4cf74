#pragma once
// The list from which an income line picks its recipient: all recipients by
// surname, or those of one place; a recipient can be added or corrected on
// the spot, and its OIB copied for another program.
#include "common/Text.h"
#include "store/Warnings.h"
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class ODABIROSOBEZADOH : public ListWindow {
    Q_OBJECT
public:
    explicit ODABIROSOBEZADOH(QWidget* parent = nullptr);

private:
    FileUse files_;
    LONG place_ = 0;
    String<40> prezimeIme_;  // LOC:PREZIMEIME
};

}  // namespace marel::screens
