#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "report/PageFiles.h"
#include "slips/Hub3Code.h"
#include "slips/SlipCheck.h"
#include "slips/Slips.h"
#include "slips/SlipsFixture.h"

using namespace marel;
using namespace marel::test;

namespace {

class SlipsTest : public SlipsFixture {
protected:
    PaymentSlips read(SlipForm form = SlipForm::Hub3A, LONG payment = 1) {
        PaymentSlips slips;
        EXPECT_EQ(readPaymentSlips(payment, form, slips), SlipsRead::Done);
        return slips;
    }
    static std::vector<Transfer::Kind> kinds(const PaymentSlips& s) {
        std::vector<Transfer::Kind> k;
        for (const Transfer& t : s.transfers) k.push_back(t.kind);
        return k;
    }
    // The text of every page, one after another.
    static std::string text(Report& r) {
        std::string all;
        for (const Page& page : r.pages())
            for (const std::string& l : pageText(page)) all += l + "\n";
        return all;
    }
    static bool has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }
};

TEST_F(SlipsTest, TwoTaxedLinesWithOnlyPillarIGiveNetTaxNetTaxPillarI) {
    line(1, 1, 1, NOCONTRIB, kPillarIOnly);
    line(2, 1, 2, DIVIDEND, kPillarIOnly);
    const PaymentSlips s = read();
    using K = Transfer;
    ASSERT_EQ(kinds(s), (std::vector<Transfer::Kind>{K::Net, K::Tax, K::Net, K::Tax, K::PensionI}));

    // Tax and surtax together, to the municipality of the recipient's place;
    // income from capital has a revenue code of its own.
    const Transfer& tax = s.transfers[1];
    EXPECT_EQ(tax.amount, Decimal::parse("118.00"));
    EXPECT_EQ(tax.iban, kZagrebTax);
    EXPECT_EQ(tax.model, "HR68");
    EXPECT_EQ(tax.reference, "1945-69435151530-14036");
    EXPECT_EQ(tax.description, "Uplata poreza i prireza na dohodak - Ivana Horvat");
    EXPECT_EQ(tax.payee3, "Grad Zagreb");
    EXPECT_EQ(s.transfers[3].reference, "1910-69435151530-14036");
    EXPECT_EQ(s.transfers[3].payee3, "Split");

    const Transfer& pension = s.transfers[4];
    EXPECT_EQ(pension.amount, Decimal::parse("300.00"));
    EXPECT_EQ(pension.iban, "HR1210010051863000160");
    EXPECT_EQ(pension.reference, "8176-69435151530-14036");
    EXPECT_EQ(pension.payee1, "DRŽAVNI PRORAČUN");
    EXPECT_EQ(pension.payee2, "MO I.stup");
    EXPECT_EQ(pension.description, "Mirovinsko osiguranje - I.stup");
}

TEST_F(SlipsTest, AllThreeContributionsFollowTheLinesInTheirOrder) {
    line(1, 1, 1, AUTHOR, kAuthorFee);
    line(2, 1, 1, AUTHOR, kAuthorFee);
    const PaymentSlips s = read();
    using K = Transfer;
    ASSERT_EQ(kinds(s), (std::vector<Transfer::Kind>{K::Net, K::Tax, K::Net, K::Tax, K::PensionI, K::PensionII,
                                                     K::Health}));
    EXPECT_EQ(s.transfers[4].amount, Decimal::parse("210.00"));
    EXPECT_EQ(s.transfers[5].amount, Decimal::parse("70.00"));
    EXPECT_EQ(s.transfers[5].iban, "HR7610010051700036001");
    EXPECT_EQ(s.transfers[5].reference, "2291-69435151530-14036");
    EXPECT_EQ(s.transfers[6].amount, Decimal::parse("210.00"));
    EXPECT_EQ(s.transfers[6].reference, "8540-69435151530-14036");
    EXPECT_EQ(s.transfers[6].payee3, "osiguranje");
}

