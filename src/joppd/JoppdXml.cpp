#include "joppd/JoppdXml.h"

#include <ctime>
#include <filesystem>

#include "common/Picture.h"
#include "common/Prompter.h"
#include "common/XmlSchema.h"
#include "common/XmlWriter.h"
#include "joppd/JoppdCheck.h"
#include "joppd/JoppdRows.h"
#include "report/Export.h"
#include "session/Globals.h"
#include "store/Records.h"
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

// The whole document; the rows are already built.
void writeDocument(XmlWriter& xml, const JoppdRows& rows, const std::string& payerPlace) {
    static const Picture day = Picture::parse("D10-");
    static const Picture time = Picture::parse("T04");
    const std::string zero = "0.00";

    xml.CREATEPARENT("ObrazacJOPPD");
    xml.CREATEATTRIBUTE("verzijaSheme", "1.0");
    xml.CREATEATTRIBUTE("xmlns", kSchema);
    xml.ADDPARENT();

    const Moment created = now();
    xml.CREATEPARENT("Metapodaci");
    xml.CREATEATTRIBUTE("xmlns", kMetadata);
    xml.ADDPARENT();
    xml.ADDSTRINGTEXT(meta("Naslov", kDc + "title",
                           "Izvješće o primicima, porezu na dohodak i prirezu te doprinosima za obvezna osiguranja") +
                      " ");
    xml.ADDSTRINGTEXT(meta("Autor", kDc + "creator", PRIJENOS(JOPO.IMEAUTORA.str() + " " + JOPO.PREZIMEAUTORA.str())));
    const std::string stamp = day.format(created.date) + "T" + time.formatTime(created.centiseconds);
    xml.ADDSTRINGTEXT(meta("Datum", kDc + "date", stamp));
    xml.ADDSTRINGTEXT(meta("Format", kDc + "format", "text/xml"));
    xml.ADDSTRINGTEXT(meta("Jezik", kDc + "language", "hr-HR"));
    xml.ADDSTRINGTEXT(meta("Identifikator", kDc + "identifier", JOPO.UJED.str()));
    xml.ADDSTRINGTEXT(meta("Uskladjenost", kConformsTo, "ObrazacJOPPD-v1-0"));
    xml.ADDSTRINGTEXT(meta("Tip", kDc + "type", "Elektronički obrazac"));
    xml.ADDELEMENT("Adresant", "Ministarstvo Financija, Porezna uprava, Zagreb");
    xml.CLOSEPARENT();

    const auto& total = rows.IZNOSA;
    xml.CREATEPARENT("StranaA");
    xml.ADDPARENT();
    xml.ADDELEMENT("DatumIzvjesca", day.format(ISP.DATUM));
    xml.ADDELEMENT("OznakaIzvjesca", ISP.RSID.str());
    xml.ADDELEMENT("VrstaIzvjesca", "1");
    xml.CREATEPARENT("PodnositeljIzvjesca");
    xml.ADDPARENT();
    xml.ADDELEMENT("Naziv", PRIJENOS(SUB.NAZIV.str()));
    xml.CREATEPARENT("Adresa");
    xml.ADDPARENT();
    xml.ADDELEMENT("Mjesto", PRIJENOS(payerPlace));
    xml.ADDELEMENT("Ulica", PRIJENOS(ULI.NAZIV.str()));
    xml.ADDELEMENT("Broj", SUB.KUCNIBROJ.str());
    xml.CLOSEPARENT();
    xml.ADDELEMENT("Email", JOPO.EMAIL.str());
    xml.ADDELEMENT("OIB", SUB.OIB.str());
    xml.ADDELEMENT("Oznaka", submitterKind(SUB.TIP.str()));
    xml.CLOSEPARENT();
    xml.ADDELEMENT("BrojOsoba", std::to_string(rows.brojOsoba()));
    xml.ADDELEMENT("BrojRedaka", std::to_string(rows.BRREDAKA()));

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

    // Contribution groups: element count and which element carries which
    // total (none for employment, which other income does not pay).
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
    xml.CREATEPARENT("IzvjesceSastavio");
    xml.ADDPARENT();
    xml.ADDELEMENT("Ime", PRIJENOS(JOPO.IMEAUTORA.str()));
    xml.ADDELEMENT("Prezime", PRIJENOS(JOPO.PREZIMEAUTORA.str()));
    xml.CLOSEPARENT();
    xml.CLOSEPARENT();

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

}  // namespace

void setJoppdClock(std::function<Moment()> clock) { fixedClock = std::move(clock); }

std::string joppdFileName() {
    return "JOP_" + ISP.RSID.str() + "_" + std::string(utf8Prefix(JOPO.UJED.str(), 4)) + ".xml";
}

