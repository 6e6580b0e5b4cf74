#include <QLabel>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTableView>

#include "payments/Payments.h"
#include "payments/screens/Payments.h"
#include "payments/screens/RecipientChoice.h"
#include "frame/Screens.h"
#include "store/Records.h"
#include "support/ScreenDriver.h"
#include "support/StoreFixture.h"
#include "ui/screens/ListBrowserView.h"
#include "ui/screens/Runtime.h"

using namespace marel;
using namespace marel::test;

namespace {

// The payment screen in the running frame, worked as a bookkeeper does.
class PaymentsScreenTest : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        Date::fixToday(Date::fromYmd(2014, 2, 5));
        openFiles({&SUBJEKTI, &ISPLATE, &DOHOCI, &OBRACUN, &JOPO, &OSOBE, &MJESTA});
        SUBJEKTI.clear();
        SUB.OZNAKA = 1;
        SUB.NAZIV = "Udruga Lipa";
        SUB.OIB = "69435151530";
        ASSERT_EQ(SUBJEKTI.add(), 0);
        registerAllScreens();
        frame = new MAIN;
        setWindowHost(frame);
        frame->resize(1200, 800);
        frame->show();
    }
    void TearDown() override {
        delete frame;
        Date::fixToday(Date());
        StoreFixture::TearDown();
    }
    screens::ISPLATE_SCREEN* open() {
        return openScreen<screens::ISPLATE_SCREEN>(*frame, "ISPLATE");
    }
    static QString text(WindowBuilder& b, const std::string& id) {
        if (auto* e = b.control<QLineEdit>(id)) return e->text();
        if (auto* l = b.control<QLabel>(id)) return l->text();
        return "(none)";
    }
    static void payment(LONG number, Date d) {
        ISPLATE.clear();
        ISP.OZNAKA = number;
        ISP.ISPLATITELJ = 1;
        ISP.DATUM = d;
        ISP.GODINA = std::to_string(d.year());
        ISP.RSID = reportDay(d);
        ASSERT_EQ(ISPLATE.add(), 0);
    }
    static bool readPayment(LONG number) {
        ISPLATE.clear();
        ISP.OZNAKA = number;
        return ISPLATE.get(ISPLATE.KEYOZNAKA) == 0;
    }
    MAIN* frame = nullptr;
};

