#include "codelists/OpcineIspis.h"

#include "report/Export.h"
#include "store/Records.h"
#include "store/Values.h"
#include "store/Warnings.h"

namespace marel {

namespace {
// Columns, in thousandths of an inch from the left margin.
constexpr Box SHIFRA{0, 0, 700, 200}, NAZIV{800, 0, 2700, 200}, RKONT{3600, 0, 700, 200},
    RACUNPOREZ{4400, 0, 1300, 200}, STOPA{5700, 0, 1300, 200};
const Font BODY{.size = 9};
const Font HEADING{.size = 9, .bold = true};
}  // namespace

std::unique_ptr<Report> opcineReport(const ProgressFn& progress) {
    const int64_t total = readingCopy<OpcineFile>().records();
    Records<OpcineFile> all(&OpcineFile::KEYNAZIV);
    const bool opened = all.error() == 0;
    // A data folder without the file has no municipalities: nothing to print.
    if (!opened && all.error() != kFileNotFound) STANDARDWARNING(36);

    auto report = std::make_unique<Report>("Report the opcine File");
    report->setFileName("Popis općina");
    report->setMargins(700, 500, 500, 500);
    report->setProgress(progress);
    report->setPageHeader(450, [](Canvas& c) {
        c.text({SHIFRA.x, 100, SHIFRA.width, 250}, "Shifra", HEADING);
        c.text({NAZIV.x, 100, NAZIV.width, 250}, "Naziv", HEADING);
        c.text({RKONT.x, 100, RKONT.width, 250}, "RK ont", HEADING);
        c.text({RACUNPOREZ.x, 100, RACUNPOREZ.width, 250}, "Racun Porez", HEADING);
        c.text({STOPA.x, 100, STOPA.width, 250}, "Stopa Prireza", HEADING, Align::Right);
        c.line(0, 380, STOPA.x + STOPA.width, 380);
    });
    Report& r = *report;
    report->setPageFooter(300, [&r](Canvas& c) {
        c.line(0, 50, STOPA.x + STOPA.width, 50);
        c.text({0, 100, STOPA.x + STOPA.width, 200}, formatAs("@pPage <<<#p", int64_t(r.pageNumber())), BODY,
               Align::Right);
    });

    static const Picture s25 = Picture::parse("@s25"), s10 = Picture::parse("@s10"),
                         rate = Picture::parse("@N-10.`2B");
    int64_t read = 0;
    for (const OPCINE_REC& o : all) {
        if (!report->progress(++read, total)) return nullptr;
        report->print(220, [&o](Canvas& c) {
            c.text(SHIFRA, o.SHIFRA, BODY);
            c.value(NAZIV, s25, o.NAZIV, BODY, Align::Left);
            c.text(RKONT, o.RKONT, BODY);
            c.value(RACUNPOREZ, s10, o.RACUNPOREZ, BODY, Align::Left);
            c.value(STOPA, rate, o.STOPAPRIREZA.value(), BODY);
        });
    }
    if (opened && all.error()) STANDARDWARNING(35, "opcine");
    if (read == 0) return nullptr;
    report->close();
    if (report->pages().empty()) return nullptr;
    return report;
}

void registerCodelistsExports() {
    registerExport({.name = "OPCINEISPIS",
                    .description = "Popis općina s računima poreza i stopama prireza",
                    .pages = [](const ExportArgs&) { return ExportOutcome::of(opcineReport()); }});
}

}  // namespace marel
