#include "forms/CoverLetter.h"

#include <optional>

#include "forms/Id1Form.h"
#include "store/Records.h"
#include "store/Values.h"
#include "store/Warnings.h"

namespace marel {

namespace {

const Font TITLE{.face = "Arial", .size = 14, .bold = true};
const Font HEADING{.face = "Arial", .size = 10, .bold = true};
const Font LABEL{.face = "Arial CE", .size = 9};
const Font VALUE{.face = "Arial CE", .size = 10, .bold = true};

// Width of the page's content, thousandths of an inch.
constexpr int kWidth = 7000;

struct Letter {
    std::string naslov, oib, naziv, adresa, ispostava, kontakt, tel1, tel2, email;
};

// The record numbered `number`; `failed` tells a read that failed for
// another reason than the record's absence.
template <class File>
std::optional<RecordOf<File>> findOrFail(int64_t number, bool& failed) {
    std::optional<RecordOf<File>> r = find<File>(number);
    failed = !r && number != 0 && errorCode() != kRecordNotAvailable;
    return r;
}

// The form's payer with its place, municipality and street; what is missing
// stays blank. False when a read failed for another reason.
bool readLetter(const ID1_REC& form, Letter& l) {
    l.naslov = "OBRAZAC ID-1 ZA " + form.GODINA.str() + ". godinu";
    l.kontakt = rtrim(form.KONPREZIME.str() + " " + form.KONIME.str());
    l.tel1 = id1Telephone(form.KONPOZ1, form.KONTEL1.str());
    if (!form.KONTEL2.empty()) l.tel2 = id1Telephone(form.KONPOZ2, form.KONTEL2.str());
    l.email = form.KONEMAIL.str();

    bool failed = false;
    const std::optional<SUBJEKTI_REC> payer = findOrFail<SubjektiFile>(form.ISPLATITELJ, failed);
    if (!payer) return !failed;
    const MJESTA_REC place = find<MjestaFile>(payer->MJESTO).value_or(MJESTA_REC{});
    const OPCINE_REC municipality = find<OpcineFile>(place.OPCINA).value_or(OPCINE_REC{});
    const ULICE_REC street = find<UliceFile>(payer->ULICA).value_or(ULICE_REC{});
    l.oib = payer->OIB.str();
    l.naziv = payer->NAZIV.str();
    l.adresa = rtrim(place.NAZIV.str()) + ", " + rtrim(street.NAZIV.str()) + " " + rtrim(payer->KUCNIBROJ.str());
    l.ispostava = municipality.NAZIV.str();
    return true;
}

// A framed block: its heading, then label and value rows. Returns its height.
int block(Canvas& c, int y, const char* heading, const std::vector<std::pair<const char*, const std::string*>>& rows) {
    c.text({100, y + 60, kWidth - 200, 200}, heading, HEADING);
    int row = y + 330;
    for (const auto& [label, value] : rows) {
        c.text({100, row, 2700, 200}, label, LABEL);
        c.box({2800, row - 40, kWidth - 2900, 260});
        c.text({2900, row, kWidth - 2940, 200}, value ? *value : std::string(), VALUE);
        row += 330;
    }
    const int height = row - y + 40;
    c.box({0, y, kWidth, height});
    return height;
}

void drawLetter(Canvas& c, const Letter& l) {
    c.text({0, 0, kWidth, 300}, l.naslov, TITLE, Align::Center);
    struct Block {
        const char* heading;
        std::vector<std::pair<const char*, const std::string*>> rows;
        int gapAfter;
    };
    const Block blocks[] = {
        {"Isplatitelj",
         {{"OIB Isplatitelja", &l.oib},
          {"Naziv/Ime i prezime isplatitelja", &l.naziv},
          {"Adresa isplatitelja", &l.adresa},
          {"Nadležna ispostava PU", &l.ispostava}},
         300},
        {"Odgovorna (kontakt) osoba za sadržaj medija za dostavu",
         {{"Prezime i ime", &l.kontakt}, {"Telefonski broj", &l.tel1}, {"", &l.tel2}, {"E-mail adresa", &l.email}},
         300},
        // Filled in by hand when the medium is handed over.
        {"Medij za dostavu",
         {{"Broj datoteka na mediju", nullptr}, {"Broj slogova na mediju", nullptr}, {"Datum dostave medija", nullptr}},
         900},
    };
    int y = 600;
    for (const Block& b : blocks) y += block(c, y, b.heading, b.rows) + b.gapAfter;
    c.line(kWidth - 3200, y, kWidth, y);
    c.text({kWidth - 3200, y + 60, 3200, 200}, "Potpis i pečat odgovorne osobe", LABEL, Align::Center);
}

}  // namespace

std::unique_ptr<Report> coverLetterReport(LONG number, const ProgressFn& progress) {
    auto report = std::make_unique<Report>("Popratni dopis");
    report->setMargins(600, 700, 600, 700);
    report->setProgress(progress);
    bool failed = false;
    const std::optional<ID1_REC> form = findOrFail<Id1File>(number, failed);
    Letter l;
    if (form && !readLetter(*form, l)) failed = true;
    if (failed) STANDARDWARNING(35, "ulice");
    if (!form || failed || !report->progress(1, 1)) return nullptr;
    report->setFileName("Popratni dopis ID-1", form->GODINA.str());
    report->print(9000, [&l](Canvas& c) { drawLetter(c, l); });
    report->close();
    if (report->pages().empty()) return nullptr;
    return report;
}

}  // namespace marel
