#include "preview/Printing.h"

#include "common/Prompter.h"
#include "preview/WmfPlayer.h"
#include "ui/screens/QtPrompter.h"

namespace marel {

bool printOnPrinter(const std::vector<std::string>& pages, const std::string& title) {
    if (printPages(sharedPrinter(), pages, title)) return true;
    message("Ispis nije uspio: pisač nije dostupan.", "Ispis", Icon::Exclamation);
    return false;
}

bool saveAsPdf(const std::vector<std::string>& pages, const std::string& title) {
    auto name = prompter().chooseFile({"Snimi report kao PDF...", "PDF File|*.PDF|All Files|*.*", "Report.pdf", true});
    if (!name) return false;
    if (savePdf(*name, pages, title)) return true;
    message("Datoteka " + *name + " se ne može zapisati.", "PDF", Icon::Exclamation);
    return false;
}

}  // namespace marel
