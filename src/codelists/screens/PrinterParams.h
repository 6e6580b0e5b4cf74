#pragma once
// Printer offsets for the pre-printed payment orders.
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class BROWSEPARAM : public ListWindow {
    Q_OBJECT
public:
    explicit BROWSEPARAM(QWidget* parent = nullptr);
};

}  // namespace marel::screens
