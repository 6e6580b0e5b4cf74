#include "joppd/JoppdCheck.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_set>

#include "common/CheckDigits.h"
#include "common/Text.h"
#include "common/XmlWriter.h"
#include "store/Records.h"
#include "joppd/JoppdPayment.h"
#include "store/Values.h"

namespace marel {

namespace {

// The file's limits on text and amounts.
constexpr size_t kMinName = 2, kMaxName = 128, kMaxHouseNumber = 10, kMaxDigits = 15;
// Payment methods the file knows.
constexpr SHORT kLastMethod = 7;

// Problems in the order met, each once.
class Problems {
public:
    void add(std::string text) {
        if (seen_.insert(text).second) list_.push_back(std::move(text));
    }
    std::vector<std::string> take() { return std::move(list_); }

private:
    std::set<std::string> seen_;
    std::vector<std::string> list_;
};

bool nameFits(const std::string& text) {
    const size_t n = utf8Length(PRIJENOS(text));
    return n >= kMinName && n <= kMaxName;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// The codes of the data folder's own tables, read once per check.
struct Tables {
    std::set<std::string> receipts;   // first four characters of each receipt code
    std::set<std::string> acquirers;  // the acquirer codes paired with them
    std::set<SHORT> nonTaxable;

    void read() {
        for (const VBRAT_REC& code : Records<VbratFile>(&VbratFile::KEYOZNAKA)) {
            receipts.insert(std::string(utf8Prefix(code.SHIFRA.str(), 4)));
            acquirers.insert(code.REZERVA.str());
        }
        for (const NEOPOREZ_REC& code : Records<NeoporezFile>(&NeoporezFile::KEYOZNAKA)) nonTaxable.insert(code.SHIFRA);
    }
};

// The acquirer codes the row build can write.
bool writable(const std::string& acquirer) {
    return acquirer == "00" || acquirer == "01" || acquirer == "02" || acquirer == "11";
}

void checkPayer(Problems& out, const JoppdForm& f) {
    const std::string oib = f.payer.OIB.str();
    if (!oibValid(oib))
        out.add("Isplatitelj " + PRIJENOS(f.payer.NAZIV.str()) + ": OIB " + quoted(oib) +
                " nije ispravan (11 znamenki s ispravnom kontrolnom znamenkom).");
    if (!nameFits(f.payer.NAZIV.str())) out.add("Isplatitelj: naziv mora imati od 2 do 128 znakova.");
    if (!nameFits(f.payerPlace)) out.add("Isplatitelj: naziv mjesta mora imati od 2 do 128 znakova.");
    if (!nameFits(f.street.NAZIV.str())) out.add("Isplatitelj: naziv ulice mora imati od 2 do 128 znakova.");
    if (utf8Length(f.payer.KUCNIBROJ.str()) > kMaxHouseNumber)
        out.add("Isplatitelj: kućni broj smije imati najviše 10 znakova.");
}

// The form's identifier as the file carries it: 8-4-4-4-12 small hexadecimal
// digits. A value stored by another program (a control character read as a
// blank) would give a file the tax authority refuses.
bool identifierFits(const std::string& id) {
    if (id.size() != 36) return false;
    for (size_t i = 0; i < id.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? id[i] != '-' : !((id[i] >= '0' && id[i] <= '9') || (id[i] >= 'a' && id[i] <= 'f'))) return false;
    }
    return true;
}

void checkAuthor(Problems& out, const JOPO_REC& form) {
    if (!form.UJED.empty() && !identifierFits(form.UJED.str()))
        out.add("Obrazac: identifikator " + quoted(form.UJED.str()) + " nije ispravan.");
    if (!nameFits(form.IMEAUTORA.str())) out.add("Autor obrasca: ime mora imati od 2 do 128 znakova.");
    if (!nameFits(form.PREZIMEAUTORA.str())) out.add("Autor obrasca: prezime mora imati od 2 do 128 znakova.");
}

// The codes of an income type, looked at the first time a line names it.
void checkType(Problems& out, const Tables& tables, const VRSTEDOH_REC& type) {
    const std::string typeName = "Vrsta dohotka " + PRIJENOS(type.NAZIV.str());
    const std::string acquirer = type.REZSTRINGA.str();
    const std::string receipt = type.REZSTRINGB.str();
    if (acquirer.empty()) out.add(typeName + ": nije unesena oznaka stjecatelja.");
    else if (!writable(acquirer) || !tables.acquirers.count(acquirer))
        out.add(typeName + ": oznaka stjecatelja " + quoted(acquirer) + " nije u tablici oznaka.");
    if (receipt.empty()) out.add(typeName + ": nije unesena oznaka primitka.");
    else if (receipt.size() < 4 || !tables.receipts.count(std::string(utf8Prefix(receipt, 4))))
        out.add(typeName + ": oznaka primitka " + quoted(receipt) + " nije u tablici oznaka primitaka.");
    if (JoppdKind::of(type).nonTaxable) {
        const Decimal code = type.REZDECIMALA.value();
        const int64_t whole = code.toInt();
        if (Decimal(whole) != code || whole < 1 || whole > 99 || !tables.nonTaxable.count(SHORT(whole)))
            out.add(typeName + ": oznaka neoporezivog primitka " +
                    (Decimal(whole) == code ? std::to_string(whole) : joppdAmount(code)) +
                    " nije u tablici neoporezivih primitaka.");
    }
}

// A recipient, looked at the first time a line names it: the OIB, the name,
// the place and municipality of residence.
void checkRecipient(Problems& out, JoppdPayment& data, const OSOBE_REC& person, const std::string& who) {
    if (person.OIB.empty()) out.add(who + ": nije unesen OIB.");
    else if (!oibValid(person.OIB.str()))
        out.add(who + ": OIB nije ispravan (11 znamenki s ispravnom kontrolnom znamenkom).");
    if (!nameFits(trim(PRIJENOS(person.IME.str()) + " " + PRIJENOS(person.PREZIME.str()))))
        out.add(who + ": ime i prezime moraju imati barem 2 znaka.");
    const MJESTA_REC* place = data.places.find(person.MJESTO);
    if (!place) {
        out.add(who + ": mjesto prebivališta ne postoji.");
        return;
    }
    const OPCINE_REC* municipality = data.municipalities.find(place->OPCINA);
    if (!municipality)
        out.add(who + ": općina mjesta " + PRIJENOS(place->NAZIV.str()) + " ne postoji.");
    else if (!municipalityCodeValid(municipality->SHIFRA.str()))
        out.add("Općina " + PRIJENOS(municipality->NAZIV.str()) + ": šifra " + quoted(municipality->SHIFRA.str()) +
                " nema točno četiri znamenke.");
}

// A recipient named by a line: the whole of it the first time, the
// municipality of work on each non-taxable line.
void checkPerson(Problems& out, JoppdPayment& data, const OSOBE_REC& person, bool first, bool workPlace) {
    const std::string who = "Primatelj " + trim(PRIJENOS(person.IME.str()) + " " + PRIJENOS(person.PREZIME.str())) +
                            " (OIB " + quoted(person.OIB.str()) + ")";
    if (first) checkRecipient(out, data, person, who);
    if (workPlace && !municipalityCodeValid(trim(person.EMAIL.str())))
        out.add(who + ": šifra općine rada " + quoted(trim(person.EMAIL.str())) + " nema točno četiri znamenke.");
}

void checkLines(Problems& out, const Tables& tables, JoppdPayment& data) {
    // Each recipient and income type is looked at once, however many lines name it.
    std::unordered_set<LONG> people;
    std::set<BYTE> types;
    for (const JoppdLine& l : data.lines) {
        const DOHOCI_REC& line = l.line;
        const std::string lineName = "Stavka dohotka br. " + std::to_string(line.REDNIBROJ);

        bool nonTaxable = false;
        if (const VRSTEDOH_REC* type = data.types.find(line.VRSTADOHOTKA)) {
            nonTaxable = JoppdKind::of(*type).nonTaxable;
            if (types.insert(type->OZNAKA).second) checkType(out, tables, *type);
        } else {
            out.add(lineName + ": vrsta dohotka " + std::to_string(line.VRSTADOHOTKA) + " ne postoji.");
        }

        if (const OSOBE_REC* person = data.person(line.DJELATNIK)) {
            const bool first = people.insert(person->OZNAKA).second;
            // The municipality of work goes into the file only on a non-taxable line.
            const bool workPlace = nonTaxable && person->FAX == "DA";
            if (first || workPlace) checkPerson(out, data, *person, first, workPlace);
        } else {
            out.add(lineName + ": primatelj " + std::to_string(line.DJELATNIK) + " ne postoji.");
        }

        const std::optional<SHORT> method = data.method(l);
        if (method && (*method < 0 || *method > kLastMethod))
            out.add(lineName + ": način isplate " + std::to_string(*method) + " nije poznat.");
    }
    if (data.linesError) out.add("Stavke dohotka isplate ne mogu se pročitati.");
    if (data.lines.empty()) out.add("Isplata nema nijedne stavke dohotka: obrazac mora imati barem jednog primatelja.");
}

// Number of digits of an amount the file writes ("-1234.50" has six).
size_t digits(const std::string& amount) {
    return size_t(std::count_if(amount.begin(), amount.end(), [](char c) { return c >= '0' && c <= '9'; }));
}

bool amountFits(const std::string& amount, bool mayBeNegative) {
    if (amount.empty() || digits(amount) > kMaxDigits) return false;
    if (amount.find_first_not_of("-0123456789.") != std::string::npos) return false;
    return mayBeNegative || amount[0] != '-';
}

}  // namespace

std::vector<std::string> PROVJERA(const JoppdForm& f, JoppdPayment& data) {
    Problems out;
    checkPayer(out, f);
    checkAuthor(out, f.form);
    Tables tables;
    {
        // One snapshot, as the row build reads it.
        ReadTransaction snapshot;
        tables.read();
        checkLines(out, tables, data);
    }
    return out.take();
}

std::vector<std::string> amountProblems(const JoppdRows& rows) {
    // Cells written as amounts; the few that may be negative.
    static const std::set<std::string_view> signedCells = {"P134", "P135", "P141", "P142", "P162"};
    Problems out;
    for (const JoppdRows::Row& row : rows.VRIJEDNOSTB) {
        for (size_t k = 14; k < row.size(); ++k) {
            if (ELEMENTB[k] == "P151" || ELEMENTB[k] == "P161") continue;
            if (!amountFits(row[k], signedCells.count(ELEMENTB[k]) > 0))
                out.add("Redak " + row[0] + " (" + row[4] + "): iznos " + std::string(ELEMENTB[k]) + " " +
                        quoted(row[k]) + " ne može se prijaviti (negativan ili više od 15 znamenki).");
        }
    }
    for (const std::string& total : rows.IZNOSA)
        if (!total.empty() && !amountFits(total, false))
            out.add("Zbroj " + quoted(total) + " ne može se prijaviti (negativan ili više od 15 znamenki).");
    return out.take();
}

}  // namespace marel
