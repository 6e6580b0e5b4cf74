#include "payments/Payments.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <cstdio>
#include <vector>

#include "common/Random.h"
#include "store/Records.h"
#include "store/Values.h"

namespace marel {

const char* const kJoppdRowExists =
    "GREŠKA! OVAJ OBRAZAC JE VEĆ KREIRAN\r\n"
    "AKO ŽELITE KREIRATI NOVI ZA ISTU ISPLATU\r\n"
    "UNESITE U JOP OBRASCIMA REDNI BROJ DRUGAČIJI OD 1\r\n"
    "ILI IZBRIŠITE OBRAZAC U ISTOJ LISTI";
const char* const kJoppdRowCreated = "OBRAZAC KREIRAN";

namespace {

// Identifiers up to 13366 name days before 2014, when the identifier was
// still entered by hand; those are never recomputed.
constexpr long kLastManualIdentifier = 13366;

std::optional<long> number(std::string_view text) {
    const std::string t = trim(text);
    long v = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return v;
}

}  // namespace

std::string reportDay(Date d) {
    if (d.empty() || d.year() < 2000 || d.year() > 2099) return {};
    char text[24];
    std::snprintf(text, sizeof text, "%02d%03d", d.year() - 2000, d - Date::fromYmd(d.year() - 1, 12, 31));
    return text;
}

std::string LOCDAN() {
    const std::string dan = reportDay(ISP.DATUM);
    if (auto n = number(dan); n && *n > kLastManualIdentifier) ISP.RSID = dan;
    return dan;
}

std::string primeNewPayment(Date from) {
    const LONG payer = ISP.ISPLATITELJ;
    // Ten years ahead at the very most; a payer has no more payments than that.
    Date d = from;
    for (int i = 0; i < 3660; ++i, d = d + 1) {
        ISP.DATUM = d;
        ISP.GODINA = std::to_string(d.year());
        ISP.RSID = reportDay(d);
        ISP.ISPLATITELJ = payer;
        if (ISPLATE.get(ISPLATE.KEYRSIDISPLATITELJ) != 0) break;
    }
    // A payment found on the way filled the buffer: the new one gets its own values back.
    ISP.OZNAKA = 0;
    ISP.ISPLATITELJ = payer;
    ISP.DATUM = d;
    ISP.GODINA = std::to_string(d.year());
    ISP.RSID = reportDay(d);
    ISP.BILJESKE = "";
    return reportDay(d);
}

void stepMonth(String<2>& month, String<4>& year, int delta) {
    const Date today = Date::today();
    long m = number(month.str()).value_or(today.month());
    long y = number(year.str()).value_or(today.year());
    m = std::clamp(m, 1L, 12L) + delta;
    while (m > 12) m -= 12, ++y;
    while (m < 1) m += 12, --y;
    month = std::to_string(m);
    year = std::to_string(std::clamp(y, 0L, 9999L));
}

void stepYear(String<4>& year, int delta) {
    const long y = number(year.str()).value_or(Date::today().year()) + delta;
    year = std::to_string(std::clamp(y, 0L, 9999L));
}

std::string UJEDI() {
    static const char hex[] = "0123456789abcdef";
    std::string id(36, '0');
    for (int i = 0; i < 36; ++i) {
        const int position = i + 1;
        if (position == 9 || position == 14 || position == 19 || position == 24) id[size_t(i)] = '-';
        else if (position == 15) id[size_t(i)] = '4';
        else if (position == 20) id[size_t(i)] = hex[8 + randomInteger(0, 3)];
        else id[size_t(i)] = hex[randomInteger(0, 15)];
    }
    return id;
}

bool createJoppdRow(LONG payment, const std::string& ujed) {
    // The last row's compiler (name, e-mail) is most likely this one's too.
    JOPO.clear();
    JOPO.set(JOPO.KEYOZNAKA);
    const LONG number = JOPO.previous() == 0 ? JOPO.OZNAKA + 1 : 1;
    if (number == 1) JOPO.clear();
    JOPO.OZNAKA = number;
    JOPO.ISPLATA = payment;
    JOPO.RBR = 1;
    JOPO.UJED = ujed;
    JOPO.DATOTEKA = "";
    return JOPO.add() == 0;
}

LONG nextPaymentNumber() {
    const ISPLATE_REC kept = ISP;
    ISPLATE.set(ISPLATE.KEYOZNAKA);
    const LONG next = ISPLATE.previous() == 0 ? ISP.OZNAKA + 1 : 1;
    ISP = kept;
    return next;
}

CopyResult copyPayment(LONG from, LONG to) {
    struct Line {
        LONG old;
        DOHOCI_REC income;
        std::vector<OBRACUN_REC> calculation;
    };
    const ISPLATE_REC header = ISP;
    WriteTransaction tx(ISPLATE.store());
    if (!tx.ok()) return CopyResult::Failed;

    ISP = header;
    ISP.OZNAKA = to;
    ISP.BILJESKE = "";
    if (ISPLATE.add() != 0) return CopyResult::PaymentRejected;

    DOHOCI.set(DOHOCI.KEYOZNAKA);
    LONG next = DOHOCI.previous() == 0 ? DOH.OZNAKA + 1 : 1;

    // Everything is read before anything is written, so that the walk never
    // meets a copy; a read that fails leaves nothing half copied.
    std::vector<Line> lines;
    Records<DohociFile> incomes(&DohociFile::KEYISPLATA, from);
    for (const DOHOCI_REC& income : incomes) {
        Line& line = lines.emplace_back(Line{income.OZNAKA, income, {}});
        line.income.OZNAKA = next++;
        line.income.ISPLATA = to;
        Records<ObracunFile> calc(&ObracunFile::KEYDOHODAK, line.old);
        for (const OBRACUN_REC& c : calc) {
            line.calculation.push_back(c);
            line.calculation.back().DOHODAK = line.income.OZNAKA;
        }
        if (calc.error()) return CopyResult::Failed;
    }
    if (incomes.error()) return CopyResult::Failed;

    for (const Line& line : lines) {
        DOH = line.income;
        if (DOHOCI.add() != 0) return CopyResult::Failed;
    }
    for (const Line& line : lines)
        for (const OBRACUN_REC& c : line.calculation) {
            OBR = c;
            if (OBRACUN.add() != 0) return CopyResult::Failed;
        }
    if (tx.commit() != 0) return CopyResult::Failed;
    // The new payment in the buffer, as the window shows it.
    ISP = header;
    ISP.OZNAKA = to;
    ISP.BILJESKE = "";
    return CopyResult::Done;
}

}  // namespace marel
