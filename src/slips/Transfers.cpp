#include "slips/Transfers.h"

#include <optional>

#include "common/Text.h"
#include "payments/IncomeLine.h"
#include "payments/Positions.h"
#include "store/Records.h"
#include "store/Values.h"
#include "store/Warnings.h"

namespace marel {

namespace {

// Texts are kept whole: the paper cuts each at a word where its field ends,
// the barcode at the length of its own field. An account is an account only
// at its 21 characters.
constexpr size_t IBAN = 21;

std::string cut(std::string_view s, size_t n) { return rtrim(utf8Prefix(trim(s), n)); }
std::string whole(std::string_view s) { return trim(s); }

// "Ulica 5": a missing street or number leaves no stray blank.
std::string streetAndNumber(const std::string& street, const std::string& number) {
    return trim(street + " " + number);
}

// The records a payment's slips name, each read once; a missing one is blank.
struct Named {
    ValueLookup<OsobeFile> people;
    ValueLookup<BankeFile> banks;
    ValueLookup<MjestaFile> places;
    ValueLookup<UliceFile> streets;
    ValueLookup<OpcineFile> municipalities;
    ValueLookup<VrstedohFile> types;
};

SlipPayer readPayer(LONG payer, Named& named) {
    const SUBJEKTI_REC sub = find<SubjektiFile>(payer).value_or(SUBJEKTI_REC{});
    const MJESTA_REC& place = named.places.orBlank(sub.MJESTO);
    const std::string street = streetAndNumber(named.streets.orBlank(sub.ULICA).NAZIV, sub.KUCNIBROJ);
    SlipPayer p;
    p.name = whole(sub.NAZIV.str());
    p.address = whole(street);
    p.place = whole(place.NAZIV.str());
    p.postcode = trim(place.POSTBROJ.str());
    p.iban = cut(sub.RKONT.str() + named.banks.orBlank(sub.BANKA).VODECIBROJ.str() + sub.RACUN.str(), IBAN);
    p.stub = whole(rtrim(sub.NAZIV.str()) + ", " + place.NAZIV.str() + ", " + street);
    p.oib = trim(sub.OIB.str());
    return p;
}

// The net to the recipient's account.
Transfer netTransfer(const DOHOCI_REC& line, const Decimal& crisisTax, SlipForm form, Named& named) {
    const OSOBE_REC& who = named.people.orBlank(line.DJELATNIK);
    const MJESTA_REC& place = named.places.orBlank(who.MJESTO);
    const BANKE_REC& bank = named.banks.orBlank(who.BANKA);
    const std::string person = trim(rtrim(who.IME.str()) + " " + rtrim(who.PREZIME.str()));
    const std::string street = streetAndNumber(named.streets.orBlank(who.ULICA).NAZIV, who.KUCNIBROJ);
    Transfer net;
    net.kind = Transfer::Net;
    net.payee1 = whole(bank.NAZIV.str());
    net.payee2 = person;
    net.payee3 = whole(rtrim(place.NAZIV.str()) + ", " + street);
    net.payeeName = person;
    net.payeeStreet = street;
    net.payeePlace = trim(place.POSTBROJ.str() + " " + place.NAZIV.str());
    net.iban = cut(who.RKONT.str() + bank.VODECIBROJ.str() + who.RACUN.str(), IBAN);
    // "HR" alone is no model at all: a recipient without one is paid
    // under HR99, the model of a payment without a reference.
    if (!who.MODEL.empty()) net.model = "HR" + who.MODEL.str();
    else if (form == SlipForm::Hub3A) net.model = "HR99";
    net.reference = whole(who.RACUNPOZIV.str());
    net.description = whole(rtrim(named.types.orBlank(line.VRSTADOHOTKA).NAZIV.str()) + " - " + person);
    net.amount = line.NETO.value() - crisisTax;
    net.whose = person;
    return net;
}

// The income tax with surtax to the account of the recipient's municipality.
Transfer taxTransfer(const DOHOCI_REC& line, const PositionAmounts& amount, const std::string& tail,
                     Named& named) {
    const OSOBE_REC& who = named.people.orBlank(line.DJELATNIK);
    const OPCINE_REC& municipality = named.municipalities.orBlank(named.places.orBlank(who.MJESTO).OPCINA);
    const std::string person = trim(rtrim(who.IME.str()) + " " + rtrim(who.PREZIME.str()));
    Transfer tax;
    tax.kind = Transfer::Tax;
    tax.payee1 = "Porez i prirez";
    tax.payee2 = "na dohodak";
    tax.payee3 = whole(municipality.NAZIV.str());
    tax.payeeName = "Porez i prirez na dohodak";
    tax.payeePlace = tax.payee3;
    tax.iban = cut(municipality.RKONT.str() + "1001005" + municipality.RACUNPOREZ.str(), IBAN);
    tax.model = "HR68";
    tax.reference = (named.types.orBlank(line.VRSTADOHOTKA).REZSTRINGA == "11" ? "1910-" : "1945-") + tail;
    tax.description = "Uplata poreza i prireza na dohodak - " + person;
    tax.amount = amount[POZ_POREZ] + amount[POZ_PRIREZ];
    tax.whose = "porez i prirez, " + person;
    return tax;
}

// The contributions of the whole payment to the public accounts.
struct Contributions {
    Decimal pensionI, pensionII, health;
};

void publicTransfers(const Contributions& sums, const std::string& tail, std::vector<Transfer>& out) {
    struct Public {
        Transfer::Kind kind;
        const Decimal& total;
        const char *line2, *line3, *prefix, *iban, *description;
    };
    for (const Public& p : {Public{Transfer::PensionI, sums.pensionI, "MO I.stup", "", "8176-",
                                   "HR1210010051863000160", "Mirovinsko osiguranje - I.stup"},
                            Public{Transfer::PensionII, sums.pensionII, "MO II.stup", "", "2291-",
                                   "HR7610010051700036001", "Mirovinsko osiguranje - II.stup"},
                            Public{Transfer::Health, sums.health, "Doprinos za zdravstveno", "osiguranje", "8540-",
                                   "HR1210010051863000160", "Zdravstveno osiguranje"}}) {
        if (p.total <= Decimal()) continue;
        Transfer t;
        t.kind = p.kind;
        t.payee1 = t.payeeName = "DRŽAVNI PRORAČUN";
        // The barcode names the payee in the printed lines: the two lines
        // under the name hold what its street and place lines hold.
        t.payee2 = t.payeeStreet = p.line2;
        t.payee3 = t.payeePlace = p.line3;
        t.iban = p.iban;
        t.model = "HR68";
        t.reference = p.prefix + tail;
        t.description = p.description;
        t.amount = p.total;
        t.whose = p.description;
        out.push_back(std::move(t));
    }
}

// The slips of each income line in the payment's order, then the public
// ones; nullptr, or the file a read failed in.
const char* readTransfers(LONG payment, SlipForm form, const std::string& tail, Named& named,
                          std::vector<Transfer>& out) {
    Contributions sums;
    PositionAmounts amount;
    Records<DohociFile> lines(&DohociFile::KEYISPLATA, payment);
    for (const DOHOCI_REC& line : lines) {
        if (readPositions(line.OZNAKA, amount) != 0) return "obracun";
        out.push_back(netTransfer(line, amount[POZ_KRIPOREZ], form, named));
        if (!amount[POZ_POREZ].isZero()) out.push_back(taxTransfer(line, amount, tail, named));
        sums.pensionI += amount[POZ_MIROVINSKOISTUP];
        sums.pensionII += amount[POZ_MIROVINSKOIISTUP];
        sums.health += amount[POZ_ZDRAVSTVENO];
    }
    if (lines.error()) return "dohoci";
    publicTransfers(sums, tail, out);
    return nullptr;
}

}  // namespace

SlipsRead readPaymentSlips(LONG payment, SlipForm form, PaymentSlips& out) {
    out = {};
    out.payment = payment;
    const char* failed = nullptr;
    {
        // One snapshot of the whole payment: a line changed by another station
        // meanwhile cannot leave slips that do not add up. Ended before any
        // message, so other windows stay free to write while it shows.
        ReadTransaction snapshot;
        const std::optional<ISPLATE_REC> isp = find<IsplateFile>(payment);
        if (!isp) return SlipsRead::NoPayment;
        Named named;
        out.payer = readPayer(isp->ISPLATITELJ, named);
        const std::string tail = out.payer.oib + "-" + trim(isp->RSID.str());
        failed = readTransfers(payment, form, tail, named, out.transfers);
    }
    if (!failed) return SlipsRead::Done;
    STANDARDWARNING(35, failed);
    return SlipsRead::ReadError;
}

}  // namespace marel
