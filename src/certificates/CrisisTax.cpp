#include "certificates/CrisisTax.h"

#include <array>
#include <charconv>
#include <optional>

#include "certificates/Amounts.h"
#include "common/Picture.h"
#include "payments/IncomeLine.h"
#include "payments/Positions.h"
#include "store/Records.h"
#include "store/Values.h"
#include "store/Warnings.h"

namespace marel {

const char* crisisKindName(int kind) {
    switch (kind) {
        case KIND_PLACA: return "Plaća";
        case KIND_MIROVINA: return "Mirovina";
        case KIND_DRUGI: return "Drugi dohodak";
        case KIND_DIVIDENDE: return "Dividende i udjeli u kapitalu";
        default: return "";
    }
}

std::string crisisMonthText(int month, const std::string& year) {
    return "u " + std::to_string(month) + ". mjesecu " + year + ". godine ";
}

namespace {

// The year of an IPP record as a number; 0 (no payment's year) when it is none.
int yearNumber(const std::string& text) {
    const std::string t = trim(text);
    int year = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), year);
    return ec == std::errc() && end == t.data() + t.size() ? year : 0;
}

// The totals, or the name of the file that could not be read.
const char* sumCrisisTax(LONG payer, int year, int month, CrisisTotals& out) {
    out = {};
    int count = 0;
    const char* failed = forEachLineOfMonth(payer, year, month, [&](const DOHOCI_REC&, const PositionAmounts& amounts) {
        if (amounts[POZ_KRIPOREZ] > Decimal()) {
            ++count;
            out.base += amounts[POZ_NETO];
            out.tax += amounts[POZ_KRIPOREZ];
        }
    });
    if (failed) return failed;
    // A count the form's field cannot hold is capped, not wrapped round to a
    // negative number.
    out.count = SHORT(std::min(count, 32767));
    return nullptr;
}

}  // namespace

bool crisisTotals(LONG payer, int year, int month, CrisisTotals& out) {
    const char* failed;
    {
        ReadTransaction snapshot;
        failed = sumCrisisTax(payer, year, month, out);
    }
    if (!failed) return true;
    STANDARDWARNING(35, failed);
    return false;
}

int refreshOtherIncome(LONG kriporez, CrisisTotals* written) {
    FileUse use{&DETKRIP};
    const std::optional<KRIPOREZ_REC> ipp = find<KriporezFile>(kriporez);
    if (!ipp) {
        STANDARDWARNING(35, "kriporez");
        return 1;
    }

    WriteTransaction tx;
    if (!tx.ok()) {
        RISAVEERROR(tx);
        STANDARDWARNING(34, "detkrip", "Update");
        return 1;
    }
    CrisisTotals totals;
    if (const char* failed = sumCrisisTax(ipp->ISPLATITELJ, yearNumber(ipp->GODINA.str()), ipp->MJESEC, totals)) {
        RISAVEERROR(tx);
        STANDARDWARNING(35, failed);
        return 1;
    }
    DETKRIP.clear();
    DKP.KRIPOREZ = kriporez;
    DKP.VRSTA = KIND_DRUGI;
    const bool exists = DETKRIP.get(DETKRIP.KEYGLAVNI) == 0;
    if (!exists) {
        DETKRIP.clear();
        DKP.KRIPOREZ = kriporez;
        DKP.VRSTA = KIND_DRUGI;
    }
    DKP.BROJ = totals.count;
    DKP.OSNOVICA = totals.base;
    DKP.IZNOS = totals.tax;
    if ((exists ? DETKRIP.put() : DETKRIP.add()) != 0) {
        RISAVEERROR(tx);
        STANDARDWARNING(15, "detkrip");
        return 1;
    }
    if (tx.commit() != 0) {
        RISAVEERROR(tx);
        STANDARDWARNING(15, "detkrip");
        return 1;
    }
    if (written) *written = totals;
    return 0;
}

// ---- the printed form

