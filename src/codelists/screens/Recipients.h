#pragma once
// Recipients: their list and form.
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class UPISOSOBE {
public:
    explicit UPISOSOBE(QWidget* caller) : caller_(caller) {}
    // Runs the form for GLOBALREQUEST; answers in GLOBALRESPONSE.
    LONG run();

private:
    QWidget* caller_;
};

}  // namespace marel::screens
