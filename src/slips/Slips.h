#pragma once
// The payment slips of a payment, one per transfer: HUB-3 (the wide form,
// continuous on a dot-matrix printer, or on a laser printer) and HUB-3A (the
// A4 sheet of three forms, with the 2D barcode banks read). On pre-printed
// forms only the data is printed; on plain paper the HUB-3A form is drawn
// around it.
#include <memory>

#include "report/Report.h"
#include "slips/Transfers.h"

namespace marel {

// What becomes of slips the check list stops. The screens show the list
// and ask whether to print the rest; the command line, with no one to ask,
// prints the rest and tells each problem as a message (its warnings).
enum class SlipProblems { Ask, PrintRest };

struct SlipRequest {
    LONG payment = 0;
    SlipForm form = SlipForm::Hub3;
    char printer = 'M';      // 'M' dot-matrix, 'L' laser
    USHORT param = 0;        // HUB-3: the printer offsets (PAR:OZNAKA) for 'M'
    bool plainPaper = false;  // HUB-3A: the whole form on a blank sheet
    SlipProblems problems = SlipProblems::Ask;
};

// The report's title: the preview shows it as its window title.
const char* slipsTitle(SlipForm form);

// The slips of the payment, telling `progress` the share done, after the
// check list (see SlipCheck.h) has been shown and answered. Nothing for a
// payment that does not exist (`read` says NoPayment), one without income
// lines, a failed read (its warning shown), slips the check list stops every
// one of (`read` says NoneValid, the list shown), or a cancelled run.
std::unique_ptr<Report> slipsReport(const SlipRequest& request, const ProgressFn& progress = {},
                                    SlipsRead* read = nullptr);

// Registers "HUB3" and "HUB3A" with the command line's exports.
void registerSlipExports();

}  // namespace marel
