#include "preview/Printing.h"

#include "common/Prompter.h"
#include "common/Text.h"
#include "preview/WmfPlayer.h"
#include "ui/screens/QtPrompter.h"

#include <string_view>

namespace marel {

bool printOnPrinter(const std::vector<Page>& pages, const std::string& title) {
    if (printPages(sharedPrinter(), pages, title)) return true;
    message("Ispis nije uspio: pisač nije dostupan.", "Ispis", Icon::Exclamation);
    return false;
}

std::string pdfFileName(const std::string& name) {
    std::string file;
    for (const char c : name) {
        // What a file system does not take in a name (a slash, a colon) becomes a dash.
        const bool refused = (c >= 0 && c < 0x20) || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
        file += refused ? '-' : c;
    }
    file = trim(file);
    return (file.empty() ? std::string("Izvještaj") : file) + ".pdf";
}

bool saveAsPdf(const std::vector<Page>& pages, const std::string& title, const std::string& fileName) {
    auto name = prompter().chooseFile({"Spremi kao PDF…", "PDF datoteka|*.pdf", pdfFileName(fileName), true});
    if (!name) return false;
    if (savePdf(*name, pages, title)) return true;
    message("Datoteka " + *name + " se ne može zapisati.", "PDF", Icon::Exclamation);
    return false;
}

}  // namespace marel