const XmlSchema& joppdSchema() {
    return XmlSchema::of(suppliedDataDir() + "/schemas/joppd/ObrazacJOPPD-v1-0.xsd", kSchema, "ObrazacJOPPD");
}

bool FORMIRAJ(const std::string& target) {
    FileUse files{&DOHOCI,   &ISPLATE, &JOPO,  &MJESTA, &NEOPOREZ, &OBRACUN, &OPCINE,
                  &OSOBE,    &SUBJEKTI, &SVASTA, &ULICE, &VBRAT,  &VRSTEDOH};
    // The check list, the rows and the header from one moment of the data.
    ReadTransaction wholeFile;

    if (JOPO.get(JOPO.KEYOZNAKA) != 0) return refuse("GREŠKA - ISPLATA");
    ISP.OZNAKA = JOPO.ISPLATA;
    if (ISPLATE.get(ISPLATE.KEYOZNAKA) != 0) return refuse("GREŠKA - ISPLATA");
    SUB.OZNAKA = ISP.ISPLATITELJ;
    if (SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) != 0) return refuse("GREŠKA - ISPLATITELJ");
    MJE.OZNAKA = SUB.MJESTO;
    if (MJESTA.get(MJESTA.KEYOZNAKA) != 0) return refuse("GREŠKA - MJESTO ISPLATITELJA");
    // The row build reads the recipients' places into the same buffer.
    const std::string payerPlace = MJE.NAZIV.str();
    ULI.OZNAKA = SUB.ULICA;
    if (ULICE.get(ULICE.KEYOZNAKA) != 0) return refuse("GREŠKA - ULICA ISPLATITELJA");
    if (JOPO.IMEAUTORA.empty() || JOPO.PREZIMEAUTORA.empty() || JOPO.EMAIL.empty())
        return refuse("NISU UNESENI SVI PODACI O AUTORU OBRASCA");
    if (JOPO.UJED.empty()) return refuse("NIJE FORMIRAN IDENTIFIKATOR XML OBRASCA (HEKSADECIMALNI BROJ)");

    // A file the tax authority would refuse is not written at all: every
    // problem of the payment is listed at once, so that all can be put right
    // before the next try.
    std::vector<std::string> problems = PROVJERA(payerPlace);
    JoppdRows rows;
    if (problems.empty()) {
        // The row build refuses only what the check list already named, or a
        // failed read, which it reports itself.
        if (!PUNI(rows)) return false;
        problems = amountProblems(rows);
    }
    if (!problems.empty()) {
        std::string text;
        for (const std::string& p : problems) text += (text.empty() ? "" : "\r\n") + p;
        message(text, kCheckCaption, Icon::Exclamation);
        return false;
    }

    const std::string path = target.empty() ? (targetFolder() / joppdFileName()).string() : target;
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
        writeDocument(xml, rows, payerPlace);
        written = xml.CLOSEXMLFILE();
    }
    // A text the file cannot carry is named, so the user knows what to correct;
    // nothing of the run is left in the folder.
    if (!written && !xml.error().empty()) return refuse("GREŠKA - XML DATOTEKA NIJE KREIRANA:\r\n" + xml.error());
    if (!written) return refuse("GREŠKA - XML DATOTEKA SE NE MOŽE KREIRATI:\r\n" + path);

    if (!target.empty()) return true;
    JOPO.DATOTEKA = kept;
    WriteTransaction tx(JOPO.store());
    if (!tx.ok() || JOPO.put() != 0 || tx.commit() != 0) {
        RISAVEERROR(tx);
        STANDARDWARNING(15, "jopo");
        return false;
    }
    message("XML datoteka kreirana:\r\n" + path);
    return true;
}

void registerJoppdExports() {
    registerExport({.name = "JOPPD",
                    .description = "XML datoteka JOPPD obrasca isplate (zadnji obrazac isplate)",
                    .args = {numberArg("isplata", "broj isplate (ISP:OZNAKA)")},
                    .file = [](const ExportArgs& args, const std::string& target) -> std::string {
                        const long payment = args.number("isplata");
                        FileUse use{&JOPO};
                        // The payment's latest form: a correction is made as a new form.
                        JOPO.clear();
                        JOPO.ISPLATA = int32_t(payment);
                        JOPO.setFrom(JOPO.KEYISPLATA);
                        int64_t found = 0;
                        while (JOPO.next() == 0 && JOPO.ISPLATA == payment)
                            if (found == 0 || JOPO.OZNAKA > found) found = JOPO.OZNAKA;
                        if (found == 0) return "Isplata " + std::to_string(payment) + " nema JOPPD obrazac.";
                        JOPO.OZNAKA = int32_t(found);
                        return FORMIRAJ(target) ? std::string() : std::string("JOPPD datoteka nije kreirana.");
                    },
                    .fileSuffix = ".xml"});
}

}  // namespace marel
