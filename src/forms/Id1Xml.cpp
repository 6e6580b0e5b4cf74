#include "forms/Id1Xml.h"

#include <filesystem>

#include "common/CheckDigits.h"
#include "common/Prompter.h"
#include "common/Text.h"
#include "common/XmlSchema.h"
#include "common/XmlWriter.h"
#include "forms/Id1Form.h"
#include "payments/Positions.h"
#include "store/Records.h"
#include "store/Store.h"
#include "store/Warnings.h"

namespace marel {

namespace {

constexpr const char* kNamespace = "http://e-porezna.porezna-uprava.hr/obrasci/id1/v4-0";
constexpr const char* kSchemaInstance = "http://www.w3.org/2001/XMLSchema-instance";

// Amounts as plain numbers with a point; always with the cents, so that
// every amount of the file reads the same way.
std::string amount(const Decimal& v) { return v.toString(2); }

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// A name the file would carry as nothing but blanks.
bool blankName(const std::string& name) { return PRIJENOS(name).empty(); }

// The years the file takes: four digits, this century.
bool yearValid(const std::string& year) {
    return year.size() == 4 && year.starts_with("20") && year.find_first_not_of("0123456789") == std::string::npos;
}

constexpr const char* kOibRule = "11 znamenki s ispravnom kontrolnom znamenkom";

// What the file's structure would refuse in the recipient in the OSO buffer.
void checkRecipient(std::vector<std::string>& problems) {
    const std::string who = "Primatelj br. " + std::to_string(OSO.OZNAKA) + " " +
                            trim(PRIJENOS(OSO.IME.str()) + " " + PRIJENOS(OSO.PREZIME.str())) + " (OIB " +
                            quoted(OSO.OIB.str()) + ")";
    // A recipient without an OIB is told of and still reported, as always.
    if (!OSO.OIB.empty() && !oibValid(OSO.OIB.str()))
        problems.push_back(who + ": OIB nije ispravan (" + kOibRule + ").");
    if (blankName(OSO.IME.str())) problems.push_back(who + ": nije uneseno ime.");
    if (blankName(OSO.PREZIME.str())) problems.push_back(who + ": nije uneseno prezime.");
}

// The running totals of the file.
struct FileTotals {
    Decimal primitak, izdatak, doprinosi, porez, neto;
    std::array<Decimal, ID1_RACUNI.size()> racun{};
};

void writeAccounts(XmlWriter& xml, const std::array<Decimal, ID1_RACUNI.size()>& racun, const Decimal& total) {
    xml.CREATEPARENT("PorezPrirez");
    xml.ADDPARENT();
    xml.CREATEPARENT("Racuni");
    xml.ADDPARENT();
    for (size_t k = 0; k < racun.size(); ++k) {
        if (racun[k].sign() <= 0) continue;
        xml.CREATEPARENT("Racun");
        xml.CREATEATTRIBUTE("brojRacuna", ID1_RACUNI[k]);
        xml.ADDPARENT();
        xml.ADDELEMENT("Iznos", amount(racun[k]));
        xml.CLOSEPARENT();
    }
    xml.CLOSEPARENT();
    xml.ADDELEMENT("Ukupno", amount(total));
    xml.CLOSEPARENT();
}

// The recipients with tax, in surname order, and the file's totals; what the
// file's structure would refuse in them goes to `problems`. False when a
// read failed.
bool writeRecipients(XmlWriter& xml, LONG payer, const std::string& year, FileTotals& totals, Id1Notes& notes,
                     std::vector<std::string>& problems) {
    xml.CREATEPARENT("Obveznici");
    xml.ADDPARENT();
    Cursor people(OSOBE, OSOBE.KEYPREZIMEIME.index);
    people.toStart();
    for (;;) {
        const int rc = people.next();
        if (rc == kRecordNotAvailable) break;
        if (rc != 0) {
            notes.failedFile = "osobe";
            return false;
        }
        Id1Sums s;
        if (!PUNI(s, payer, year, notes)) return false;
        if (s.UKPOREZ.sign() <= 0) continue;
        if (OSO.OIB.empty()) notes.messages.push_back(OSO.PREZIME.str() + " " + OSO.IME.str() + " NEMA UNESEN OIB");
        checkRecipient(problems);

        xml.CREATEPARENT("Obveznik");
        xml.CREATEATTRIBUTE("oib", OSO.OIB.str());
        xml.CREATEATTRIBUTE("oznGrOp", std::string(utf8Prefix(OPC.SHIFRA.str(), 3)));
        xml.ADDPARENT();
        xml.ADDELEMENT("Ime", PRIJENOS(OSO.IME.str()));
        xml.ADDELEMENT("Prezime", PRIJENOS(OSO.PREZIME.str()));
        xml.ADDELEMENT("Primitak", amount(s.UKBRUTO));
        xml.ADDELEMENT("Izdatak", amount(s.UKIZDACI));
        xml.ADDELEMENT("IzdatakDoprinosa", amount(s.UKDOPRINOSI));
        // The recipient's own total is his tax and surtax; the crisis tax is
        // listed under its account but counted only in the file's total.
        writeAccounts(xml, s.RACUN, s.UKPOREZ);
        xml.ADDELEMENT("IsplaceniPrimitak", amount(s.UKNETO));
        xml.CLOSEPARENT();

        totals.primitak += s.UKBRUTO;
        totals.izdatak += s.UKIZDACI;
        totals.doprinosi += s.UKDOPRINOSI;
        totals.neto += s.UKNETO;
        totals.porez += s.UKPOREZ + s.UKKRIPOREZ;
        for (size_t k = 0; k < s.RACUN.size(); ++k) totals.racun[k] += s.RACUN[k];
    }
    xml.CLOSEPARENT();
    return true;
}

void writeTelephone(XmlWriter& xml, USHORT area, const StringField& number) {
    xml.ADDELEMENT("Telefon", id1Telephone(area, number.str()));
}

}  // namespace

bool Id1Notes::tell() {
    for (const std::string& m : messages) message(m);
    messages.clear();
    if (failedFile.empty()) return true;
    STANDARDWARNING(35, failedFile);
    return false;
}

bool PUNI(Id1Sums& sums, LONG payer, const std::string& year, Id1Notes& notes) {
    sums = {};
    MJE.OZNAKA = OSO.MJESTO;
    if (OSO.MJESTO == 0 || MJESTA.get(MJESTA.KEYOZNAKA) != 0) MJESTA.clear();
    OPC.OZNAKA = MJE.OPCINA;
    if (MJE.OPCINA == 0 || OPCINE.get(OPCINE.KEYOZNAKA) != 0) OPCINE.clear();

    Cursor lines(DOHOCI, DOHOCI.KEYDJELATNIK.index);
    lines.startAt(OSO.OZNAKA);
    for (;;) {
        int rc = lines.next();
        if (rc == kRecordNotAvailable) break;
        if (rc != 0) {
            notes.failedFile = "dohoci";
            return false;
        }
        ISP.OZNAKA = DOH.ISPLATA;
        if (ISPLATE.get(ISPLATE.KEYOZNAKA) != 0) continue;  // a line of no payment is nobody's income
        if (ISP.ISPLATITELJ != payer || std::to_string(ISP.DATUM.year()) != year) continue;

        VRS.OZNAKA = DOH.VRSTADOHOTKA;
        if (VRSTEDOH.get(VRSTEDOH.KEYOZNAKA) != 0) VRSTEDOH.clear();
        int slot = -1;
        for (size_t k = 0; k < ID1_KRIPOREZ; ++k)
            if (VRS.RNPOREZ.str() == ID1_RACUNI[k]) slot = int(k);
        if (VRS.RNPOREZ.empty()) notes.messages.push_back("NIJE UNESENA SHIFRA POREZA U VRSTI DOHOTKA " + VRS.NAZIV.str());

        Cursor calc(OBRACUN, OBRACUN.KEYDOHODAK.index);
        calc.startAt(DOH.OZNAKA);
        for (;;) {
            rc = calc.next();
            if (rc == kRecordNotAvailable) break;
            if (rc != 0) {
                notes.failedFile = "obracun";
                return false;
            }
            const Decimal a = OBR.IZNOS.value();
            switch (OBR.POZICIJA) {
                case POZ_BRUTO: sums.UKBRUTO += a; break;
                case POZ_NEOPOREZIVIDIO:
                case POZ_PRIZNATITROSKOVI: sums.UKIZDACI += a; break;
                case POZ_MIROVINSKOISTUP:
                case POZ_MIROVINSKOIISTUP: sums.UKDOPRINOSI += a; break;
                case POZ_POREZ:
                case POZ_PRIREZ:
                    sums.UKPOREZ += a;
                    if (slot >= 0) sums.RACUN[size_t(slot)] += a;
                    break;
                case POZ_NETO: sums.UKNETO += a; break;
                case POZ_KRIPOREZ:
                    sums.UKKRIPOREZ += a;
                    sums.UKNETO -= a;
                    sums.RACUN[ID1_KRIPOREZ] += a;
                    break;
                default: break;
            }
        }
    }
    return true;
}

std::vector<std::string> PROVJERAID1() {
    std::vector<std::string> problems;
    const std::string oib = SUB.OIB.str();
    if (!oibValid(oib))
        problems.push_back("Isplatitelj " + PRIJENOS(SUB.NAZIV.str()) + ": OIB " + quoted(oib) + " nije ispravan (" +
                           kOibRule + ").");
    if (!yearValid(ID1.GODINA.str()))
        problems.push_back("Godina " + quoted(ID1.GODINA.str()) + " nije ispravna (četiri znamenke, od 2000 do 2099).");
    if (!ID1.STORNO.empty() && ID1.STORNO != "true" && ID1.STORNO != "false")
        problems.push_back("Storno " + quoted(ID1.STORNO.str()) + " nije ispravan (true ili false).");
    if (blankName(ID1.KONIME.str())) problems.push_back("Kontakt osoba: nije uneseno ime.");
    if (blankName(ID1.KONPREZIME.str())) problems.push_back("Kontakt osoba: nije uneseno prezime.");
    return problems;
}

const XmlSchema& id1Schema() {
    return XmlSchema::of(suppliedDataDir() + "/schemas/id1/Id1-v4-0.xsd", kNamespace, "Id1");
}

std::string id1FileName() { return "ID-1_" + SUB.OIB.str() + "_01.xml"; }

bool FORMIRAJDATOTEKU(LONG form, const std::string& target) {
    FileUse files{&DOHOCI, &ID1, &ISPLATE, &MJESTA, &OBRACUN, &OPCINE, &OSOBE, &SUBJEKTI, &VRSTEDOH};
    // The form, its payer and the year's recipients from one moment of the data.
    ReadTransaction wholeFile;
    ID1.OZNAKA = form;
    if (ID1.get(ID1.KEYOZNAKA) != 0) {
        message("GREŠKA - ID-1 OBRAZAC " + std::to_string(form) + " NE POSTOJI");
        return false;
    }
    // A report without its payer would name nobody to the tax authority.
    SUB.OZNAKA = ID1.ISPLATITELJ;
    if (ID1.ISPLATITELJ == 0 || SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) != 0) {
        message("GREŠKA - ISPLATITELJ OBRASCA NE POSTOJI");
        return false;
    }

