#include "forms/Id1Exports.h"

#include "forms/CoverLetter.h"
#include "forms/Id1Print.h"
#include "forms/Id1Xml.h"
#include "report/Export.h"
#include "store/Records.h"
#include "store/Warnings.h"

namespace marel {

void registerId1Exports() {
    const ExportArg form = recordArg<Id1File>("id1", "broj ID-1 obrasca (ID1:OZNAKA)", "ID-1 obrazac");
    registerExport({.name = "ID1",
                    .description = "Obrazac ID-1 isplatitelja za godinu",
                    .args = {recordArg<SubjektiFile>("isplatitelj", "broj isplatitelja (SUB:OZNAKA)", "Isplatitelj"),
                             yearArg("godina", "godina, četiri znamenke")},
                    .pages = [](const ExportArgs& args) {
                        return ExportOutcome::of(id1Report(LONG(args.number("isplatitelj")), args.year("godina")));
                    }});
    registerExport({.name = "ISPISPOPRATNOGDOPISA",
                    .description = "Popratni dopis uz obrazac ID-1",
                    .args = {form},
                    .pages = [](const ExportArgs& args) {
                        return ExportOutcome::of(coverLetterReport(LONG(args.number("id1"))));
                    }});
    registerExport({.name = "ID1XML",
                    .description = "XML datoteka obrasca ID-1",
                    .args = {form},
                    .file = [](const ExportArgs& args, const std::string& target) -> std::string {
                        return FORMIRAJDATOTEKU(LONG(args.number("id1")), target) ? std::string()
                                                                                 : std::string("ID-1 datoteka nije kreirana.");
                    },
                    .fileSuffix = ".xml"});
}

}  // namespace marel
