#pragma once
// The crisis tax: the IPP records by month with their rows, the refresh of
// the row of other income from the payments, and the two forms.
#include "store/Warnings.h"
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class PREGLEDKRIPOREZ : public ListWindow {
    Q_OBJECT
public:
    explicit PREGLEDKRIPOREZ(QWidget* parent = nullptr);

private:
    void refresh();
    void print();

    FileUse files_;
    LONG kriporez_ = 0;
};

class UNOSKRIPOREZ : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    LONG run(LONG request);
};

class UNOSDETKRIP : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    LONG run(LONG request);
};

}  // namespace marel::screens
