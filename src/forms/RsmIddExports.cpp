#include "forms/RsmIddExports.h"

#include "forms/Idd.h"
#include "forms/Rsm.h"
#include "report/Export.h"
#include "store/Records.h"
#include "store/Warnings.h"

namespace marel {

void registerRsmIddExports() {
    const ExportArg printer = printerArg("vrsta pisača: M matrični, L laserski");
    const ExportArg payment = recordArg<IsplateFile>("isplata", "broj isplate (ISP:OZNAKA)", "Isplata");
    registerExport({.name = "IDD",
                    .description = "Obrazac IDD isplatitelja za mjesec",
                    .args = {recordArg<SubjektiFile>("isplatitelj", "broj isplatitelja (SUB:OZNAKA)", "Isplatitelj"),
                             yearArg("godina", "godina, četiri znamenke"), monthArg("mjesec", "mjesec, 1 do 12"),
                             printer},
                    .pages = [](const ExportArgs& args) {
                        return ExportOutcome::of(
                            IDD(LONG(args.number("isplatitelj")), args.year("godina"), args.text("mjesec")));
                    }});
    registerExport({.name = "RSMA",
                    .description = "Obrazac R-Sm isplate, stranica A",
                    .args = {payment, printer},
                    .pages = [](const ExportArgs& args) {
                        return ExportOutcome::of(RSMA(LONG(args.number("isplata")), args.printer()));
                    }});
    registerExport({.name = "RSMB",
                    .description = "Obrazac R-Sm isplate, stranice B",
                    .args = {payment, printer},
                    .pages = [](const ExportArgs& args) { return ExportOutcome::of(RSMB(LONG(args.number("isplata")))); }});
}

}  // namespace marel
