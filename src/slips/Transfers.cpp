#include "slips/Transfers.h"

#include <optional>
#include <type_traits>
#include <unordered_map>

#include "common/Text.h"
#include "payments/IncomeLine.h"
#include "payments/Positions.h"
#include "store/Lookup.h"
#include "store/Records.h"
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

void readPayer(SlipPayer& p) {
    SUBJEKTI.clear();
    SUB.OZNAKA = ISP.ISPLATITELJ;
    if (SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) != 0) SUBJEKTI.clear();
    RecordLookup places(MJESTA);
    RecordLookup streets(ULICE);
    RecordLookup banks(BANKE);
    places.read(SUB.MJESTO);
    streets.read(SUB.ULICA);
    banks.read(SUB.BANKA);
    const std::string street = streetAndNumber(ULI.NAZIV, SUB.KUCNIBROJ);
    p.name = whole(SUB.NAZIV.str());
    p.address = whole(street);
    p.place = whole(MJE.NAZIV.str());
    p.postcode = trim(MJE.POSTBROJ.str());
    p.iban = cut(SUB.RKONT.str() + BAN.VODECIBROJ.str() + SUB.RACUN.str(), IBAN);
    p.stub = whole(rtrim(SUB.NAZIV.str()) + ", " + MJE.NAZIV.str() + ", " + street);
    p.oib = trim(SUB.OIB.str());
}

}  // namespace

SlipsRead readPaymentSlips(LONG payment, SlipForm form, PaymentSlips& out) {
    out = {};
    out.payment = payment;
    FileUse use{&ISPLATE, &SUBJEKTI, &MJESTA, &ULICE, &BANKE, &OPCINE, &OSOBE, &VRSTEDOH, &DOHOCI, &OBRACUN};
    // One snapshot of the whole payment: a line changed by another station
    // meanwhile cannot leave slips that do not add up.
    // Ended before any message, so other windows stay free to write while it shows.
    std::optional<ReadTransaction> snapshot(std::in_place);

    ISPLATE.clear();
    ISP.OZNAKA = payment;
    if (payment == 0 || ISPLATE.get(ISPLATE.KEYOZNAKA) != 0) return SlipsRead::NoPayment;
    readPayer(out.payer);
    const std::string tail = out.payer.oib + "-" + trim(ISP.RSID.str());

    RecordLookup people(OSOBE);
    RecordLookup banks(BANKE);
    RecordLookup places(MJESTA);
    RecordLookup streets(ULICE);
    RecordLookup municipalities(OPCINE);
    RecordLookup types(VRSTEDOH);
    Decimal pensionI, pensionII, health;
    Cursor lines(DOHOCI, DOHOCI.KEYISPLATA.index);
    lines.startAt(payment);
    PositionAmounts amount;
    for (;;) {
        int rc = lines.next();
        if (rc == kRecordNotAvailable) break;
        if (rc != 0) {
            snapshot.reset();
            STANDARDWARNING(35, "dohoci");
            return SlipsRead::ReadError;
        }
        people.read(DOH.DJELATNIK);
        banks.read(OSO.BANKA);
        places.read(OSO.MJESTO);
        streets.read(OSO.ULICA);
        municipalities.read(MJE.OPCINA);
        types.read(DOH.VRSTADOHOTKA);

        if (readPositions(DOH.OZNAKA, amount) != 0) {
            snapshot.reset();
            STANDARDWARNING(35, "obracun");
            return SlipsRead::ReadError;
        }

        const std::string person = trim(rtrim(OSO.IME.str()) + " " + rtrim(OSO.PREZIME.str()));
        const std::string street = streetAndNumber(ULI.NAZIV, OSO.KUCNIBROJ);

        Transfer net;
        net.kind = Transfer::Net;
        net.payee1 = whole(BAN.NAZIV.str());
        net.payee2 = person;
        net.payee3 = whole(rtrim(MJE.NAZIV.str()) + ", " + street);
        net.payeeName = person;
        net.payeeStreet = street;
        net.payeePlace = trim(MJE.POSTBROJ.str() + " " + MJE.NAZIV.str());
        net.iban = cut(OSO.RKONT.str() + BAN.VODECIBROJ.str() + OSO.RACUN.str(), IBAN);
        // "HR" alone is no model at all: a recipient without one is paid
        // under HR99, the model of a payment without a reference.
        if (!OSO.MODEL.empty()) net.model = "HR" + OSO.MODEL.str();
        else if (form == SlipForm::Hub3A) net.model = "HR99";
        net.reference = whole(OSO.RACUNPOZIV.str());
        net.description = whole(rtrim(VRS.NAZIV.str()) + " - " + person);
        net.amount = DOH.NETO.value() - amount[POZ_KRIPOREZ];
        net.whose = person;
        out.transfers.push_back(std::move(net));

        if (!amount[POZ_POREZ].isZero()) {
            Transfer tax;
            tax.kind = Transfer::Tax;
            tax.payee1 = "Porez i prirez";
            tax.payee2 = "na dohodak";
            tax.payee3 = whole(OPC.NAZIV.str());
            tax.payeeName = "Porez i prirez na dohodak";
            tax.payeePlace = tax.payee3;
            tax.iban = cut(OPC.RKONT.str() + "1001005" + OPC.RACUNPOREZ.str(), IBAN);
            tax.model = "HR68";
            tax.reference = (VRS.REZSTRINGA == "11" ? "1910-" : "1945-") + tail;
            tax.description = "Uplata poreza i prireza na dohodak - " + person;
            tax.amount = amount[POZ_POREZ] + amount[POZ_PRIREZ];
            tax.whose = "porez i prirez, " + person;
            out.transfers.push_back(std::move(tax));
        }
        pensionI += amount[POZ_MIROVINSKOISTUP];
        pensionII += amount[POZ_MIROVINSKOIISTUP];
        health += amount[POZ_ZDRAVSTVENO];
    }

    struct Public {
        Transfer::Kind kind;
        const Decimal& total;
        const char *line2, *line3, *prefix, *iban, *description;
    };
    for (const Public& p : {Public{Transfer::PensionI, pensionI, "MO I.stup", "", "8176-", "HR1210010051863000160",
                                   "Mirovinsko osiguranje - I.stup"},
                            Public{Transfer::PensionII, pensionII, "MO II.stup", "", "2291-",
                                   "HR7610010051700036001", "Mirovinsko osiguranje - II.stup"},
                            Public{Transfer::Health, health, "Doprinos za zdravstveno", "osiguranje", "8540-",
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
        out.transfers.push_back(std::move(t));
    }
    return SlipsRead::Done;
}

}  // namespace marel