TEST_F(SlipsTest, NetSlipNamesTheBankAndThePersonAndPaysTheNetAfterCrisisTax) {
    Amounts noTax = kNoContributions;
    noTax[POZ_POREZ] = "0.00";
    noTax[POZ_PRIREZ] = "10.00";
    noTax[POZ_KRIPOREZ] = "20.50";
    line(1, 1, 1, NOCONTRIB, noTax);
    line(2, 1, 2, NOCONTRIB, kNonTaxable);

    // A surtax without a tax gives no tax slip; no contributions, no slips for them.
    const PaymentSlips s = read();
    using K = Transfer;
    ASSERT_EQ(kinds(s), (std::vector<Transfer::Kind>{K::Net, K::Net}));
    const Transfer& ivana = s.transfers[0];
    EXPECT_EQ(ivana.amount, Decimal::parse("684.50"));
    EXPECT_EQ(ivana.payee1, "Zagrebačka banka d.d.");
    EXPECT_EQ(ivana.payee2, "Ivana Horvat");
    EXPECT_EQ(ivana.payee3, "Zagreb, Ilica 3");
    EXPECT_EQ(ivana.iban, kIvanaIban);
    EXPECT_EQ(ivana.model, "HR01");
    EXPECT_EQ(ivana.reference, "123-45");
    EXPECT_EQ(ivana.description, "Drugi dohodak bez doprinosa - Ivana Horvat");
    EXPECT_EQ(ivana.payeePlace, "10000 Zagreb");

    // Without bank, account and model the slip keeps what there is. A form
    // with a model field "HR" and nothing after it would be refused: HUB-3A
    // uses the model of a payment without a reference.
    EXPECT_EQ(s.transfers[1].iban, "");
    EXPECT_EQ(s.transfers[1].payee1, "");
    EXPECT_EQ(s.transfers[1].model, "HR99");
    EXPECT_EQ(read(SlipForm::Hub3).transfers[1].model, "");

    const SlipPayer& p = s.payer;
    // Kept whole on either form: the paper's fields and the barcode's each
    // cut what they cannot hold.
    EXPECT_EQ(p.name, "Šećerana Čađavica, Đakovo d.o.o.");
    EXPECT_EQ(read(SlipForm::Hub3).payer.name, p.name);
    EXPECT_EQ(p.address, "Ulica  grada   Vukovara 12a");
    EXPECT_EQ(p.iban, kPayerIban);
    EXPECT_EQ(p.model, "HR99");
    EXPECT_EQ(p.stub, "Šećerana Čađavica, Đakovo d.o.o., Zagreb, Ulica  grada   Vukovara 12a");
}

// The barcode carries what its own lines hold, whatever the paper's fields
// do: the payer at thirty characters also from the wide form, the health
// insurance's account holder in the two lines the slip prints, each whole.
TEST_F(SlipsTest, TheBarcodeCarriesWhatItsOwnLinesHold) {
    line(1, 1, 1, AUTHOR, kAuthorFee);
    const PaymentSlips s = read(SlipForm::Hub3);
    ASSERT_EQ(s.transfers.back().kind, Transfer::Health);
    const std::string r = hub3Record(s.payer, s.transfers.back());
    EXPECT_TRUE(has(r, "\n" + toIso88592("Šećerana Čađavica, Đakovo d.o.") + "\n") &&
                has(r, "\nDoprinos za zdravstveno\nosiguranje\n"))
        << r;
}

TEST_F(SlipsTest, NoSuchPaymentOrNoLinesPrintNothing) {
    PaymentSlips s;
    EXPECT_EQ(readPaymentSlips(7, SlipForm::Hub3, s), SlipsRead::NoPayment);
    SlipsRead r = SlipsRead::Done;
    EXPECT_EQ(slipsReport({.payment = 7}, {}, &r), nullptr);
    EXPECT_EQ(r, SlipsRead::NoPayment);
    EXPECT_EQ(slipsReport({.payment = 1}, {}, &r), nullptr);
    EXPECT_EQ(r, SlipsRead::Done);
}