TEST_F(PaymentsScreenTest, PaymentsAreEnteredOnTheFirstFreeDay) {
    screens::ISPLATE_SCREEN* w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Pregled isplata");
    EXPECT_EQ(w->printer(), "M");
    EXPECT_FALSE(w->builder().control("obracun")->isEnabled());
    QTableView* payments = w->view(0)->table();
    ASSERT_EQ(w->view(1)->browser().rows().size(), 1u);  // the payer is highlighted

    // Insert: today, 5 February 2014, identifier 14036; Enter saves.
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Unos nove isplate");
        EXPECT_EQ(text(f, "naziv"), "Udruga Lipa");
        EXPECT_EQ(text(f, "oib"), "69435151530");
        EXPECT_EQ(text(f, "datum"), "05.02.2014.");
        EXPECT_EQ(text(f, "rsid"), "14036");
        EXPECT_EQ(text(f, "dan"), "14036");
        click(f, "ok");
    });
    QTest::keyClick(payments, Qt::Key_Insert);
    ASSERT_TRUE(readPayment(1));
    EXPECT_EQ(ISP.ISPLATITELJ, 1);
    EXPECT_EQ(ISP.RSID, "14036");
    EXPECT_EQ(ISP.GODINA, "2014");
    EXPECT_EQ(ISP.DATUM, Date::fromYmd(2014, 2, 5));

    // The second of the day is offered tomorrow; "gore" moves the date and the
    // identifier at once; numeric-pad + in the identifier adds one.
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(text(f, "rsid"), "14037");
        click(f, "gore");
        EXPECT_EQ(text(f, "datum"), "07.02.2014.");
        EXPECT_EQ(text(f, "rsid"), "14038");
        // Numeric-pad - in the date: the identifier follows once the date is accepted.
        f.control("datum")->setFocus();
        QTest::keyClick(f.control("datum"), Qt::Key_Minus, Qt::KeypadModifier);
        EXPECT_EQ(text(f, "datum"), "06.02.2014.");
        EXPECT_EQ(text(f, "rsid"), "14038");
        tab(f, "datum");
        EXPECT_EQ(text(f, "rsid"), "14037");
        // Set by hand, it stays through OK.
        f.control("rsid")->setFocus();
        QTest::keyClick(f.control("rsid"), Qt::Key_Plus, Qt::KeypadModifier);
        EXPECT_EQ(text(f, "rsid"), "14038");
        click(f, "ok");
    });
    QTest::keyClick(payments, Qt::Key_Plus, Qt::KeypadModifier);
    ASSERT_TRUE(readPayment(2));
    EXPECT_EQ(ISP.RSID, "14038");
    EXPECT_EQ(ISP.DATUM, Date::fromYmd(2014, 2, 6));
    ASSERT_EQ(w->view(0)->browser().rows().size(), 2u);
    EXPECT_EQ(w->view(0)->browser().rows()[0].values[0], "14038");  // newest first

    // Cancel removes a new payment again.
    whenOpen([](WindowBuilder& f) { click(f, "cancel"); });
    QTest::keyClick(payments, Qt::Key_Insert);
    EXPECT_EQ(ISPLATE.records(), 2);

    // The highlighted payment gives the month; + at December steps into the next year.
    EXPECT_EQ(w->month(), "2");
    EXPECT_EQ(w->year(), "2014");
    type(w->builder(), "mjesec", "12");
    QTest::keyClick(w->builder().control("mjesec"), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(w->month(), "1");
    EXPECT_EQ(w->year(), "2015");
    EXPECT_EQ(text(w->builder(), "godina"), "2015");
    type(w->builder(), "mjesec", "13");  // no such month: the nearest one
    tab(w->builder(), "mjesec");
    EXPECT_EQ(w->month(), "12");
    EXPECT_EQ(w->year(), "2015");
    EXPECT_GE(ask.beeps, 1);
}

TEST_F(PaymentsScreenTest, JoppdFormIsCreatedOnceForAPayment) {
    payment(1, Date::fromYmd(2014, 2, 5));
    screens::ISPLATE_SCREEN* w = open();
    ASSERT_NE(w, nullptr);
    // Right walks payers, payments, income lines and round again; Left goes back.
    QTableView* payers = w->view(1)->table();
    payers->setFocus();
    QTest::keyClick(payers, Qt::Key_Right);
    EXPECT_TRUE(w->view(0)->table()->hasFocus());
    QTest::keyClick(w->view(0)->table(), Qt::Key_Right);
    EXPECT_TRUE(w->view(2)->table()->hasFocus());
    QTest::keyClick(w->view(2)->table(), Qt::Key_Right);
    EXPECT_TRUE(payers->hasFocus());
    QTest::keyClick(payers, Qt::Key_Left);
    EXPECT_TRUE(w->view(2)->table()->hasFocus());

    click(w->builder(), "jopkreiranje");
    EXPECT_EQ(ask.last().text, "OBRAZAC KREIRAN");
    ASSERT_EQ(JOPO.records(), 1);
    JOPO.clear();
    JOPO.OZNAKA = 1;
    ASSERT_EQ(JOPO.get(JOPO.KEYOZNAKA), 0);
    EXPECT_EQ(JOPO.ISPLATA, 1);
    EXPECT_EQ(JOPO.UJED.length(), 36u);

    click(w->builder(), "jopkreiranje");
    EXPECT_EQ(ask.last().text,
              "GREŠKA! OVAJ OBRAZAC JE VEĆ KREIRAN\r\nAKO ŽELITE KREIRATI NOVI ZA ISTU ISPLATU\r\n"
              "UNESITE U JOP OBRASCIMA REDNI BROJ DRUGAČIJI OD 1\r\nILI IZBRIŠITE OBRAZAC U ISTOJ LISTI");
    EXPECT_EQ(JOPO.records(), 1);
}

