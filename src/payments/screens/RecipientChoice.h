#pragma once
// The list from which an income line picks its recipient.
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class ODABIROSOBEZADOH : public ListWindow {
    Q_OBJECT
public:
    explicit ODABIROSOBEZADOH(QWidget* parent = nullptr);
};

}  // namespace marel::screens
