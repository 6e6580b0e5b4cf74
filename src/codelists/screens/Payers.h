#pragma once
// Payers: their list (also a chooser for the forms that belong to a payer)
// and their form.
#include "store/Warnings.h"
#include "ui/screens/ListWindow.h"
#include "ui/screens/WindowResource.h"

namespace marel::screens {

class SUBJEKTI_SCREEN : public ListWindow {
    Q_OBJECT
public:
    explicit SUBJEKTI_SCREEN(QWidget* parent = nullptr);

private:
    FileUse links_;  // the place, street and bank read with every row
};

// The payer a form belongs to, named by its number, as a lookup on the
// payers' list; a form without its payer is not saved.
LookupTarget payerLookup(int textWidth);

class UPISSUBJEKTA : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    // Runs the form for the request (insert, change or delete); returns the answer.
    LONG run(LONG request);
};

}  // namespace marel::screens