TEST_F(SlipsTest, PrintedFieldsReadBackFromTheSlips) {
    Amounts big = kNoContributions;
    big[POZ_NETO] = "1234.56";
    line(1, 1, 1, NOCONTRIB, big);
    auto report = slipsReport({.payment = 1, .form = SlipForm::Hub3A, .printer = 'L'});
    ASSERT_NE(report, nullptr);
    ASSERT_EQ(report->pages().size(), 1u);  // two slips of a sheet of three
    const std::string t = text(*report);
    for (const char* field :
         {"Šećerana Čađavica, Đakovo d.o.", "Ulica  grada   Vukov", "Zagreb", kPayerIban, "HR99", "Zagrebačka banka d.d.",
          "Ivana Horvat", "Zagreb, Ilica 3", kIvanaIban, "HR01", "123-45", "**1.234,56", "Porez i prirez", "na dohodak",
          "Grad Zagreb", kZagrebTax, "HR68", "1945-69435151530-14036", "****295,00", "HRK"})
        EXPECT_TRUE(has(t, field)) << field << "\n" << t;
    EXPECT_FALSE(has(t, "NALOG ZA PLAĆANJE")) << "pre-printed forms get data only";
    // The amount, IBAN, model and reference on the order and on its stub.
    auto count = [&t](const std::string& s) {
        size_t n = 0;
        for (size_t at = t.find(s); at != std::string::npos; at = t.find(s, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("**1.234,56"), 2u);
    EXPECT_EQ(count(kIvanaIban), 2u);
    EXPECT_EQ(count("1945-69435151530-14036"), 2u);

    // The wide form's payer field holds the whole name too.
    auto hub3 = slipsReport({.payment = 1, .form = SlipForm::Hub3, .printer = 'L'});
    ASSERT_NE(hub3, nullptr);
    const std::string t3 = text(*hub3);
    // (The stub names the payer with his place and street.)
    EXPECT_TRUE(std::regex_search(t3, std::regex("Šećerana Čađavica, Đakovo d\\.o\\.o\\.( |\n)"))) << t3;
    EXPECT_TRUE(has(t3, "**1.234,56")) << t3;

    // On plain paper the form is drawn around the same data.
    auto plain = slipsReport({.payment = 1, .form = SlipForm::Hub3A, .printer = 'L', .plainPaper = true});
    ASSERT_NE(plain, nullptr);
    const std::string tp = text(*plain);
    for (const char* caption : {"NALOG ZA PLAĆANJE", "PLATITELJ", "PRIMATELJ", "IBAN ili račun primatelja",
                                "Opis plaćanja", "**1.234,56", kIvanaIban})
        EXPECT_TRUE(has(tp, caption)) << caption << "\n" << tp;
}

// Where a text of the first page is drawn, in page units.
std::optional<wmf::Text> drawn(const Report& r, const std::string& cp1250) {
    auto page = r.pages().front().metafile();
    if (!page) return std::nullopt;
    for (const wmf::Record& rec : page->records)
        if (auto t = wmf::textOf(rec); t && t->text == cp1250) return t;
    return std::nullopt;
}

TEST_F(SlipsTest, AmountsTooLargeForTheirTenPositionsPrintWhole) {
    Amounts huge = kNoContributions;
    huge[POZ_NETO] = "12345678.90";
    huge[POZ_POREZ] = "0.00";
    line(1, 1, 1, NOCONTRIB, huge);
    auto report = slipsReport({.payment = 1, .form = SlipForm::Hub3A, .printer = 'L'});
    ASSERT_NE(report, nullptr);
    const std::string t = text(*report);
    EXPECT_TRUE(has(t, "***12.345.678,90")) << t;
    EXPECT_FALSE(has(t, "#")) << t;
}

TEST_F(SlipsTest, DotMatrixFormsHaveTheirOwnPaperAndThePrintersOffsets) {
    line(1, 1, 1, NOCONTRIB, kNoContributions);
    PARAM.clear();
    PAR.OZNAKA = 2;
    PAR.XPOS = 5;
    PAR.YPOS = -3;
    ASSERT_EQ(PARAM.add(), 0);

    auto laser = slipsReport({.payment = 1, .form = SlipForm::Hub3, .printer = 'L'});
    auto matrix = slipsReport({.payment = 1, .form = SlipForm::Hub3, .printer = 'M', .param = 2});
    auto unknown = slipsReport({.payment = 1, .form = SlipForm::Hub3, .printer = 'M', .param = 9});
    ASSERT_TRUE(laser && matrix && unknown);
    // One slip per sheet of 250 x 101.6 mm.
    EXPECT_EQ(matrix->pages().size(), 2u);
    auto page = matrix->pages().front().metafile();
    ASSERT_TRUE(page);
    EXPECT_NEAR(page->width() * 254.0 / page->inch, 2500, 1);
    EXPECT_NEAR(page->height() * 254.0 / page->inch, 1016, 1);
    EXPECT_EQ(laser->pages().size(), 1u);

    // The whole print moves 5 mm right and 3 mm up; no preset, no move.
    const std::string iban = kIvanaIban;
    auto atLaser = drawn(*laser, iban), atMatrix = drawn(*matrix, iban), atUnknown = drawn(*unknown, iban);
    ASSERT_TRUE(atLaser && atMatrix && atUnknown);
    EXPECT_EQ(atMatrix->x - atLaser->x, 197);
    EXPECT_EQ(atMatrix->y - atLaser->y, -118);
    EXPECT_EQ(atUnknown->x, atLaser->x);
}

TEST(Hub3Record, LinesCutToTheirLengthsInTheBarcodesCodePage) {
    SlipPayer payer;
    payer.name = "Šećerana Čađavica, Đakovo d.o.o.";
    payer.address = "Ulica grada Vukovara 12a";
    payer.postcode = "10000";
    payer.place = "Zagreb";
    Transfer t;
    t.payeeName = "Đuro Šimić";
    t.payeeStreet = "Put „Žuti” 7";
    t.payeePlace = "21000 Split";
    t.iban = "HR2223600003200000001";
    t.model = "HR01";
    t.reference = "123-45678901234567890123";
    t.description = "Drugi dohodak bez doprinosa – Đuro Šimić, ugovor 17";
    t.amount = Decimal::parse("1234.56");
    EXPECT_EQ(hub3Record(payer, t),
              "HRVHUB30\nHRK\n000000000123456\n"
              "\xA9""e\xE6""erana \xC8""a\xF0""avica, \xD0""akovo d.o.\n"  // 30 characters
              "Ulica grada Vukovara 12a\n10000 Zagreb\n"
              "\xD0uro \xA9imi\xE6\n"
              "Put \"\xAE""uti\" 7\n21000 Split\n"
              "HR2223600003200000001\nHR01\n"
              "123-456789012345678901\n"  // 22
              "\n"
              "Drugi dohodak bez doprinosa - \xD0uro");  // 35

    // An account that is not whole, or whose check digits are wrong, is no
    // account to pay to; nor is a negative amount an amount.
    for (const char* wrong : {"HR22", "HR2323600003200000001", "HR22236000032000000011"}) {
        t.iban = wrong;
        t.amount = Decimal::parse("-5");
        const std::string r = hub3Record(payer, t);
        EXPECT_NE(r.find("\n21000 Split\n\nHR01\n"), std::string::npos) << wrong;
        EXPECT_NE(r.find("\n000000000000000\n"), std::string::npos);
    }
}

TEST(Hub3Record, TheLongestRecordStillFitsTheBarcodeArea) {
    auto times = [](const char* s, int n) {
        std::string r;
        while (n-- > 0) r += s;
        return r;
    };
    SlipPayer payer;
    payer.name = std::string(40, 'W');
    payer.address = payer.place = times("Ž", 40);
    Transfer t;
    t.payeeName = t.payeeStreet = t.payeePlace = t.description = times("đ", 60);
    t.iban = "HR2223600003200000001";
    t.model = "HR01";
    t.reference = std::string(30, '9');
    t.amount = Decimal::parse("999999999.99");
    const BarcodeMatrix m = pdf417(hub3Record(payer, t), 8);
    ASSERT_TRUE(m.error.empty()) << m.error;
    EXPECT_EQ(m.columns, 17 * (8 + 4) + 1);
    // The area is 42 mm high: 44 rows of 0.91 mm with the quiet zone.
    EXPECT_LE(m.rows, 44);
    EXPECT_GE(m.rows, 3);
}

}  // namespace

namespace {

// One recipient's slip with everything right, for the check list to find
// what each row spoils.
PaymentSlips oneGoodSlip() {
    PaymentSlips s;
    s.payer.name = "Šećerana d.o.o.";
    s.payer.iban = "HR1723600001101234565";
    Transfer t;
    t.whose = t.payee2 = t.payeeName = "Ivana Horvat";
    t.payee1 = "Zagrebačka banka d.d.";
    t.iban = "HR2223600003200000001";
    t.description = "Autorski honorar - Ivana Horvat";
    t.amount = Decimal::parse("100.00");
    s.transfers.push_back(t);
    return s;
}

TEST(SlipCheck, NamesEachSlipTheBankWouldRefuseOrCarryOtherwise) {
    struct Row {
        const char* what;
        void (*spoil)(PaymentSlips&);
        std::string problem;  // "" when none
        bool stops;
    };
    const Row rows[] = {
        {"all right", [](PaymentSlips&) {}, "", false},
        {"negative", [](PaymentSlips& s) { s.transfers[0].amount = Decimal::parse("-100"); },
         "Nalog 1 (Ivana Horvat): iznos -100,00 nije veći od nule.", true},
        {"zero", [](PaymentSlips& s) { s.transfers[0].amount = Decimal(); },
         "Nalog 1 (Ivana Horvat): iznos 0,00 nije veći od nule.", true},
        {"beyond the barcode", [](PaymentSlips& s) { s.transfers[0].amount = Decimal::parse("10000000000000"); },
         "Nalog 1 (Ivana Horvat): iznos 10.000.000.000.000,00 ne stane u nalog (najviše 15 znamenki).", true},
        {"no account", [](PaymentSlips& s) { s.transfers[0].iban = ""; },
         "Nalog 1 (Ivana Horvat): nije unesen IBAN primatelja.", true},
        {"20 characters", [](PaymentSlips& s) { s.transfers[0].iban = "HR222360000320000000"; },
         "Nalog 1 (Ivana Horvat): IBAN primatelja \"HR222360000320000000\" nije ispravan", true},
        {"check digits", [](PaymentSlips& s) { s.transfers[0].iban = "HR2323600003200000001"; },
         "Nalog 1 (Ivana Horvat): IBAN primatelja \"HR2323600003200000001\" nije ispravan", true},
        {"payer's account", [](PaymentSlips& s) { s.payer.iban = "HR1723600001101234566"; },
         "Isplatitelj: IBAN \"HR1723600001101234566\" nije ispravan", true},
        {"Cyrillic", [](PaymentSlips& s) { s.transfers[0].payee2 = "Љубица Ђурђевић"; },
         "Nalog 1 (Ivana Horvat): primatelj \"Љубица Ђурђевић\" ima slova kojih nema u kodnoj stranici 2D koda "
         "(ISO 8859-2); ispisat će se \"Ljubica Đurđević\".",
         false},
        {"emoji", [](PaymentSlips& s) { s.payer.name = "Ana \xF0\x9F\x98\x80 Horvat"; },
         "Isplatitelj: naziv \"Ana \xF0\x9F\x98\x80 Horvat\" ima slova kojih nema u kodnoj stranici 2D koda "
         "(ISO 8859-2); ispisat će se \"Ana ? Horvat\".",
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PaymentSlips s = oneGoodSlip();
        row.spoil(s);
        const std::vector<SlipProblem> got = checkSlips(s);
        if (row.problem.empty()) {
            EXPECT_TRUE(got.empty()) << got.front().text;
            continue;
        }
        ASSERT_EQ(got.size(), 1u) << got.front().text;
        EXPECT_EQ(got[0].text.substr(0, row.problem.size()), row.problem) << got[0].text;
        EXPECT_EQ(got[0].stops, row.stops);
    }
}

TEST(Hub3Record, EveryCharacterOfAFieldKeepsItsPlaceOnOneLine) {
    const std::pair<const char*, const char*> rows[] = {
        {"Ana\nHorvat", "Ana Horvat"},  // a line feed would end the line early
        {"Ana\r\tHorvat", "Ana  Horvat"},
        {"Ljubica Đurđević", "Ljubica \xD0ur\xF0" "evi\xE6"},
        {"Љубица Ђурђевић", "Ljubica \xD0ur\xF0" "evi\xE6"},
        {"Џонић Щукин", "D\xBEoni\xE6 \xA9\xE8ukin"},
        {"Ana \xF0\x9F\x98\x80 Horvat", "Ana ? Horvat"},
    };
    SlipPayer payer;
    Transfer t;
    for (auto [name, line] : rows) {
        SCOPED_TRACE(name);
        t.payeeName = name;
        const std::string record = hub3Record(payer, t);
        ASSERT_EQ(std::count(record.begin(), record.end(), '\n'), 13);
        EXPECT_NE(record.find("\n" + std::string(line) + "\n"), std::string::npos) << record;
        // The paper says what the barcode says.
        EXPECT_EQ(toIso88592(slipText(name)), toIso88592(name));
    }
}

TEST_F(SlipsTest, StoredNamesFromElsewhereAndHostileAmountsPrintWholeOrNotAtAll) {
    // Another program wrote a Cyrillic surname; Đuro's net is negative;
    // eleven lines of the largest pension make a total of eleven digits.
    ASSERT_EQ(Store::main().exec("UPDATE OSOBE SET PREZIME = 'Петровић' WHERE OZNAKA = 1"), 0);
    Amounts most = kPillarIOnly;
    most[POZ_MIROVINSKOISTUP] = "999999999.99";
    most[POZ_POREZ] = "0.00";
    for (LONG n = 1; n <= 11; ++n) line(n, 1, 1, NOCONTRIB, most);
    Amounts negative = kNoContributions;
    negative[POZ_NETO] = "-100.00";
    negative[POZ_POREZ] = "0.00";
    line(12, 1, 2, NOCONTRIB, negative);

    ask.answers = {2};  // "Odustani"
    EXPECT_EQ(slipsReport({.payment = 1, .form = SlipForm::Hub3A, .printer = 'L'}), nullptr);
    ASSERT_EQ(ask.messages.size(), 1u);
    EXPECT_EQ(ask.last().caption, "Provjera prije ispisa");
    EXPECT_EQ(ask.last().buttonTexts, "Ispiši ostale|Odustani");
    EXPECT_TRUE(has(ask.last().text, "Nalog 12 (Đuro Šimić): iznos -100,00 nije veći od nule.\r\n"
                                     "Nalog 12 (Đuro Šimić): nije unesen IBAN primatelja."))
        << ask.last().text;

    auto report = slipsReport({.payment = 1, .form = SlipForm::Hub3A, .printer = 'L'});
    ASSERT_NE(report, nullptr);
    const std::string t = text(*report);
    EXPECT_TRUE(has(t, "Ivana Petrović")) << t;
    EXPECT_TRUE(has(t, "***10.999.999.999,89")) << t;
    EXPECT_FALSE(has(t, "#")) << t;
    EXPECT_FALSE(has(t, "100,00")) << t;
    EXPECT_FALSE(has(t, "Đuro")) << t;
}

}  // namespace
