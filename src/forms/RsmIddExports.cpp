#include "forms/RsmIddExports.h"

#include <algorithm>

#include "forms/Idd.h"
#include "forms/Rsm.h"
#include "report/Export.h"
#include "store/Records.h"
#include "store/Warnings.h"

namespace marel {

namespace {

const ExportArg PRINTER{"printer", "vrsta pisača: M matrični, L laserski", false};

bool allDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return c >= '0' && c <= '9'; });
}

template <class File>
bool exists(File& file, long number) {
    FileUse use{&file};
    file.clear();
    file.OZNAKA = decltype(file.OZNAKA)(number);
    return file.get(file.KEYOZNAKA) == 0;
}

// RSMA and RSMB take the same arguments.
ExportOutcome rsm(const ExportArgs& args, bool pageA) {
    std::string why;
    const auto payment = args.number("isplata", why);
    if (!payment) return ExportOutcome::failed(why);
    const char printer = args.printer(why);
    if (!printer) return ExportOutcome::failed(why);
    if (!exists(ISPLATE, *payment)) return ExportOutcome::failed("Isplata " + std::to_string(*payment) + " ne postoji.");
    return ExportOutcome::of(pageA ? RSMA(LONG(*payment), printer) : RSMB(LONG(*payment)));
}

}  // namespace

void registerRsmIddExports() {
    ExportEntry idd;
    idd.name = "IDD";
    idd.description = "Obrazac IDD isplatitelja za mjesec";
    idd.args = {{"isplatitelj", "broj isplatitelja (SUB:OZNAKA)"},
                {"godina", "godina, četiri znamenke"},
                {"mjesec", "mjesec, 1 do 12"},
                PRINTER};
    idd.pages = [](const ExportArgs& args) {
        std::string why;
        const auto payer = args.number("isplatitelj", why);
        if (!payer) return ExportOutcome::failed(why);
        const auto year = args.year("godina", why);
        if (!year) return ExportOutcome::failed(why);
        const std::string month = args.text("mjesec");
        if (month.size() > 2 || !allDigits(month) || std::stoi(month) < 1 || std::stoi(month) > 12)
            return ExportOutcome::failed("Mjesec mora biti od 1 do 12: " + month);
        if (!args.printer(why)) return ExportOutcome::failed(why);
        if (!exists(SUBJEKTI, *payer))
            return ExportOutcome::failed("Isplatitelj " + std::to_string(*payer) + " ne postoji.");
        return ExportOutcome::of(IDD(LONG(*payer), *year, month));
    };
    registerExport(std::move(idd));

    const std::vector<ExportArg> rsmArgs = {{"isplata", "broj isplate (ISP:OZNAKA)"}, PRINTER};
    ExportEntry a;
    a.name = "RSMA";
    a.description = "Obrazac R-Sm isplate, stranica A";
    a.args = rsmArgs;
    a.pages = [](const ExportArgs& args) { return rsm(args, true); };
    registerExport(std::move(a));

    ExportEntry b;
    b.name = "RSMB";
    b.description = "Obrazac R-Sm isplate, stranice B";
    b.args = rsmArgs;
    b.pages = [](const ExportArgs& args) { return rsm(args, false); };
    registerExport(std::move(b));
}

}  // namespace marel
