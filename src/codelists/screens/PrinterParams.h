#pragma once
// Printer offsets for the pre-printed payment orders: the list of presets
// (also the payments screen's chooser) and its form.
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class BROWSEPARAM : public ListWindow {
    Q_OBJECT
public:
    explicit BROWSEPARAM(QWidget* parent = nullptr);
};

class UPDATEPARAM : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    // Runs the form for the request (insert, change or delete); returns the answer.
    LONG run(LONG request);
};

}  // namespace marel::screens
