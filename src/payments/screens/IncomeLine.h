#pragma once
// The form of one income line with its tax calculation, and the form of one
// of its calculation lines.
#include <QWidget>

#include "ui/Request.h"

namespace marel::screens {

// One income line of a payment: recipient, income type and net, its
// calculation lines and totals, the crisis tax and the payment method. The
// caller sets DOH:ISPLATA before an insert and has the line in the buffer for
// a change or a delete.
class UPDATEDOHOCI {
public:
    explicit UPDATEDOHOCI(QWidget* caller) : caller_(caller) {}
    // Runs the form for the request (insert, change or delete); returns the answer.
    LONG run(LONG request);

private:
    QWidget* caller_;
};

// One calculation line, entered or corrected by hand. The caller primes
// OBR:DOHODAK before an insert.
class UPDATEOBRACUN {
public:
    explicit UPDATEOBRACUN(QWidget* caller) : caller_(caller) {}
    LONG run(LONG request);

private:
    QWidget* caller_;
};

}  // namespace marel::screens
