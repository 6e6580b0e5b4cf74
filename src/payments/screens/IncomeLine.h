#pragma once
// The form of one income line with its tax calculation, and the form of one
// of its calculation lines.
#include <QWidget>

#include "ui/Request.h"
#include "ui/screens/CallerModal.h"

namespace marel::screens {

// One income line of a payment: recipient, income type and net, its
// calculation lines and totals, the crisis tax and the payment method. The
// caller sets DOH:ISPLATA before an insert and has the line in the buffer for
// a change or a delete.
class UPDATEDOHOCI : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    // Runs the form for the request (insert, change or delete); returns the answer.
    LONG run(LONG request);
};

// One calculation line, entered or corrected by hand. The caller primes
// OBR:DOHODAK before an insert.
class UPDATEOBRACUN : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    LONG run(LONG request);
};

}  // namespace marel::screens
