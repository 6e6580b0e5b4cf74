#pragma once
// The payment screen: payers, their payments and each payment's income lines
// in three linked lists, the hub from which every output of a payment starts;
// the payment form; and the copy of a payment into a new one.
#include <memory>

#include "common/Text.h"
#include "store/Warnings.h"
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class ISPLATE_SCREEN : public ListWindow {
    Q_OBJECT
public:
    explicit ISPLATE_SCREEN(QWidget* parent = nullptr);

    // The reporting month and year and the printer kind the printed forms get.
    const String<2>& month() const { return loc_->MJESEC; }
    const String<4>& year() const { return loc_->GODINA; }
    const String<1>& printer() const { return loc_->PRINTER; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct LOC {
        String<2> MJESEC;
        String<4> GODINA;
        String<1> PRINTER;
        String<36> UJED;
        String<1> CISTIPAPIR;  // "1": HUB-3A slips with the whole form, on plain paper
    };
    ISPLATE_SCREEN(std::unique_ptr<LOC> loc, QWidget* parent);
    static WindowResource paymentsResource(LOC& loc);
    // The steps of building the screen: its three linked lists; the menu of
    // forms and the function keys; the month and year; the printer's setting.
    void addLists();
    void addMenuAndKeys();
    void hookPeriod();
    void hookPrinter();
    void changed();
    void createJoppd();
    void duplicate();
    void readPrinter();
    // Runs the print registered under the button's or menu entry's id.
    void print(const std::string& id);
    void focusList(int list);
    int listOf(QObject* o) const;

    std::unique_ptr<LOC> loc_;
    FileUse files_;
    LONG payer_ = 0;
    LONG payment_ = 0;
    LONG line_ = 0;
    int64_t shownPayment_ = -1;
};

class UPISISPLATE : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    // Runs the form for the request (insert, change or delete); returns the answer.
    LONG run(LONG request);
};

// "Dupliciranje postojeće isplate" for payment `isplata`; answers "cancelled"
// when closed, as it always is.
class DUPLIKAT {
public:
    DUPLIKAT(QWidget* caller, LONG isplata) : caller_(caller), isplata_(isplata) {}
    LONG run();

private:
    QWidget* caller_;
    LONG isplata_;
};

}  // namespace marel::screens
