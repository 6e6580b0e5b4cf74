#pragma once
// The JOPPD form records: their list, from which each form's XML file is
// created, and the form that completes one (author, e-mail, sequence number).
#include "store/Warnings.h"
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class JOPOOBRASCI : public ListWindow {
    Q_OBJECT
public:
    explicit JOPOOBRASCI(QWidget* parent = nullptr);

private:
    // Writes the XML file of the highlighted form and shows its new path.
    void createFile();

    // What the XML creation reads, open for as long as the window is.
    FileUse files_;
};

class JOPOPROMJENEOBR : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    // Runs the form for the request (insert, change or delete); returns the answer.
    LONG run(LONG request);
};

}  // namespace marel::screens
