#include "payments/Calculation.h"

#include <functional>

#include "store/Records.h"
#include "store/Values.h"
#include "store/Warnings.h"

namespace marel {

namespace {

// A working amount of the routines: every store rounds it to the cent, as
// into an amount, but it is not held to the eleven digits of a calculation
// line. On the way to figures that fit, some steps pass through larger ones:
// the allowance before it is cut to the net, a bracket's base before it is
// cut to the bracket's width. Only what is stored as a line must fit, and is
// refused when it does not.
using Work = Dec<18, 2>;

// The amounts both routines work out, in the order of their positions from
// gross to health insurance; each must fit its line.
CalcResult positions(const std::array<Work, 11>& amounts) {
    static constexpr Pozicija order[] = {POZ_BRUTO,     POZ_NEOPOREZIVIDIO, POZ_PRIZNATITROSKOVI, POZ_OSNOVICA,
                                         POZ_MIROVINSKOISTUP, POZ_MIROVINSKOIISTUP, POZ_DOHODAK, POZ_POREZ,
                                         POZ_PRIREZ,    POZ_NETO,           POZ_ZDRAVSTVENO};
    CalcResult r;
    for (size_t k = 0; k < amounts.size(); ++k) r.position[order[k]] = Amount(amounts[k]);
    return r;
}
const Decimal kHundred = 100;
// Rates are percentages: multiplying by 0.01 is the same as dividing by 100, and cheaper.
const Decimal kCent = Decimal::fromScaled(1, 2);

CalcResult refused(const std::string& why) {
    CalcResult r;
    r.error = why;
    return r;
}

// Each store rounds to the destination's places, as a field would.
template <int D, int P>
Dec<D, P> st(const Decimal& v) {
    return Dec<D, P>(v);
}

const char* kTooLarge = "Izračun nije moguć: iznos je prevelik.";
const char* kNegative = "Neto iznos ne može biti negativan.";
const char* kGrossTooSmall = "Bruto iznos je premalen: ne pokriva doprinose i poreze ove vrste dohotka.";
const char* kNothingLeft = "Izračun nije moguć: stope vrste dohotka ne ostavljaju ništa za isplatu.";

// A rate as the user typed it on the form: "18 %", "12,5 %".
std::string pct(const Decimal& rate) {
    std::string s = rate.toString();
    for (char& c : s)
        if (c == '.') c = ',';
    return s + " %";
}

std::string cannot(const std::string& why) { return "Izračun nije moguć: " + why + "."; }

// A single rate outside what a percentage of an amount can be; names it.
std::string rateOutOfRange(const CalcInput& in) {
    const std::pair<const Decimal*, const char*> rates[] = {
        {&in.nonTaxable, "neoporezivi dio"},
        {&in.expenses, "priznati troškovi"},
        {&in.pillarI, "mirovinsko osiguranje I. stup"},
        {&in.pillarII, "mirovinsko osiguranje II. stup"},
        {&in.taxRate, "porezna stopa"},
        {&in.health, "zdravstveno osiguranje"},
    };
    for (const auto& [r, name] : rates)
        if (r->sign() < 0 || *r > kHundred) return cannot(std::string(name) + " (" + pct(*r) + ") mora biti između 0 i 100 %");
    if (in.surtaxRate.sign() < 0) return cannot("stopa prireza (" + pct(in.surtaxRate) + ") ne može biti negativna");
    return {};
}

std::string pillarsTooLarge(const CalcInput& in, const char* what) {
    return cannot("mirovinsko osiguranje I. stup " + pct(in.pillarI) + " i II. stup " + pct(in.pillarII) + " " + what);
}

std::string taxTakesAll(const Decimal& rate, const CalcInput& in, const std::string& which) {
    return cannot(which + " " + pct(rate) + " s prirezom " + pct(in.surtaxRate) +
                  " uzima cijeli dohodak i više, pa bruto ne može isplatiti neto");
}

// The factors of the single-rate calculation, each stored with its declared
// places; the calculation from the net and the one from the gross share them.
struct SingleRate {
    Factor I, odq, dohq, moip, moiip, ppp;
    // The share of the gross that is paid out as the net.
    Decimal netShare;
    explicit SingleRate(const CalcInput& in)
        : I(in.surtaxRate * kCent + 1),
          odq((1 - in.nonTaxable * kCent) - in.expenses * kCent),
          dohq(1 - (in.pillarI + in.pillarII) * kCent),
          moip(in.pillarI * kCent),
          moiip(in.pillarII * kCent),
          ppp(in.taxRate * kCent * I.value()),
          netShare(1 - ((moip.value() + moiip.value()) + dohq.value() * ppp.value()) * odq.value()) {}
};

// Rates in range one by one can still be nonsense together: a base below
// zero, contributions above the base, or taxes that leave no share of the
// gross to pay out. With the factors past these checks every part of the
// gross is at least zero and the gross at least the net. For rates each in
// range (`rateOutOfRange`, which both callers ask first).
std::string singleRateFault(const CalcInput& in, const SingleRate& f) {
    if (f.odq.value().sign() < 0)
        return cannot("neoporezivi dio " + pct(in.nonTaxable) + " i priznati troškovi " + pct(in.expenses) +
                      " zajedno prelaze 100 % bruto iznosa");
    // A wholly non-taxable receipt is one deduction of 100 %; two sharing the
    // whole gross round each on its own and can leave a base below zero.
    if (f.odq.isZero() && in.nonTaxable.sign() > 0 && in.expenses.sign() > 0)
        return cannot("neoporezivi dio " + pct(in.nonTaxable) + " i priznati troškovi " + pct(in.expenses) +
                      " zajedno dosežu 100 % bruto iznosa");
    if (f.dohq.value().sign() < 0) return pillarsTooLarge(in, "zajedno prelaze 100 % osnovice");
    // Pillars taking the whole base leave an income of zero that the rounding
    // of the two contributions can push a cent below it.
    if (f.dohq.isZero()) return pillarsTooLarge(in, "zajedno dosežu 100 % osnovice, pa ne ostaje dohodak");
    if (f.netShare.sign() <= 0) {
        if (f.ppp.value() >= Decimal(1)) return taxTakesAll(in.taxRate, in, "porezna stopa");
        return kNothingLeft;
    }
    return {};
}

// The factors the brackets routine shares with its checks, stored as it stores them.
struct SeveralRates {
    Factor I, dohq;
};

// The same for the brackets routine, which takes the expenses from what is
// left after the non-taxable part and grosses the income up by the pillars.
// `f` receives the factors worked out on the way.
std::string severalRatesFault(const CalcInput& in, const std::vector<Bracket>& brackets, SeveralRates& f) {
    if (std::string why = rateOutOfRange(in); !why.empty()) return why;
    for (auto& b : brackets)
        if (b.number < 1 || b.number > 9) return cannot("porezni razredi moraju biti numerirani od 1 do 9");
    if (in.allowance.sign() < 0)
        return cannot("osobni odbitak (" + in.allowance.toString(2) + ") ne može biti negativan");
    if (in.allowanceFactor.sign() < 0)
        return cannot("faktor osobnog odbitka (" + in.allowanceFactor.toString() + ") ne može biti negativan");
    // The same stored factors the routine divides by.
    f.dohq = 1 - (in.pillarI + in.pillarII) * kCent;
    if (f.dohq.value().sign() <= 0)
        return pillarsTooLarge(in, "zajedno dosežu 100 % osnovice, pa ne ostaje dohodak");
    if (Factor((1 - in.nonTaxable * kCent) * (1 - in.expenses * kCent)).isZero())
        return cannot("neoporezivi dio " + pct(in.nonTaxable) + " i priznati troškovi " + pct(in.expenses) +
                      " ne ostavljaju ništa za oporezivanje");
    f.I = in.surtaxRate * kCent + 1;
    const Factor& I = f.I;
    Decimal previous;
    for (const Bracket& b : brackets) {
        // Named only when refused: this runs for every bracket of every calculation.
        auto which = [&b] { return "stopa " + std::to_string(b.number) + ". poreznog razreda"; };
        if (b.rate.sign() < 0 || b.rate > kHundred) return cannot(which() + " (" + pct(b.rate) + ") mora biti između 0 i 100 %");
        if (Factor(b.rate * kCent * I.value()).value() >= Decimal(1)) return taxTakesAll(b.rate, in, which());
        if (b.limit < previous)
            return cannot("granica " + std::to_string(b.number) + ". poreznog razreda (" + b.limit.toString(2) +
                          ") manja je od granice razreda prije njega");
        previous = b.limit;
    }
    return {};
}

}  // namespace

CalcResult IZRACUN(const Decimal& netIn, const CalcInput& in, int year) {
    if (netIn.sign() < 0) return refused(kNegative);
    if (std::string why = rateOutOfRange(in); !why.empty()) return refused(why);
    try {
        const Amount neto = netIn;
        const SingleRate f(in);
        if (std::string why = singleRateFault(in, f); !why.empty()) return refused(why);
        const Factor &odq = f.odq, &moip = f.moip, &moiip = f.moiip, &ppp = f.ppp;
        const Decimal& divisor = f.netShare;
        Work bruto = neto.value() / divisor;
        Work od = odq.value() * bruto.value();
        Work moi = od.value() * moip.value();
        Work moii = od.value() * moiip.value();
        if (in.notInPillarII) {
            moi = moi.value() + moii.value();
            moii = 0;
        }
        Work doh = od.value() - moi.value() - moii.value();
        Work porez = in.taxRate * kCent * doh.value();
        Work prirez = doh.value() * ppp.value() - porez.value();
        if (in.surtaxRate.isZero() && prirez.value().sign() < 0) {
            porez = porez.value() + prirez.value();
            prirez = 0;
        }
        bruto = neto.value() + moi.value() + moii.value() + porez.value() + prirez.value();
        Work neopdio = in.nonTaxable * kCent * bruto.value();
        Work priznati = in.expenses * kCent * bruto.value();
        od = bruto.value() - neopdio.value() - priznati.value();
        doh = od.value() - moi.value() - moii.value();
        Work zdravstveno = in.health * od.value() * kCent;

        CalcResult r = positions({bruto, neopdio, priznati, od, moi, moii, doh, porez, prirez, neto.value(), zdravstveno});
        r.crisisRate = (neto.value() > Decimal(6000) && year < 2011) ? Decimal(4) : Decimal(0);
        r.crisisRateSet = true;
        return r;
    } catch (const DecimalOverflow&) {
        return refused(kTooLarge);
    }
}

CalcResult VISESTOPA(const Decimal& netIn, const CalcInput& in, const std::vector<Bracket>& brackets) {
    if (netIn.sign() < 0) return refused(kNegative);
    try {
        SeveralRates f;
        if (std::string why = severalRatesFault(in, brackets, f); !why.empty()) return refused(why);
        const Amount neto = netIn;
        const Factor &I = f.I, &dohq = f.dohq;
        std::array<Work, 11> odb{}, netto{}, porezz{};
        odb[1] = in.allowanceFactor * in.allowance;
        netto[1] = neto;
        if (neto.value() < odb[1].value()) odb[1] = neto;
        Work osnovica, netosum, porez, prirez;
        for (const Bracket& b : brackets) {
            const size_t k = size_t(b.number);
            const Factor ppp = b.rate * kCent * I.value();
            const Work posn =
                ((netto[k].value() - odb[k].value() * ppp.value()) / (1 - ppp.value())) - odb[k].value();
            const Work raspon = b.limit - osnovica.value();
            osnovica = b.limit;
            if (posn.value() > raspon.value()) {
                porezz[k] = raspon.value() * ppp.value();
                netto[k] = raspon.value() + odb[k].value() - porezz[k].value();
            } else {
                porezz[k] = posn.value() * ppp.value();
                netto[k] = posn.value() + odb[k].value() - porezz[k].value();
            }
            netosum = netosum.value() + netto[k].value();
            netto[k + 1] = neto.value() - netosum.value();
            porez = porez.value() + porezz[k].value();
        }
        // Tax and surtax together so far: split them.
        prirez = porez.value() - porez.value() / I.value();
        porez = porez.value() - prirez.value();
        prirez = in.surtaxRate * kCent * porez.value();
        const Work doh = neto.value() + porez.value() + prirez.value();
        const Factor moip = in.pillarI * kCent;
        const Factor moiip = in.pillarII * kCent;
        // The gross is rebuilt from its parts below; the first guess at it,
        // the base over the share of the gross it makes, is never read, and
        // with a share of hundredths of a percent it would run far past any
        // amount: it is not worked out.
        Work od = doh.value() / dohq.value();
        Work moi = od.value() * moip.value();
        Work moii = od.value() * moiip.value();
        if (in.notInPillarII) {
            moi = moi.value() + moii.value();
            moii = 0;
        }
        const Work bruto = neto.value() + moi.value() + moii.value() + porez.value() + prirez.value();
        const Work neopdio = in.nonTaxable * kCent * bruto.value();
        const Work priznati = (bruto.value() - neopdio.value()) * in.expenses * kCent;
        od = bruto.value() - priznati.value() - neopdio.value();
        const Work zdravstveno = in.health * od.value() * kCent;

        CalcResult r = positions({bruto, neopdio, priznati, od, moi, moii, doh, porez, prirez, neto.value(), zdravstveno});
        r.position[POZ_OSOBNIODBITAK] = odb[1].value();
        return r;
    } catch (const DecimalOverflow&) {
        return refused(kTooLarge);
    }
}

CalcResult IZBRUTA(const Decimal& gross, const CalcInput& in, int year, Amount& netOut) {
    if (gross.sign() < 0) return refused("Bruto iznos ne može biti negativan.");
    if (std::string why = rateOutOfRange(in); !why.empty()) return refused(why);
    try {
        const SingleRate f(in);
        if (std::string why = singleRateFault(in, f); !why.empty()) return refused(why);
        const Amount bruto = gross;
        const Amount neto = f.netShare * bruto.value();
        // The user typed a gross: if nothing of it is left to pay out, it
        // cannot carry what this income type takes from it, and computing
        // from a net of zero would quietly replace it by a gross of zero.
        if (neto.value().sign() < 0 || (neto.isZero() && bruto.value().sign() > 0)) return refused(kGrossTooSmall);
        CalcResult r = IZRACUN(neto.value(), in, year);
        if (r.ok()) netOut = neto;
        return r;
    } catch (const DecimalOverflow&) {
        return refused(kTooLarge);
    }
}

CrisisTax crisisTax(const Decimal& net, const Decimal& ratePercent) {
    CrisisTax k;
    if (ratePercent.sign() < 0 || ratePercent > kHundred) {
        k.error = kCrisisRateRange;
        return k;
    }
    try {
        k.tax = net * ratePercent * kCent;
        k.after = net - k.tax.value();
    } catch (const DecimalOverflow&) {
        return {{}, {}, kTooLarge};
    }
    return k;
}

// ---- on the data files

namespace {

// The recipient's share of the input: the allowance factor, the second
// pillar and the surtax rate of the municipality of residence.
void recipientInput(LONG recipient, CalcInput& in, const std::function<void(const char*)>& note) {
    const auto person = find<OsobeFile>(recipient);
    if (!person) {
        note("Djelatnik ne postoji u šifrarniku: prirez i osobni odbitak obračunati su kao 0.");
        return;
    }
    in.allowanceFactor = person->FAKTORODBITKA;
    in.notInPillarII = person->DRUGISTUP == "NE";
    const auto place = find<MjestaFile>(person->MJESTO);
    const auto municipality = place ? find<OpcineFile>(place->OPCINA) : std::nullopt;
    if (municipality) in.surtaxRate = municipality->STOPAPRIREZA;
    else if (place) note("Općina mjesta djelatnika ne postoji u šifrarniku: prirez je obračunat po stopi 0.");
    else note("Mjesto stanovanja djelatnika ne postoji u šifrarniku: prirez je obračunat po stopi 0.");
}

}  // namespace

CalcInput loadCalcInput(LONG recipient, BYTE incomeType, std::vector<std::string>* notes) {
    auto note = [notes](const char* text) {
        if (notes) notes->push_back(text);
    };
    CalcInput in;
    recipientInput(recipient, in, note);
    if (const auto type = find<VrstedohFile>(incomeType)) {
        in.nonTaxable = type->NEOPOREZIVIDIO;
        in.expenses = type->PRIZNATITROSKOVI;
        in.pillarI = type->MIROVINSKOISTUP;
        in.pillarII = type->MIROVINSKOIISTUP;
        in.health = type->ZDRAVSTVENOOSIGURANJE;
        in.taxRate = type->POREZNASTOPA;
        in.allowance = type->OSOBNIODBITAK;
        in.severalRates = type->VISESTOPA == "DA";
    } else {
        note("Vrsta dohotka ne postoji u šifrarniku: sve njezine stope obračunate su kao 0.");
    }
    return in;
}

std::vector<Bracket> loadBrackets() {
    std::vector<Bracket> out;
    for (const PORSTOPE_REC& b : Records<PorstopeFile>(&PorstopeFile::KEYOZNAKA)) out.push_back({b.OZNAKA, b.STOPA, b.OSNOVICA});
    return out;
}

int storePosition(LONG incomeLine, Pozicija position, const Decimal& amount, bool addMissing) {
    OBRACUN.clear();
    OBR.DOHODAK = incomeLine;
    OBR.POZICIJA = position;
    int rc = OBRACUN.get(OBRACUN.KEYDOHPOZ);
    OBR.IZNOS = amount;
    if (rc == 0) return OBRACUN.put();
    if (!addMissing) return 0;
    OBR.DOHODAK = incomeLine;
    OBR.POZICIJA = position;
    return OBRACUN.add();
}

int storePositions(LONG incomeLine, const CalcResult& r, bool addMissing) {
    FileUse uses{&OBRACUN};
    for (int p = POZ_BRUTO; p <= POZ_ZADNJA_OBRACUNA; ++p)
        if (int rc = storePosition(incomeLine, Pozicija(p), r.position[size_t(p)], addMissing)) return rc;
    return 0;
}

}  // namespace marel
