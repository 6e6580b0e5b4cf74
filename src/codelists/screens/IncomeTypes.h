#pragma once
// Income types: their list and form, and the two code-table choosers they use
// (the non-taxable receipts and the JOPPD receipt codes).
#include "common/Text.h"
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class VRSTEDOHOTKA : public ListWindow {
    Q_OBJECT
public:
    explicit VRSTEDOHOTKA(QWidget* parent = nullptr);
};

class UPISVRSTEDOH {
public:
    explicit UPISVRSTEDOH(QWidget* caller) : caller_(caller) {}
    // Runs the form for the request (insert, change or delete); returns the answer.
    LONG run(LONG request);

private:
    void hook(WindowBuilder& b);
    // The receipt-code lookup; `choose` opens the code table first.
    void receiptCode(WindowBuilder& b, bool choose);
    // The non-taxable-receipt lookup; `always` opens the chooser even for a known code.
    void nonTaxable(WindowBuilder& b, bool always);

    QWidget* caller_;
    struct {
        String<500> NEOPSTRING;  // the chosen non-taxable receipt's description
        String<500> PROZA;       // the receipt code's description
    } LOC;
};

// Chooser of a non-taxable receipt: opens on NEO:SHIFRA of the buffer and
// leaves the chosen receipt there.
class ODABIRNEOPOREZIVOG : public ListWindow {
    Q_OBJECT
public:
    explicit ODABIRNEOPOREZIVOG(QWidget* parent = nullptr);
};

// Chooser of a JOPPD receipt code: opens on VBR:SHIFRA of the buffer and
// leaves the chosen code there.
class ODABIRVELIKOGBRATA : public ListWindow {
    Q_OBJECT
public:
    explicit ODABIRVELIKOGBRATA(QWidget* parent = nullptr);
};

}  // namespace marel::screens
