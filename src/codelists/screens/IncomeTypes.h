#pragma once
// Income types: their list and form, and the two code-table choosers they use.
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class VRSTEDOHOTKA : public ListWindow {
    Q_OBJECT
public:
    explicit VRSTEDOHOTKA(QWidget* parent = nullptr);
};

}  // namespace marel::screens