namespace {

struct Column {
    int width;
    const char* head;
    const char* under;
    Align align;
};
const std::array<Column, 5> COLUMNS = {{
    {450, "R.br.", "", Align::Left},
    {2500, "Vrsta primitka", "", Align::Left},
    {1000, "Broj", "stjecatelja", Align::Right},
    {1550, "Porezna osnovica", "(u kunama i lipama)", Align::Right},
    {1550, "Iznos posebnog poreza", "(u kunama i lipama)", Align::Right},
}};
constexpr int WIDTH = 450 + 2500 + 1000 + 1550 + 1550;
constexpr int ROW = 300;
const Font BODY{.size = 10};
const Font BOLD{.size = 10, .bold = true};
const Font SMALL{.size = 8};

struct FormRow {
    std::string rbr, kind, count, base, tax;
    bool total = false;
};

void printRow(Report& r, const FormRow& row) {
    r.print(ROW, [&](Canvas& c) {
        const std::array<const std::string*, 5> cells = {&row.rbr, &row.kind, &row.count, &row.base, &row.tax};
        int x = 0;
        for (size_t i = 0; i < COLUMNS.size(); ++i) {
            // The total has no number: the rule after it goes too.
            if (!(row.total && i == 1)) c.line(x, 0, x, ROW);
            const Font& font = row.total ? BOLD : BODY;
            if (COLUMNS[i].align == Align::Right) certificates::rightText(c, {x, 70, COLUMNS[i].width, ROW - 70}, *cells[i], font, 80);
            else if (!cells[i]->empty()) c.text({x + 60, 70, COLUMNS[i].width - 100, ROW - 70}, *cells[i], font);
            x += COLUMNS[i].width;
        }
        c.line(x, 0, x, ROW);
        c.line(0, ROW, x, ROW);
    });
}

// The form's title, the payer and the column heads.
void printHead(Report& report, const std::string& month, const std::string& name, const std::string& address,
               const std::string& oib) {
    report.print(2700, [&](Canvas& c) {
        c.text({0, 0, WIDTH, 220}, "Obrazac IPP", BOLD);
        c.text({0, 350, WIDTH, 250}, "IZVJEŠĆE O POSEBNOM POREZU NA PLAĆE, MIROVINE I DRUGE PRIMITKE",
               Font{.size = 11, .bold = true}, Align::Center);
        c.text({0, 650, WIDTH, 220}, month, BODY, Align::Center);
        c.text({0, 1050, WIDTH, 220}, "PODACI O ISPLATITELJU", BOLD);
        c.box({0, 1300, WIDTH, 660});
        c.text({80, 1340, 2200, 200}, "Naziv / ime i prezime", SMALL);
        c.text({2300, 1340, WIDTH - 2400, 200}, name, BODY);
        c.text({80, 1550, 2200, 200}, "Adresa", SMALL);
        c.text({2300, 1550, WIDTH - 2400, 200}, address, BODY);
        c.text({80, 1760, 2200, 200}, "Porezni broj", SMALL);
        c.text({2300, 1760, WIDTH - 2400, 200}, oib, BODY);
        c.text({0, 2100, WIDTH, 220}, "PODACI O ISPLAĆENIM PRIMICIMA I OBRAČUNANOM I UPLAĆENOM POSEBNOM POREZU", BOLD);
        // The column heads.
        const int top = 2350;
        c.line(0, top, WIDTH, top);
        int x = 0;
        for (const Column& col : COLUMNS) {
            c.line(x, top, x, 2700);
            c.text({x + 30, top + 40, col.width - 60, 160}, col.head, SMALL, Align::Center);
            if (*col.under) c.text({x + 30, top + 190, col.width - 60, 160}, col.under, SMALL, Align::Center);
            x += col.width;
        }
        c.line(x, top, x, 2700);
        c.line(0, 2700, WIDTH, 2700);
    });
}

// Place and date, and the signature.
void printSignature(Report& report, const std::string& placeDate) {
    report.print(1400, [&](Canvas& c) {
        c.text({0, 500, 3500, 220}, placeDate, BODY);
        c.text({WIDTH / 2 - 400, 700, 800, 220}, "M.P.", BODY, Align::Center);
        c.line(WIDTH - 2800, 900, WIDTH, 900);
        c.text({WIDTH - 2800, 950, 2800, 200}, "(potpis ovlaštene osobe)", SMALL, Align::Center);
    });
}

}  // namespace

std::unique_ptr<Report> ISPISKRIPOREZ(LONG kriporez, const ProgressFn& progress) {
    static const Picture d17b = Picture::parse("D17B"), count = Picture::parse("N-7B"),
                         amount = Picture::parse("N-14.`2B");

    std::array<SHORT, 5> people{};
    std::array<Decimal, 5> base{}, tax{};
    std::string month, name, oib, address, placeDate, period;
    {
        ReadTransaction snapshot;
        const auto form = find<KriporezFile>(kriporez);
        if (!form) return nullptr;
        month = crisisMonthText(form->MJESEC, form->GODINA.str());
        period = rtrim(form->GODINA.str()) + (form->MJESEC < 10 ? "-0" : "-") + std::to_string(form->MJESEC);

        // A payer, street or place that cannot be read prints blank.
        const SUBJEKTI_REC payer = find<SubjektiFile>(form->ISPLATITELJ).value_or(SUBJEKTI_REC{});
        const std::string street = find<UliceFile>(payer.ULICA).value_or(ULICE_REC{}).NAZIV.str();
        const std::string place = find<MjestaFile>(payer.MJESTO).value_or(MJESTA_REC{}).NAZIV.str();
        name = rtrim(payer.NAZIV.str());
        oib = payer.OIB.str();
        address = rtrim(place) + ", " + rtrim(street) + " " + rtrim(payer.KUCNIBROJ.str());
        placeDate = rtrim(place) + ", " + trim(d17b.format(Date::today()));

        Records<DetkripFile> rows(&DetkripFile::KEYKRIPOREZ, kriporez);
        for (const DETKRIP_REC& row : rows) {
            if (row.VRSTA < 1 || row.VRSTA > 4) continue;  // no row of the form
            people[row.VRSTA] = row.BROJ;
            base[row.VRSTA] = row.OSNOVICA.value();
            tax[row.VRSTA] = row.IZNOS.value();
        }
        if (rows.error()) {
            STANDARDWARNING(35, "detkrip");
            return nullptr;
        }
    }

    auto report = std::make_unique<Report>("Obrazac IPP");
    report->setFileName("IPP", period);
    report->setPaper(Paper::A4);
    report->setMargins(600, 600, 600, 600);
    report->setProgress(progress);
    printHead(*report, month, name, address, oib);

    SHORT totalPeople = 0;
    Decimal totalBase, totalTax;
    for (int kind = 1; kind <= 4; ++kind) {
        FormRow row{std::to_string(kind) + ".", crisisKindName(kind), trim(count.format(int64_t(people[kind]))),
                    trim(amount.format(base[kind])), trim(amount.format(tax[kind]))};
        printRow(*report, row);
        totalPeople = SHORT(std::min(32767, totalPeople + people[kind]));
        totalBase += base[kind];
        totalTax += tax[kind];
        if (!report->progress(kind, 4)) return nullptr;
    }
    printRow(*report, FormRow{"", "Ukupno", trim(count.format(int64_t(totalPeople))), trim(amount.format(totalBase)),
                              trim(amount.format(totalTax)), true});

    printSignature(*report, placeDate);
    report->close();
    if (report->pages().empty()) return nullptr;
    return report;
}

}  // namespace marel
