#include "codelists/screens/Recipients.h"

namespace marel::screens {

// Not built yet: every request is cancelled.
LONG UPISOSOBE::run() {
    (void)caller_;
    GLOBALRESPONSE = REQUESTCANCELLED;
    return REQUESTCANCELLED;
}

}  // namespace marel::screens
