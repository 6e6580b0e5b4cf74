#include "joppd/JoppdRows.h"

#include <charconv>
#include <optional>
#include <type_traits>
#include <unordered_map>
#include <utility>

#include "common/Picture.h"
#include "common/Prompter.h"
#include "common/XmlWriter.h"
#include "payments/Positions.h"
#include "store/Records.h"
#include "store/Values.h"
#include "store/Warnings.h"
#include "joppd/JoppdPayment.h"

namespace marel {

std::string joppdAcquirer(const std::string& code) {
    if (code == "01") return "4001";
    if (code == "02") return "4002";
    if (code == "00") return "0000";
    if (code == "11") return "1001";
    return "";
}

JoppdKind JoppdKind::of(const VRSTEDOH_REC& type) {
    const std::string code = type.REZSTRINGA.str();
    return {.nonTaxable = code == "00",
            .contributionBase = code == "02",
            .severalRates = type.VISESTOPA == "DA",
            .capital = code == "11"};
}

namespace {

// Where each calculated position goes in a row; a cell named by two
// positions holds their sum. The rules of the kind of income follow in
// joppdAmounts; positions not named (the crisis tax) are not reported.
struct PositionCells {
    Pozicija position;
    std::vector<JoppdCell> cells;
};
const std::vector<PositionCells>& positionCells() {
    static const std::vector<PositionCells> table = {
        {POZ_BRUTO, {C11}},
        {POZ_NEOPOREZIVIDIO, {C131}},
        {POZ_PRIZNATITROSKOVI, {C131}},
        {POZ_OSNOVICA, {C12}},
        {POZ_MIROVINSKOISTUP, {C121, C132}},
        {POZ_MIROVINSKOIISTUP, {C122, C132}},
        {POZ_DOHODAK, {C133, C135}},
        {POZ_POREZ, {C141}},
        {POZ_PRIREZ, {C142}},
        {POZ_NETO, {C162}},
        {POZ_ZDRAVSTVENO, {C123}},
    };
    return table;
}

// The totals a row counts in (JoppdRows::IZNOSA), by the cells that make them.
struct TotalCells {
    size_t total;
    std::vector<JoppdCell> cells;
};
constexpr size_t kTaxTotal = 0, kCapitalTaxTotal = 5;
const std::vector<TotalCells>& totalCells() {
    static const std::vector<TotalCells> table = {
        {kTaxTotal, {C141, C142}}, {1, {C121}}, {2, {C122}}, {3, {C123}}, {4, {C152}},
    };
    return table;
}

}  // namespace

JoppdAmounts joppdAmounts(const PositionAmounts& at, const JoppdKind& kind) {
    JoppdAmounts a;
    auto& cell = a.cell;
    for (const PositionCells& p : positionCells())
        for (JoppdCell c : p.cells) cell[c] += at[p.position];
    if (kind.nonTaxable) {
        // A non-taxable receipt is no income: it is reported as what it pays out.
        for (JoppdCell c : {C11, C12, C133, C135}) cell[c] = Decimal();
        cell[C152] = cell[C162];
    } else if (kind.severalRates) {
        // The brackets tax the income less the allowance used: the row states
        // that base, so that the tax in it is the tax on the base it shows.
        // A single-rate type has no allowance and taxes the whole income.
        cell[C134] = at[POZ_OSOBNIODBITAK];
        cell[C135] = cell[C133] - cell[C134];
    }
    if (!kind.contributionBase) cell[C12] = Decimal();
    for (const TotalCells& t : totalCells()) {
        const size_t total = t.total == kTaxTotal && kind.capital ? kCapitalTaxTotal : t.total;
        for (JoppdCell c : t.cells) a.total[total] += cell[c];
    }
    return a;
}

std::pair<Date, Date> joppdPeriod(Date paid, bool nonTaxable) {
    const int y = paid.year(), m = paid.month();
    if (!nonTaxable) return {Date::fromYmd(y, 1, 1), Date::fromYmd(y, 12, 31)};
    const Date first = Date::fromYmd(y, m, 1);
    return {m == 1 ? Date::fromYmd(y - 1, 12, 1) : Date::fromYmd(y, m - 1, 1), first - 1};
}

std::string joppdPaymentMethod(LONG incomeLine) {
    const std::optional<SHORT> method = storedPaymentMethod(incomeLine);
    return method ? std::to_string(*method) : "2";
}

namespace {

// What ended a build early: a message of its own, or the standard warning
// for a failed read naming the file.
struct Stop {
    const char* text;
    const char* file = nullptr;
};

// The text cells of the row of income line `line`: the running number, the
// municipalities, the recipient, the codes and the period.
std::optional<Stop> describe(JoppdRows& rows, JoppdPayment& look, const DOHOCI_REC& line, Date paid,
                             JoppdRows::Row& row) {
    static const Picture day = Picture::parse("D10-");
    const OSOBE_REC* person = look.person(line.DJELATNIK);
    if (!person) return Stop{"GREŠKA BR. 1"};
    if (person->OIB.empty()) return Stop{"Greška - nije unesen OIB primatelja!"};
    rows.TABLICA1.try_emplace(person->OZNAKA, int(rows.TABLICA1.size()) + 1);

    const MJESTA_REC* place = look.places.find(person->MJESTO);
    const OPCINE_REC* municipality = place ? look.municipalities.find(place->OPCINA) : nullptr;
    if (!municipality) return Stop{"GREŠKA BR. 2"};

    const VRSTEDOH_REC* type = look.types.find(line.VRSTADOHOTKA);
    if (!type) return Stop{"GREŠKA nije odabrana vrsta dohotka"};
    if (type->REZSTRINGA.empty()) return Stop{"GREŠKA nije unesena oznaka stjecatelja"};
    if (type->REZSTRINGB.empty()) return Stop{"GREŠKA nije unesena oznaka primitka"};

    const bool nonTaxable = JoppdKind::of(*type).nonTaxable;
    row[C1] = std::to_string(rows.VRIJEDNOSTB.size() + 1);
    row[C2] = "0" + municipality->SHIFRA.str();
    if (!nonTaxable) row[C3] = "00000";
    else if (person->FAX == "DA") row[C3] = "0" + rtrim(utf8Prefix(person->EMAIL.str(), 4));
    else row[C3] = row[C2];
    row[C4] = person->OIB.str();
    row[C5] = utf8CutBytes(PRIJENOS(person->IME.str()) + " " + PRIJENOS(person->PREZIME.str()), 40);
    row[C61] = joppdAcquirer(type->REZSTRINGA.str());
    row[C62] = utf8Prefix(type->REZSTRINGB.str(), 4);
    for (JoppdCell c : {C71, C72, C8, C9, C10}) row[c] = "0";
    const auto [from, to] = joppdPeriod(paid, nonTaxable);
    row[C101] = day.format(from);
    row[C102] = day.format(to);
    return std::nullopt;
}

// The amount cells, the codes beside them and the row's share of the totals.
void fillAmounts(const VRSTEDOH_REC& type, const std::optional<SHORT>& method, const PositionAmounts& at,
                 JoppdRows::Row& row, std::array<Decimal, 6>& total) {
    static const Picture code = Picture::parse("N02");
    const JoppdKind kind = JoppdKind::of(type);
    const JoppdAmounts a = joppdAmounts(at, kind);
    for (size_t c = C11; c < JOPPD_CELLS; ++c)
        if (c != C151 && c != C161) row[c] = joppdAmount(a.cell[c]);
    // A non-taxable code below 10 keeps its leading zero: " 5" is no code.
    const int64_t receipt = type.REZDECIMALA.value().toInt();
    row[C151] = kind.nonTaxable && receipt != 0 ? code.format(receipt) : "0";
    row[C161] = method ? std::to_string(*method) : "2";
    for (size_t t = 0; t < total.size(); ++t) total[t] += a.total[t];
}

std::optional<Stop> buildRows(JoppdRows& rows, const ISPLATE_REC& payment, JoppdPayment& data,
                              std::array<Decimal, 6>& total) {
    rows.VRIJEDNOSTB.reserve(data.lines.size());
    PositionAmounts at;
    for (const JoppdLine& l : data.lines) {
        JoppdRows::Row row;
        if (auto stop = describe(rows, data, l.line, payment.DATUM, row)) return stop;
        // The row's share of the totals counts only once the row is complete.
        if (data.positions(l, at) != 0) return Stop{nullptr, "obracun"};
        fillAmounts(*data.types.find(l.line.VRSTADOHOTKA), data.method(l), at, row, total);
        rows.VRIJEDNOSTB.push_back(std::move(row));
    }
    // A report that silently lost lines would be worse than none.
    if (data.linesError) return Stop{nullptr, "dohoci"};
    return std::nullopt;
}

}  // namespace

std::string joppdAmount(const Decimal& value) {
    // As the picture "N_14.2" shows it, without its blanks: ten thousand
    // rows of seventeen amounts each want no general formatter.
    constexpr size_t kWidth = 14;
    int64_t scaled = 0;
    try {
        scaled = value.toScaled(2, 18);
    } catch (const DecimalOverflow&) {
        return std::string(kWidth, '#');
    }
    const uint64_t size = scaled < 0 ? uint64_t(0) - uint64_t(scaled) : uint64_t(scaled);
    char text[32];
    char* end = text;
    if (scaled < 0) *end++ = '-';
    // Room is left for the point and the two places after the whole part.
    const auto whole = std::to_chars(end, text + sizeof text - 3, size / 100);
    if (whole.ec != std::errc()) return std::string(kWidth, '#');
    end = whole.ptr;
    *end++ = '.';
    *end++ = char('0' + size / 10 % 10);
    *end++ = char('0' + size % 10);
    return size_t(end - text) > kWidth ? std::string(kWidth, '#') : std::string(text, end);
}

bool PUNI(JoppdRows& rows, const ISPLATE_REC& payment) {
    // One snapshot of the whole payment: another station changing it
    // meanwhile cannot tear the report, and the reads share one lock
    // instead of taking one each. Ended before any message, so that
    // other windows stay free to write while it is shown.
    std::optional<ReadTransaction> snapshot(std::in_place);
    JoppdPayment data(payment.OZNAKA);
    return PUNI(rows, payment, data, [&] { snapshot.reset(); });
}

bool PUNI(JoppdRows& rows, const ISPLATE_REC& payment, JoppdPayment& data, const std::function<void()>& beforeMessage) {
    rows = {};
    // Totals are kept exact and written out only when at least one row exists.
    std::array<Decimal, 6> total{};
    const std::optional<Stop> stop = buildRows(rows, payment, data, total);
    if (beforeMessage) beforeMessage();
    if (!rows.VRIJEDNOSTB.empty())
        for (size_t t = 0; t < total.size(); ++t) rows.IZNOSA[t] = joppdAmount(total[t]);
    if (!stop) return true;
    if (stop->file) STANDARDWARNING(35, stop->file);
    else message(stop->text);
    return false;
}

}  // namespace marel
