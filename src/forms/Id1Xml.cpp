#include "forms/Id1Xml.h"

#include <filesystem>

#include "common/CheckDigits.h"
#include "common/Prompter.h"
#include "common/Text.h"
#include "common/XmlSchema.h"
#include "common/XmlWriter.h"
#include "forms/Id1Form.h"
#include "payments/IncomeLine.h"
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

// What the file's structure would refuse in the recipient.
void checkRecipient(const OSOBE_REC& who, std::vector<std::string>& problems) {
    const std::string name = "Primatelj br. " + std::to_string(who.OZNAKA) + " " +
                             trim(PRIJENOS(who.IME.str()) + " " + PRIJENOS(who.PREZIME.str())) + " (OIB " +
                             quoted(who.OIB.str()) + ")";
    // A recipient without an OIB is told of and still reported, as always.
    if (!who.OIB.empty() && !oibValid(who.OIB.str()))
        problems.push_back(name + ": OIB nije ispravan (" + kOibRule + ").");
    if (blankName(who.IME.str())) problems.push_back(name + ": nije uneseno ime.");
    if (blankName(who.PREZIME.str())) problems.push_back(name + ": nije uneseno prezime.");
}

// How a position of an income line's calculation counts: the sum it adds
// to, the account it adds to besides, and whether it is taken from the net.
struct Id1Column {
    Pozicija position;
    Decimal Id1Sums::*sum;
    enum Account { None, OfType, Crisis } account = None;
    bool lessNet = false;
};
constexpr Id1Column ID1_COLUMNS[] = {
    {POZ_BRUTO, &Id1Sums::UKBRUTO},
    {POZ_NEOPOREZIVIDIO, &Id1Sums::UKIZDACI},
    {POZ_PRIZNATITROSKOVI, &Id1Sums::UKIZDACI},
    {POZ_MIROVINSKOISTUP, &Id1Sums::UKDOPRINOSI},
    {POZ_MIROVINSKOIISTUP, &Id1Sums::UKDOPRINOSI},
    {POZ_POREZ, &Id1Sums::UKPOREZ, Id1Column::OfType},
    {POZ_PRIREZ, &Id1Sums::UKPOREZ, Id1Column::OfType},
    {POZ_NETO, &Id1Sums::UKNETO},
    {POZ_KRIPOREZ, &Id1Sums::UKKRIPOREZ, Id1Column::Crisis, true},
};

// One income line into the sums; `account` is its type's slot (-1: none).
void addLine(Id1Sums& sums, const PositionAmounts& amounts, int account, bool crisis) {
    for (const Id1Column& c : ID1_COLUMNS) {
        if (c.account == Id1Column::Crisis && !crisis) continue;
        const Decimal& a = amounts[c.position];
        sums.*c.sum += a;
        if (c.lessNet) sums.UKNETO -= a;
        if (c.account == Id1Column::Crisis) sums.RACUN[ID1_KRIPOREZ] += a;
        if (c.account == Id1Column::OfType && account >= 0) sums.RACUN[size_t(account)] += a;
    }
}

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

// The amounts of a recipient or of the whole file; `tax` is their total of the accounts.
void writeAmounts(XmlWriter& xml, const Id1Sums& s, const Decimal& tax) {
    xml.ADDELEMENT("Primitak", amount(s.UKBRUTO));
    xml.ADDELEMENT("Izdatak", amount(s.UKIZDACI));
    xml.ADDELEMENT("IzdatakDoprinosa", amount(s.UKDOPRINOSI));
    writeAccounts(xml, s.RACUN, tax);
    xml.ADDELEMENT("IsplaceniPrimitak", amount(s.UKNETO));
}

void writeRecipient(XmlWriter& xml, const OSOBE_REC& who, const std::string& municipality, const Id1Sums& s) {
    xml.CREATEPARENT("Obveznik");
    xml.CREATEATTRIBUTE("oib", who.OIB.str());
    xml.CREATEATTRIBUTE("oznGrOp", municipality);
    xml.ADDPARENT();
    xml.ADDELEMENT("Ime", PRIJENOS(who.IME.str()));
    xml.ADDELEMENT("Prezime", PRIJENOS(who.PREZIME.str()));
    // The recipient's own total is his tax and surtax; the crisis tax is
    // listed under its account but counted only in the file's total.
    writeAmounts(xml, s, s.UKPOREZ);
    xml.CLOSEPARENT();
}

void addSums(Id1Sums& to, const Id1Sums& s) {
    for (Decimal Id1Sums::*sum : {&Id1Sums::UKBRUTO, &Id1Sums::UKIZDACI, &Id1Sums::UKDOPRINOSI, &Id1Sums::UKPOREZ,
                                  &Id1Sums::UKKRIPOREZ, &Id1Sums::UKNETO})
        to.*sum += s.*sum;
    for (size_t k = 0; k < s.RACUN.size(); ++k) to.RACUN[k] += s.RACUN[k];
}