TEST_F(PaymentsScreenTest, DuplicateMakesANewPaymentWithTheSameLines) {
    payment(1, Date::fromYmd(2014, 2, 5));
    for (LONG line : {10, 11}) {
        DOHOCI.clear();
        DOH.OZNAKA = line;
        DOH.ISPLATA = 1;
        DOH.REDNIBROJ = USHORT(line - 9);
        DOH.NETO = Decimal(500);
        ASSERT_EQ(DOHOCI.add(), 0);
        OBRACUN.clear();
        OBR.DOHODAK = line;
        OBR.POZICIJA = 1;
        OBR.IZNOS = Decimal(625);
        ASSERT_EQ(OBRACUN.add(), 0);
    }
    screens::ISPLATE_SCREEN* w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->view(2)->browser().rows().size(), 2u);  // the payment's income lines

    whenOpen([this](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Dupliciranje postojeće isplate");
        EXPECT_EQ(text(f, "naziv"), "Udruga Lipa");
        EXPECT_EQ(text(f, "starirsid"), "14036");
        EXPECT_EQ(text(f, "duplikat"), "2");
        EXPECT_EQ(text(f, "rsid"), "14037");  // today is taken by the original
        EXPECT_FALSE(f.control("wait")->isVisible());
        click(f, "napravi");
        EXPECT_EQ(text(f, "wait"), "Gotovo");
        click(f, "napravi");  // the same number again
        EXPECT_EQ(ask.last().text, "Ne mogu unijeti novu isplatu s ovim podacima");
        EXPECT_FALSE(f.control("wait")->isVisible());
        click(f, "close");
    });
    QTest::keyClick(w->view(0)->table(), Qt::Key_2, Qt::ControlModifier | Qt::KeypadModifier);

    ASSERT_TRUE(readPayment(2));
    EXPECT_EQ(ISP.RSID, "14037");
    EXPECT_EQ(ISP.DATUM, Date::fromYmd(2014, 2, 6));
    EXPECT_EQ(DOHOCI.records(), 4);
    EXPECT_EQ(OBRACUN.records(), 4);
    EXPECT_EQ(w->view(0)->browser().rows().size(), 2u);
    EXPECT_EQ(w->view(0)->browser().selected(), 1);  // back at the top, the copy
    EXPECT_EQ(ISP.OZNAKA, 2);
}

TEST_F(PaymentsScreenTest, RecipientsWithoutOibAreOfferedOnlyByPlace) {
    MJESTA.clear();
    MJE.OZNAKA = 3;
    MJE.NAZIV = "Samobor";
    ASSERT_EQ(MJESTA.add(), 0);
    for (auto [n, surname, oib] : {std::tuple{1, "Babić", "12345678903"}, {2, "Anić", ""}}) {
        OSOBE.clear();
        OSO.OZNAKA = n;
        OSO.PREZIME = surname;
        OSO.IME = "Ana";
        OSO.OIB = oib;
        OSO.MJESTO = 3;
        ASSERT_EQ(OSOBE.add(), 0);
    }
    auto* list = new screens::ODABIROSOBEZADOH;
    frame->addWindow(list)->show();
    QApplication::processEvents();
    EXPECT_EQ(list->windowTitle(), "Pregled primatelja");
    ASSERT_EQ(list->browser(0).rows().size(), 1u);
    EXPECT_EQ(list->browser(0).rows()[0].values[0], "Babić");
    EXPECT_EQ(list->browser(0).rows()[0].values[3], "Samobor");
    EXPECT_EQ(list->builder().control<QLabel>("prezimeime")->text(), "Babić Ana");
    EXPECT_FALSE(list->builder().control("select")->isVisible());  // not a chooser

    click(list->builder(), "oibcopy");
    EXPECT_EQ(clipboardText(), "12345678903");
    EXPECT_EQ(ask.beeps, 1);

    list->builder().control<QTabWidget>("tabs")->setCurrentIndex(1);
    QApplication::processEvents();
    EXPECT_EQ(list->browser(0).rows().size(), 2u);  // Anić too, in her place

    // A blank surname locator changes nothing.
    list->builder().control<QTabWidget>("tabs")->setCurrentIndex(0);
    const int64_t before = list->browser(0).selectedRow()->id;
    type(list->builder(), "prezime", "");
    tab(list->builder(), "prezime");
    EXPECT_EQ(list->browser(0).selectedRow()->id, before);
}

}  // namespace
