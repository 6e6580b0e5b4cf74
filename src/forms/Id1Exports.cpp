#include "forms/Id1Exports.h"

#include <cctype>

#include "forms/CoverLetter.h"
#include "forms/Id1Print.h"
#include "forms/Id1Xml.h"
#include "report/Export.h"
#include "store/Records.h"
#include "store/Warnings.h"

namespace marel {

namespace {

bool payerExists(long payer) {
    FileUse use{&SUBJEKTI};
    SUB.OZNAKA = int32_t(payer);
    return payer > 0 && payer <= INT32_MAX && SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) == 0;
}

bool formExists(long form) {
    FileUse use{&ID1};
    ID1.OZNAKA = int32_t(form);
    return form > 0 && form <= INT32_MAX && ID1.get(ID1.KEYOZNAKA) == 0;
}

}  // namespace

void registerId1Exports() {
    {
        ExportEntry e;
        e.name = "ID1";
        e.description = "Obrazac ID-1 isplatitelja za godinu";
        e.args = {{"isplatitelj", "broj isplatitelja (SUB:OZNAKA)"}, {"godina", "godina, četiri znamenke"}};
        e.pages = [](const ExportArgs& args) {
            std::string why;
            auto payer = args.number("isplatitelj", why);
            if (!payer) return ExportOutcome::failed(why);
            const auto year = args.year("godina", why);
            if (!year) return ExportOutcome::failed(why);
            if (!payerExists(*payer))
                return ExportOutcome::failed("Isplatitelj " + std::to_string(*payer) + " ne postoji.");
            return ExportOutcome::of(id1Report(LONG(*payer), *year));
        };
        registerExport(std::move(e));
    }
    {
        ExportEntry e;
        e.name = "ISPISPOPRATNOGDOPISA";
        e.description = "Popratni dopis uz obrazac ID-1";
        e.args = {{"id1", "broj ID-1 obrasca (ID1:OZNAKA)"}};
        e.pages = [](const ExportArgs& args) {
            std::string why;
            auto form = args.number("id1", why);
            if (!form) return ExportOutcome::failed(why);
            if (!formExists(*form)) return ExportOutcome::failed("ID-1 obrazac " + std::to_string(*form) + " ne postoji.");
            return ExportOutcome::of(coverLetterReport(LONG(*form)));
        };
        registerExport(std::move(e));
    }
    {
        ExportEntry e;
        e.name = "ID1XML";
        e.description = "XML datoteka obrasca ID-1";
        e.args = {{"id1", "broj ID-1 obrasca (ID1:OZNAKA)"}};
        e.fileSuffix = ".xml";
        e.file = [](const ExportArgs& args, const std::string& target) -> std::string {
            std::string why;
            auto form = args.number("id1", why);
            if (!form) return why;
            if (!formExists(*form)) return "ID-1 obrazac " + std::to_string(*form) + " ne postoji.";
            return FORMIRAJDATOTEKU(LONG(*form), target) ? std::string() : std::string("ID-1 datoteka nije kreirana.");
        };
        registerExport(std::move(e));
    }
}

}  // namespace marel
