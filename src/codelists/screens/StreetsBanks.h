#pragma once
// Streets and banks: two small code lists with their forms. Both lists also
// serve the payer and recipient forms as choosers.
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class ULICE_SCREEN : public ListWindow {
    Q_OBJECT
public:
    explicit ULICE_SCREEN(QWidget* parent = nullptr);
};

class UPISULICE : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    // Runs the form for the request (insert, change or delete); returns the answer.
    LONG run(LONG request);
};

class BANKE_SCREEN : public ListWindow {
    Q_OBJECT
public:
    explicit BANKE_SCREEN(QWidget* parent = nullptr);
};

class UPISBANKE : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    LONG run(LONG request);
};

}  // namespace marel::screens
