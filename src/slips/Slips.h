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

struct SlipRequest {
    LONG payment = 0;
    SlipForm form = SlipForm::Hub3;
    char printer = 'M';      // 'M' dot-matrix, 'L' laser
    USHORT param = 0;        // HUB-3: the printer offsets (PAR:OZNAKA) for 'M'
    bool plainPaper = false;  // HUB-3A: the whole form on a blank sheet
};

// The report's title: the preview shows it as its window title.
const char* slipsTitle(SlipForm form);

// The slips of the payment, telling `progress` the share done. Nothing for a
// payment that does not exist (`read` says NoPayment), one without income
// lines, a failed read (its warning shown) or a cancelled run.
std::unique_ptr<Report> slipsReport(const SlipRequest& request, const ProgressFn& progress = {},
                                    SlipsRead* read = nullptr);

// Registers "HUB3" and "HUB3A" with the command line's exports.
void registerSlipExports();

}  // namespace marel
