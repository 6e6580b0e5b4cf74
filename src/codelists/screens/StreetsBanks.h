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

class UPISULICE {
public:
    explicit UPISULICE(QWidget* caller) : caller_(caller) {}
    // Runs the form for the request (insert, change or delete); returns the answer.
    LONG run(LONG request);

private:
    QWidget* caller_;
};

class BANKE_SCREEN : public ListWindow {
    Q_OBJECT
public:
    explicit BANKE_SCREEN(QWidget* parent = nullptr);
};

class UPISBANKE {
public:
    explicit UPISBANKE(QWidget* caller) : caller_(caller) {}
    LONG run(LONG request);

private:
    QWidget* caller_;
};

}  // namespace marel::screens
