#pragma once
// Municipalities and places: their lists, choosers and forms.
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class MJESTA : public ListWindow {
    Q_OBJECT
public:
    explicit MJESTA(QWidget* parent = nullptr);
};

class ODABIROPCINE : public ListWindow {
    Q_OBJECT
public:
    explicit ODABIROPCINE(QWidget* parent = nullptr);
};

}  // namespace marel::screens
