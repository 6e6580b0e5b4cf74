#include "payments/screens/IncomeLine.h"

namespace marel::screens {

// Not built yet: every request is cancelled.
LONG UPDATEDOHOCI::run() {
    (void)caller_;
    GLOBALRESPONSE = REQUESTCANCELLED;
    return REQUESTCANCELLED;
}

}  // namespace marel::screens
