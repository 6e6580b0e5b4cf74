#pragma once
// The form of one income line with its tax calculation, and its calculation lines.
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class UPDATEDOHOCI {
public:
    explicit UPDATEDOHOCI(QWidget* caller) : caller_(caller) {}
    // Runs the form for GLOBALREQUEST; answers in GLOBALRESPONSE.
    LONG run();

private:
    QWidget* caller_;
};

}  // namespace marel::screens