// The recipients with tax, in surname order, and the file's totals; what the
// file's structure would refuse in them goes to `problems`. A failed read
// is noted.
void writeRecipients(XmlWriter& xml, LONG payer, const std::string& year, Id1Sums& totals, Id1Notes& notes,
                     std::vector<std::string>& problems) {
    xml.CREATEPARENT("Obveznici");
    xml.ADDPARENT();
    Id1Year sums(payer, year);
    // Every line counts; a type without a tax code is noted for each of its lines.
    auto accountOf = [&notes](const VRSTEDOH_REC* type) -> std::optional<int> {
        static const VRSTEDOH_REC none{};
        const VRSTEDOH_REC& t = type ? *type : none;
        if (t.RNPOREZ.empty()) notes.messages.push_back("NIJE UNESENA SHIFRA POREZA U VRSTI DOHOTKA " + t.NAZIV.str());
        return id1Account(t.RNPOREZ.str());
    };
    const char* failed = sums.eachRecipient(accountOf, true, [&](const OSOBE_REC& who, const Id1Sums& s) {
        if (s.UKPOREZ.sign() <= 0) return true;
        if (who.OIB.empty()) notes.messages.push_back(who.PREZIME.str() + " " + who.IME.str() + " NEMA UNESEN OIB");
        checkRecipient(who, problems);
        writeRecipient(xml, who, sums.municipality(who), s);
        addSums(totals, s);
        return true;
    });
    if (failed) notes.failedFile = failed;
    xml.CLOSEPARENT();
}

void writeTelephone(XmlWriter& xml, USHORT area, const StringField& number) {
    xml.ADDELEMENT("Telefon", id1Telephone(area, number.str()));
}

// The form's head: the year, the payer and the contact person.
void writeHead(XmlWriter& xml, const ID1_REC& form, const SUBJEKTI_REC& payer) {
    xml.CREATEPARENT("Id1");
    xml.CREATEATTRIBUTE("storno", form.STORNO.empty() ? "false" : form.STORNO.str());
    xml.CREATEATTRIBUTE("xmlns", kNamespace);
    xml.CREATEATTRIBUTE("xmlns:xsi", kSchemaInstance);
    xml.ADDPARENT();
    xml.ADDELEMENT("Identifikator", "1");
    xml.ADDELEMENT("IsplataUGodini", form.GODINA.str());
    xml.CREATEPARENT("Isplatitelj");
    xml.CREATEATTRIBUTE("oib", payer.OIB.str());
    xml.ADDPARENT();
    xml.CREATEPARENT("KontaktOsoba");
    xml.ADDPARENT();
    xml.ADDELEMENT("Ime", PRIJENOS(form.KONIME.str()));
    xml.ADDELEMENT("Prezime", PRIJENOS(form.KONPREZIME.str()));
    xml.CREATEPARENT("Telefoni");
    xml.ADDPARENT();
    writeTelephone(xml, form.KONPOZ1, form.KONTEL1);
    if (!form.KONTEL2.empty()) writeTelephone(xml, form.KONPOZ2, form.KONTEL2);
    xml.CLOSEPARENT();
    xml.ADDELEMENT("Email", form.KONEMAIL.str());
    xml.CLOSEPARENT();
    xml.CLOSEPARENT();
}

// The file's totals; its tax is all of it, the crisis tax with the rest.
void writeTotals(XmlWriter& xml, const Id1Sums& totals) {
    xml.CREATEPARENT("Ukupno");
    xml.ADDPARENT();
    writeAmounts(xml, totals, totals.UKPOREZ + totals.UKKRIPOREZ);
    xml.CLOSEPARENT();
    xml.CLOSEPARENT();
}

// Tells what the file's structure would refuse, in one window; false when there was anything.
bool noProblems(std::vector<std::string> problems, const XmlWriter& xml) {
    if (problems.empty()) return true;
    // A text the file cannot carry belongs on the same list.
    if (!xml.error().empty()) problems.push_back(xml.error());
    std::string text;
    for (const std::string& p : problems) text += (text.empty() ? "" : "\r\n") + p;
    message(text, kCheckCaption, Icon::Exclamation);
    return false;
}

std::string targetPath(const std::string& target, const SUBJEKTI_REC& payer) {
    if (!target.empty()) return target;
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::absolute(Store::main().folder(), ec);
    return (dir / id1FileName(payer)).string();
}

}  // namespace

bool Id1Notes::tell() {
    for (const std::string& m : messages) message(m);
    messages.clear();
    if (failedFile.empty()) return true;
    STANDARDWARNING(35, failedFile);
    return false;
}

int id1Account(const std::string& code) {
    int slot = -1;
    for (size_t k = 0; k < ID1_KRIPOREZ; ++k)
        if (code == ID1_RACUNI[k]) slot = int(k);
    return slot;
}

