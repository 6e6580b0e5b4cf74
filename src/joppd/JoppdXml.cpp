#include "joppd/JoppdXml.h"

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "common/Picture.h"
#include "common/Prompter.h"
#include "common/XmlSchema.h"
#include "common/XmlWriter.h"
#include "joppd/JoppdCheck.h"
#include "joppd/JoppdPayment.h"
#include "joppd/JoppdRows.h"
#include "report/Export.h"
#include "session/Globals.h"
#include "store/Records.h"
#include "store/Values.h"
#include "store/Warnings.h"

namespace marel {

namespace {

std::function<Moment()> fixedClock;

Moment now() {
    if (fixedClock) return fixedClock();
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return {Date::fromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
            int32_t(((local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec) * 100)};
}

constexpr const char* kSchema = "http://e-porezna.porezna-uprava.hr/sheme/zahtjevi/ObrazacJOPPD/v1-0";
constexpr const char* kMetadata = "http://e-porezna.porezna-uprava.hr/sheme/Metapodaci/v2-0";
const std::string kDc = "http://purl.org/dc/elements/1.1/";
constexpr const char* kConformsTo = "http://purl.org/dc/terms/conformsTo";

// One metadata element with its Dublin Core term, as literal markup.
std::string meta(const std::string& name, const std::string& term, const std::string& text) {
    return "<" + name + " dc=\"" + term + "\">" + XmlWriter::escape(text) + "</" + name + ">";
}

// Kind of submitter from the payer's type.
std::string submitterKind(const std::string& type) {
    if (type == "P") return "1";
    if (type == "F") return "2";
    if (type == "4" || type == "5") return type;
    return "";
}

bool refuse(const std::string& text) {
    message(text);
    return false;
}

// The folder the file goes to: "XML" below the working folder when it exists.
std::filesystem::path targetFolder() {
    const std::string& work = Store::main().folder();
    try {
        GLO.KORIJEN = work;
    } catch (const EncodingError&) {
        GLO.KORIJEN = "";
    }
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::absolute(work, ec);
    if (std::filesystem::is_directory(dir / "XML", ec)) dir /= "XML";
    return dir;
}

// The metadata of the file: its title, author, moment and identifier.
void writeMetadata(XmlWriter& xml, const JOPO_REC& form) {
    static const Picture day = Picture::parse("D10-");
    static const Picture time = Picture::parse("T04");
    const Moment created = now();
    xml.CREATEPARENT("Metapodaci");
    xml.CREATEATTRIBUTE("xmlns", kMetadata);
    xml.ADDPARENT();
    xml.ADDSTRINGTEXT(meta("Naslov", kDc + "title",
                           "Izvješće o primicima, porezu na dohodak i prirezu te doprinosima za obvezna osiguranja") +
                      " ");
    xml.ADDSTRINGTEXT(meta("Autor", kDc + "creator", PRIJENOS(form.IMEAUTORA.str() + " " + form.PREZIMEAUTORA.str())));
    const std::string stamp = day.format(created.date) + "T" + time.formatTime(created.centiseconds);
    xml.ADDSTRINGTEXT(meta("Datum", kDc + "date", stamp));
    xml.ADDSTRINGTEXT(meta("Format", kDc + "format", "text/xml"));
    xml.ADDSTRINGTEXT(meta("Jezik", kDc + "language", "hr-HR"));
    xml.ADDSTRINGTEXT(meta("Identifikator", kDc + "identifier", form.UJED.str()));
    xml.ADDSTRINGTEXT(meta("Uskladjenost", kConformsTo, "ObrazacJOPPD-v1-0"));
    xml.ADDSTRINGTEXT(meta("Tip", kDc + "type", "Elektronički obrazac"));
    xml.ADDELEMENT("Adresant", "Ministarstvo Financija, Porezna uprava, Zagreb");
    xml.CLOSEPARENT();
}

// The totals: advance tax and the contribution groups, each with the total
// it carries in its element (none for employment, which other income does
// not pay).
void writeTotals(XmlWriter& xml, const std::array<std::string, 6>& total) {
    const std::string zero = "0.00";
    xml.CREATEPARENT("PredujamPoreza");
    xml.ADDPARENT();
    xml.ADDELEMENT("P1", zero);
    xml.ADDELEMENT("P11", zero);
    xml.ADDELEMENT("P12", zero);
    xml.ADDELEMENT("P2", total[5]);
    xml.ADDELEMENT("P3", zero);
    xml.ADDELEMENT("P4", zero);
    xml.ADDELEMENT("P5", total[0]);
    xml.CLOSEPARENT();

    struct Group {
        const char* name;
        int elements;
        int carrier;
        int total;
    };
    static const Group groups[] = {
        {"GeneracijskaSolidarnost", 6, 2, 1},
        {"KapitaliziranaStednja", 5, 2, 2},
        {"ZdravstvenoOsiguranje", 10, 5, 3},
        {"Zaposljavanje", 3, 0, 0},
    };
    xml.CREATEPARENT("Doprinosi");
    xml.ADDPARENT();
    for (const Group& g : groups) {
        xml.CREATEPARENT(g.name);
        xml.ADDPARENT();
        for (int p = 1; p <= g.elements; ++p)
            xml.ADDELEMENT("P" + std::to_string(p), p == g.carrier ? total[size_t(g.total)] : zero);
        xml.CLOSEPARENT();
    }
    xml.CLOSEPARENT();
    xml.ADDELEMENT("IsplaceniNeoporeziviPrimici", total[4]);
    xml.ADDELEMENT("KamataMO2", zero);
}

// Page A: the report, its submitter, the counts, the totals and the author.
void writePageA(XmlWriter& xml, const JoppdRows& rows, const JoppdForm& f) {
    static const Picture day = Picture::parse("D10-");
    xml.CREATEPARENT("StranaA");
    xml.ADDPARENT();
    xml.ADDELEMENT("DatumIzvjesca", day.format(f.payment.DATUM));
    xml.ADDELEMENT("OznakaIzvjesca", f.payment.RSID.str());
    xml.ADDELEMENT("VrstaIzvjesca", "1");
    xml.CREATEPARENT("PodnositeljIzvjesca");
    xml.ADDPARENT();
    xml.ADDELEMENT("Naziv", PRIJENOS(f.payer.NAZIV.str()));
    xml.CREATEPARENT("Adresa");
    xml.ADDPARENT();
    xml.ADDELEMENT("Mjesto", PRIJENOS(f.payerPlace));
    xml.ADDELEMENT("Ulica", PRIJENOS(f.street.NAZIV.str()));
    xml.ADDELEMENT("Broj", f.payer.KUCNIBROJ.str());
    xml.CLOSEPARENT();
    xml.ADDELEMENT("Email", f.form.EMAIL.str());
    xml.ADDELEMENT("OIB", f.payer.OIB.str());
    xml.ADDELEMENT("Oznaka", submitterKind(f.payer.TIP.str()));
    xml.CLOSEPARENT();
    xml.ADDELEMENT("BrojOsoba", std::to_string(rows.brojOsoba()));
    xml.ADDELEMENT("BrojRedaka", std::to_string(rows.BRREDAKA()));
    writeTotals(xml, rows.IZNOSA);
    xml.CREATEPARENT("IzvjesceSastavio");
    xml.ADDPARENT();
    xml.ADDELEMENT("Ime", PRIJENOS(f.form.IMEAUTORA.str()));
    xml.ADDELEMENT("Prezime", PRIJENOS(f.form.PREZIMEAUTORA.str()));
    xml.CLOSEPARENT();
    xml.CLOSEPARENT();
}

// The whole document; the rows are already built.
void writeDocument(XmlWriter& xml, const JoppdRows& rows, const JoppdForm& f) {
    xml.CREATEPARENT("ObrazacJOPPD");
    xml.CREATEATTRIBUTE("verzijaSheme", "1.0");
    xml.CREATEATTRIBUTE("xmlns", kSchema);
    xml.ADDPARENT();
    writeMetadata(xml, f.form);
    writePageA(xml, rows, f);

    xml.CREATEPARENT("StranaB");
    xml.ADDPARENT();
    xml.CREATEPARENT("Primatelji");
    xml.ADDPARENT();
    for (const JoppdRows::Row& row : rows.VRIJEDNOSTB) {
        xml.CREATEPARENT("P");
        xml.ADDPARENT();
        for (size_t k = 0; k < row.size(); ++k) xml.ADDELEMENT(ELEMENTB[k], row[k]);
        xml.CLOSEPARENT();
    }
    xml.CLOSEPARENT();
    xml.CLOSEPARENT();
    xml.CLOSEPARENT();
}

// The form numbered `number` with its payment, payer, the payer's place and
// street; the message for the user when one of them cannot be read.
std::optional<std::string> readForm(LONG number, JoppdForm& f) {
    const auto form = find<JopoFile>(number);
    const auto payment = form ? find<IsplateFile>(form->ISPLATA) : std::nullopt;
    if (!payment) return "GREŠKA - ISPLATA";
    const auto payer = find<SubjektiFile>(payment->ISPLATITELJ);
    if (!payer) return "GREŠKA - ISPLATITELJ";
    const auto place = find<MjestaFile>(payer->MJESTO);
    if (!place) return "GREŠKA - MJESTO ISPLATITELJA";
    const auto street = find<UliceFile>(payer->ULICA);
    if (!street) return "GREŠKA - ULICA ISPLATITELJA";
    f = {*form, *payment, *payer, place->NAZIV.str(), *street};
    if (form->IMEAUTORA.empty() || form->PREZIMEAUTORA.empty() || form->EMAIL.empty())
        return "NISU UNESENI SVI PODACI O AUTORU OBRASCA";
    if (form->UJED.empty()) return "NIJE FORMIRAN IDENTIFIKATOR XML OBRASCA (HEKSADECIMALNI BROJ)";
    return std::nullopt;
}

// Every problem the check list and the built rows find, in one message; the
// row build reports a failed read itself. False when the file must not be written.
bool buildChecked(const JoppdForm& f, JoppdRows& rows) {
    // A file the tax authority would refuse is not written at all: every
    // problem of the payment is listed at once, so that all can be put right
    // before the next try.
    // The payment is read once, for the check list and the rows alike.
    JoppdPayment data(f.payment.OZNAKA);
    std::vector<std::string> problems = PROVJERA(f, data);
    if (problems.empty()) {
        // The row build refuses only what the check list already named, or a
        // failed read, which it reports itself.
        if (!PUNI(rows, f.payment, data)) return false;
        problems = amountProblems(rows);
    }
    if (problems.empty()) return true;
    std::string text;
    for (const std::string& p : problems) text += (text.empty() ? "" : "\r\n") + p;
    message(text, kCheckCaption, Icon::Exclamation);
    return false;
}

// Keeps the path of the written file in its form. False (and said) when it cannot.
bool keepPath(LONG form, const String<128>& path) {
    JopoFile own(Store::main());
    const bool opened = own.open() == 0;
    WriteTransaction tx(own.store());
    own.OZNAKA = form;
    if (opened && tx.ok() && own.get(own.KEYOZNAKA) == 0) {
        own.DATOTEKA = path;
        if (own.put() == 0 && tx.commit() == 0) return true;
    }
    RISAVEERROR(tx);
    STANDARDWARNING(15, "jopo");
    return false;
}

}  // namespace

void setJoppdClock(std::function<Moment()> clock) { fixedClock = std::move(clock); }

std::string joppdFileName(const JOPO_REC& form, const ISPLATE_REC& payment) {
    return "JOP_" + payment.RSID.str() + "_" + std::string(utf8Prefix(form.UJED.str(), 4)) + ".xml";
}

const XmlSchema& joppdSchema() {
    // Each recipient's row is checked on its own. The cells that differ from
    // row to row are read by these tests of their types; the codes and dates,
    // a handful of values in any file, by the schema once each.
    using namespace xsdValue;
    const auto amount = [](std::string_view v) { return decimal(v, 2, 15, false); };  // tNonNegativeDecimal15-2
    const auto signedAmount = [](std::string_view v) { return decimal(v, 2, 15, true); };  // tDecimal15-2
    std::vector<XmlSchema::ChildTest> tests = {
        {"P1", [](std::string_view v) { return counting(v, 10); }},    // tRedniBroj: 1 to 9999999999
        {"P2", [](std::string_view v) { return digits(v, 5); }},       // tSifraOpcineGrada
        {"P3", [](std::string_view v) { return digits(v, 5); }},
        {"P4", [](std::string_view v) { return digits(v, 11); }},      // tOIB
        {"P5", [](std::string_view v) { return text(v, 2, 128); }},    // tOgraniceniZnakovniNizMin2Max128
    };
    for (size_t c = C11; c < JOPPD_CELLS; ++c) {
        if (c == C151 || c == C161) continue;  // codes
        const bool isSigned = c == C134 || c == C135 || c == C141 || c == C142 || c == C162;
        tests.emplace_back(ELEMENTB[c], isSigned ? +signedAmount : +amount);
    }
    return XmlSchema::of(suppliedDataDir() + "/schemas/joppd/ObrazacJOPPD-v1-0.xsd", kSchema, "ObrazacJOPPD", "P",
                         std::move(tests));
}

bool FORMIRAJ(LONG number, const std::string& target) {
    // The check list, the rows and the header from one moment of the data.
    ReadTransaction wholeFile;
    JoppdForm f;
    if (auto refused = readForm(number, f)) return refuse(*refused);
    JoppdRows rows;
    if (!buildChecked(f, rows)) return false;

    const std::string path = target.empty() ? (targetFolder() / joppdFileName(f.form, f.payment)).string() : target;
    // The form keeps the path it names; one it cannot hold is not written at all.
    String<128> kept;
    bool fits = utf8Length(path) <= kept.width;
    if (fits) {
        try {
            kept = path;
        } catch (const EncodingError&) {
            fits = false;  // a character the data files cannot hold
        }
    }
    if (!fits && target.empty()) return refuse("GREŠKA - PUTANJA XML DATOTEKE SE NE MOŽE UPISATI U OBRAZAC:\r\n" + path);

    XmlWriter xml;
    // The belt behind the check list: what the tax authority's schema would
    // refuse is named here rather than days later by the tax authority.
    xml.checkAgainst(&joppdSchema());
    bool written = xml.CREATEXMLFILE(path, "1.0", "UTF-8");
    if (written) {
        writeDocument(xml, rows, f);
        written = xml.CLOSEXMLFILE();
    }
    // A text the file cannot carry is named, so the user knows what to correct;
    // nothing of the run is left in the folder.
    if (!written && !xml.error().empty()) return refuse("GREŠKA - XML DATOTEKA NIJE KREIRANA:\r\n" + xml.error());
    if (!written) return refuse("GREŠKA - XML DATOTEKA SE NE MOŽE KREIRATI:\r\n" + path);

    if (!target.empty()) return true;
    if (!keepPath(number, kept)) return false;
    message("XML datoteka kreirana:\r\n" + path);
    return true;
}

void registerJoppdExports() {
    registerExport({.name = "JOPPD",
                    .description = "XML datoteka JOPPD obrasca isplate (zadnji obrazac isplate)",
                    .args = {numberArg("isplata", "broj isplate (ISP:OZNAKA)")},
                    .file = [](const ExportArgs& args, const std::string& target) -> std::string {
                        const LONG payment = LONG(args.number("isplata"));
                        // The payment's latest form: a correction is made as a new form.
                        LONG latest = 0;
                        for (const JOPO_REC& form : Records<JopoFile>(&JopoFile::KEYISPLATA, payment))
                            latest = std::max(latest, form.OZNAKA);
                        if (latest == 0) return "Isplata " + std::to_string(payment) + " nema JOPPD obrazac.";
                        return FORMIRAJ(latest, target) ? std::string() : std::string("JOPPD datoteka nije kreirana.");
                    },
                    .fileSuffix = ".xml"});
}

}  // namespace marel
