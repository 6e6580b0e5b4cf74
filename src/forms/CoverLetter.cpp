#include "forms/CoverLetter.h"

#include "forms/Id1Form.h"
#include "store/Records.h"
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

// Reads the form's payer with its place, municipality and street; what is
// missing stays blank. False when a read failed for another reason.
bool readLetter(Letter& l) {
    l.naslov = "OBRAZAC ID-1 ZA " + ID1.GODINA.str() + ". godinu";
    l.kontakt = rtrim(ID1.KONPREZIME.str() + " " + ID1.KONIME.str());
    l.tel1 = id1Telephone(ID1.KONPOZ1, ID1.KONTEL1.str());
    if (!ID1.KONTEL2.empty()) l.tel2 = id1Telephone(ID1.KONPOZ2, ID1.KONTEL2.str());
    l.email = ID1.KONEMAIL.str();

    SUB.OZNAKA = ID1.ISPLATITELJ;
    int rc = ID1.ISPLATITELJ == 0 ? kRecordNotAvailable : SUBJEKTI.get(SUBJEKTI.KEYOZNAKA);
    if (rc != 0) {
        SUBJEKTI.clear();
        return rc == kRecordNotAvailable;
    }
    MJE.OZNAKA = SUB.MJESTO;
    if (SUB.MJESTO == 0 || MJESTA.get(MJESTA.KEYOZNAKA) != 0) MJESTA.clear();
    OPC.OZNAKA = MJE.OPCINA;
    if (MJE.OPCINA == 0 || OPCINE.get(OPCINE.KEYOZNAKA) != 0) OPCINE.clear();
    ULI.OZNAKA = SUB.ULICA;
    if (SUB.ULICA == 0 || ULICE.get(ULICE.KEYOZNAKA) != 0) ULICE.clear();
    l.oib = SUB.OIB.str();
    l.naziv = SUB.NAZIV.str();
    l.adresa = rtrim(MJE.NAZIV.str()) + ", " + rtrim(ULI.NAZIV.str()) + " " + rtrim(SUB.KUCNIBROJ.str());
    l.ispostava = OPC.NAZIV.str();
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
    int y = 600;
    y += block(c, y, "Isplatitelj",
               {{"OIB Isplatitelja", &l.oib},
                {"Naziv/Ime i prezime isplatitelja", &l.naziv},
                {"Adresa isplatitelja", &l.adresa},
                {"Nadležna ispostava PU", &l.ispostava}}) +
         300;
    y += block(c, y, "Odgovorna (kontakt) osoba za sadržaj medija za dostavu",
               {{"Prezime i ime", &l.kontakt},
                {"Telefonski broj", &l.tel1},
                {"", &l.tel2},
                {"E-mail adresa", &l.email}}) +
         300;
    // Filled in by hand when the medium is handed over.
    y += block(c, y, "Medij za dostavu",
               {{"Broj datoteka na mediju", nullptr},
                {"Broj slogova na mediju", nullptr},
                {"Datum dostave medija", nullptr}}) +
         900;
    c.line(kWidth - 3200, y, kWidth, y);
    c.text({kWidth - 3200, y + 60, 3200, 200}, "Potpis i pečat odgovorne osobe", LABEL, Align::Center);
}

}  // namespace

std::unique_ptr<Report> coverLetterReport(LONG form, const ProgressFn& progress) {
    FileUse use{&ID1, &MJESTA, &OPCINE, &SUBJEKTI, &ULICE};
    auto report = std::make_unique<Report>("Popratni dopis");
    report->setMargins(600, 700, 600, 700);
    report->setProgress(progress);
    ID1.OZNAKA = form;
    const int rc = ID1.get(ID1.KEYOZNAKA);
    if (rc != 0) {
        if (rc != kRecordNotAvailable) STANDARDWARNING(35, "ulice");
        return nullptr;
    }
    Letter l;
    if (!readLetter(l)) {
        STANDARDWARNING(35, "ulice");
        return nullptr;
    }
    if (!report->progress(1, 1)) return nullptr;
    report->setFileName("Popratni dopis ID-1", ID1.GODINA.str());
    report->print(9000, [&l](Canvas& c) { drawLetter(c, l); });
    report->close();
    if (report->pages().empty()) return nullptr;
    return report;
}

}  // namespace marel