    std::string path = target;
    if (path.empty()) {
        std::error_code ec;
        std::filesystem::path dir = std::filesystem::absolute(Store::main().folder(), ec);
        path = (dir / id1FileName()).string();
    }
    // A file the tax authority would refuse is not written at all: the form
    // and its payer are looked at now, each recipient as he is written.
    std::vector<std::string> problems = PROVJERAID1();
    XmlWriter xml;
    xml.checkAgainst(&id1Schema());
    if (!xml.CREATEXMLFILE(path, "1.0", "UTF-8")) {
        message("Datoteka se ne može kreirati: " + path);
        return false;
    }
    const LONG payer = SUB.OZNAKA;
    const std::string year = ID1.GODINA.str();

    xml.CREATEPARENT("Id1");
    xml.CREATEATTRIBUTE("storno", ID1.STORNO.empty() ? "false" : ID1.STORNO.str());
    xml.CREATEATTRIBUTE("xmlns", kNamespace);
    xml.CREATEATTRIBUTE("xmlns:xsi", kSchemaInstance);
    xml.ADDPARENT();
    xml.ADDELEMENT("Identifikator", "1");
    xml.ADDELEMENT("IsplataUGodini", year);
    xml.CREATEPARENT("Isplatitelj");
    xml.CREATEATTRIBUTE("oib", SUB.OIB.str());
    xml.ADDPARENT();
    xml.CREATEPARENT("KontaktOsoba");
    xml.ADDPARENT();
    xml.ADDELEMENT("Ime", PRIJENOS(ID1.KONIME.str()));
    xml.ADDELEMENT("Prezime", PRIJENOS(ID1.KONPREZIME.str()));
    xml.CREATEPARENT("Telefoni");
    xml.ADDPARENT();
    writeTelephone(xml, ID1.KONPOZ1, ID1.KONTEL1);
    if (!ID1.KONTEL2.empty()) writeTelephone(xml, ID1.KONPOZ2, ID1.KONTEL2);
    xml.CLOSEPARENT();
    xml.ADDELEMENT("Email", ID1.KONEMAIL.str());
    xml.CLOSEPARENT();
    xml.CLOSEPARENT();