const char* Id1Year::sum(const OSOBE_REC& recipient, const AccountOf& accountOf, bool crisis, Id1Sums& sums) {
    sums = {};
    Records<DohociFile> lines(&DohociFile::KEYDJELATNIK, recipient.OZNAKA);
    PositionAmounts amounts;
    for (const DOHOCI_REC& line : lines) {
        // A line of no payment is nobody's income.
        const ISPLATE_REC* paid = payments_.find(line.ISPLATA);
        if (!paid || paid->ISPLATITELJ != payer_ || std::to_string(paid->DATUM.year()) != year_) continue;
        const std::optional<int> account = accountOf(types_.find(line.VRSTADOHOTKA));
        if (!account) continue;
        if (readPositions(line.OZNAKA, amounts) != 0) return "obracun";
        addLine(sums, amounts, *account, crisis);
    }
    return lines.error() ? "dohoci" : nullptr;
}

const char* Id1Year::eachRecipient(const AccountOf& accountOf, bool crisis, const Each& each) {
    Records<OsobeFile> people(&OsobeFile::KEYPREZIMEIME);
    Id1Sums sums;
    for (const OSOBE_REC& who : people) {
        if (const char* failed = sum(who, accountOf, crisis, sums)) return failed;
        if (!each(who, sums)) return nullptr;
    }
    return people.error() ? "osobe" : nullptr;
}

std::string Id1Year::municipality(const OSOBE_REC& recipient) {
    const MJESTA_REC& place = places_.orBlank(recipient.MJESTO);
    return std::string(utf8Prefix(municipalities_.orBlank(place.OPCINA).SHIFRA.str(), 3));
}

std::vector<std::string> PROVJERAID1(const ID1_REC& form, const SUBJEKTI_REC& payer) {
    std::vector<std::string> problems;
    const std::string oib = payer.OIB.str();
    if (!oibValid(oib))
        problems.push_back("Isplatitelj " + PRIJENOS(payer.NAZIV.str()) + ": OIB " + quoted(oib) +
                           " nije ispravan (" + kOibRule + ").");
    if (!yearValid(form.GODINA.str()))
        problems.push_back("Godina " + quoted(form.GODINA.str()) + " nije ispravna (četiri znamenke, od 2000 do 2099).");
    if (!form.STORNO.empty() && form.STORNO != "true" && form.STORNO != "false")
        problems.push_back("Storno " + quoted(form.STORNO.str()) + " nije ispravan (true ili false).");
    if (blankName(form.KONIME.str())) problems.push_back("Kontakt osoba: nije uneseno ime.");
    if (blankName(form.KONPREZIME.str())) problems.push_back("Kontakt osoba: nije uneseno prezime.");
    return problems;
}

const XmlSchema& id1Schema() {
    return XmlSchema::of(suppliedDataDir() + "/schemas/id1/Id1-v4-0.xsd", kNamespace, "Id1");
}

std::string id1FileName(const SUBJEKTI_REC& payer) { return "ID-1_" + payer.OIB.str() + "_01.xml"; }

bool FORMIRAJDATOTEKU(LONG number, const std::string& target) {
    // The form, its payer and the year's recipients from one moment of the data.
    ReadTransaction wholeFile;
    const std::optional<ID1_REC> form = find<Id1File>(number);
    if (!form) {
        message("GREŠKA - ID-1 OBRAZAC " + std::to_string(number) + " NE POSTOJI");
        return false;
    }
    // A report without its payer would name nobody to the tax authority.
    const std::optional<SUBJEKTI_REC> payer = find<SubjektiFile>(form->ISPLATITELJ);
    if (!payer) {
        message("GREŠKA - ISPLATITELJ OBRASCA NE POSTOJI");
        return false;
    }
    const std::string path = targetPath(target, *payer);
    // A file the tax authority would refuse is not written at all: the form
    // and its payer are looked at now, each recipient as he is written.
    std::vector<std::string> problems = PROVJERAID1(*form, *payer);
    XmlWriter xml;
    xml.checkAgainst(&id1Schema());
    if (!xml.CREATEXMLFILE(path, "1.0", "UTF-8")) {
        message("Datoteka se ne može kreirati: " + path);
        return false;
    }
    writeHead(xml, *form, *payer);
    Id1Sums totals;
    Id1Notes notes;
    {
        // One snapshot of the year: another station's change cannot tear it.
        ReadTransaction snapshot;
        writeRecipients(xml, payer->OZNAKA, form->GODINA.str(), totals, notes, problems);
    }
    // A report that silently lost recipients would be worse than none: the
    // writer discards the file.
    if (!notes.tell() || !noProblems(std::move(problems), xml)) return false;
    writeTotals(xml, totals);
    if (!xml.CLOSEXMLFILE()) {
        // A text XML cannot carry is named, so the user knows what to correct.
        message("Datoteka se ne može kreirati: " + path + (xml.error().empty() ? "" : "\r\n" + xml.error()));
        return false;
    }
    return true;
}

}  // namespace marel
