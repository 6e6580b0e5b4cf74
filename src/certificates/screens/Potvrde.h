#pragma once
// POTVRDE: the recipients, the income lines paid to the highlighted one, the
// report date and the year; prints his certificate for the payer of the
// highlighted line, or every certificate of that payer's year.
#include <memory>

#include "common/Text.h"
#include "store/Warnings.h"
#include "ui/screens/ListWindow.h"

namespace marel::screens {

class POTVRDE : public ListWindow {
    Q_OBJECT
public:
    explicit POTVRDE(QWidget* parent = nullptr);

    const std::string year() const { return loc_->GODINA.str(); }

private:
    struct LOC {
        String<4> GODINA;
        String<4> lastYear;  // the last year accepted, put back over one refused
        String<40> PAYER;    // the payer of the highlighted income line
    };
    POTVRDE(std::unique_ptr<LOC> loc, QWidget* parent);
    static WindowResource resource(LOC& loc);
    // The recipients and their income lines; the year, date and print controls.
    void addLists();
    void hookControls();
    void changed();
    void stepYearBy(int delta);
    void stepDateBy(int delta);
    // The payer of the highlighted income line; 0 when there is none.
    LONG payer();
    void printOne();
    void printAll();
    void reshow();

    std::unique_ptr<LOC> loc_;
    FileUse files_;
    LONG recipient_ = 0;
    LONG payment_ = 0;
};

}  // namespace marel::screens