    FileTotals totals;
    Id1Notes notes;
    {
        // One snapshot of the year: another station's change cannot tear it.
        ReadTransaction snapshot;
        writeRecipients(xml, payer, year, totals, notes, problems);
    }
    // A report that silently lost recipients would be worse than none: the
    // writer discards the file.
    if (!notes.tell()) return false;
    if (!problems.empty()) {
        // A text the file cannot carry belongs on the same list.
        if (!xml.error().empty()) problems.push_back(xml.error());
        std::string text;
        for (const std::string& p : problems) text += (text.empty() ? "" : "\r\n") + p;
        message(text, kCheckCaption, Icon::Exclamation);
        return false;
    }

    xml.CREATEPARENT("Ukupno");
    xml.ADDPARENT();
    xml.ADDELEMENT("Primitak", amount(totals.primitak));
    xml.ADDELEMENT("Izdatak", amount(totals.izdatak));
    xml.ADDELEMENT("IzdatakDoprinosa", amount(totals.doprinosi));
    writeAccounts(xml, totals.racun, totals.porez);
    xml.ADDELEMENT("IsplaceniPrimitak", amount(totals.neto));
    xml.CLOSEPARENT();
    xml.CLOSEPARENT();
    if (!xml.CLOSEXMLFILE()) {
        // A text XML cannot carry is named, so the user knows what to correct.
        message("Datoteka se ne može kreirati: " + path + (xml.error().empty() ? "" : "\r\n" + xml.error()));
        return false;
    }
    return true;
}

}  // namespace marel
