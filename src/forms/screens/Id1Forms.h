#pragma once
// The ID-1 form records: their list, from which each form's XML file and
// the cover letter of its delivery are made, and the form of one record.
#include "store/Warnings.h"
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class PREGLEDID1OBRAZACA : public ListWindow {
    Q_OBJECT
public:
    explicit PREGLEDID1OBRAZACA(QWidget* parent = nullptr);

private:
    // Reads the highlighted form into the ID1 buffer; false when there is none.
    bool highlighted();
    // Writes the XML file of the highlighted form.
    void createFile();
    // Prints the cover letter of the highlighted form.
    void coverLetter();

    FileUse links_;  // the payer read with every row
};

class UPISID1OBRASCA : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    // Runs the form for the request (insert, change or delete); returns the answer.
    LONG run(LONG request);
};

// Shows the cover letter of the ID-1 form numbered `form` in the previewer.
void ISPISPOPRATNOGDOPISA(LONG form);
// Shows the printed ID-1 form of a payer and year in the simple preview.
void ID1ISPIS(LONG payer, const std::string& year);
// Registers the payment window's "ID-1" entry.
void registerId1Prints();

}  // namespace marel::screens
