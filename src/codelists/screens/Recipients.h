#pragma once
// Recipients: their list (by surname, or by place following a list of places)
// and their form. The list also serves as a chooser.
#include "store/Warnings.h"
#include "ui/screens/ListWindow.h"

namespace marel::screens {

// The columns of every list of recipients, in the order of their list formats:
// surname, name, OIB, place, street, house number, place number, the two
// telephones, and the hidden numbers of the recipient, its place and street.
std::vector<ColumnSource> recipientColumns();
// Their list format (the OIB column wide enough for all eleven digits).
extern const char* const kRecipientsFormat;
// What "OIB (Alt+Q)" and "?" of a list of recipients do: the highlighted
// recipient's OIB to the clipboard with a beep; how to find a person.
void copyRecipientOib(const ListBrowser& recipients);
void showLocatingHelp();

class OSOBE_SCREEN : public ListWindow {
    Q_OBJECT
public:
    explicit OSOBE_SCREEN(QWidget* parent = nullptr);

private:
    void showRecipient();

    FileUse files_;        // the street each row shows (the places list holds MJESTA)
    int64_t place_ = -1;   // the place highlighted in the places list; -1 none
};

class UPISOSOBE : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    // Runs the form for the request (insert, change or delete); returns the answer.
    LONG run(LONG request);
};

}  // namespace marel::screens
