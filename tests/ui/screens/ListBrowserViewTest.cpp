#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "common/Prompter.h"
#include "support/StoreFixture.h"
#include "ui/ListBrowser.h"
#include "ui/screens/ListBrowserView.h"

using namespace marel;

namespace {

class ListBrowserViewTest : public test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        ASSERT_EQ(Store::main().exec("PRAGMA synchronous=OFF"), 0);
        openFiles({&OSOBE, &MJESTA});
        OSOBE.USED = MJESTA.USED = 1;
        setPrompter(&prompts);
        ASSERT_EQ(Store::main().begin(), 0);
        for (int i = 0; i < 40; ++i) {
            OSOBE.clear();
            OSO.OZNAKA = i + 1;
            OSO.PREZIME = std::string(1, "ABCEFGHIKM"[i / 4]) + "prezime" + std::to_string(i % 4);
            OSO.OIB = std::to_string(30000000000LL + i);
            OSO.MJESTO = 1 + i % 2;
            ASSERT_EQ(OSOBE.add(), 0);
        }
        for (auto [n, name] : {std::pair{1, "Split"}, std::pair{2, "Zagreb"}}) {
            MJESTA.clear();
            MJE.OZNAKA = n;
            MJE.NAZIV = name;
            ASSERT_EQ(MJESTA.add(), 0);
        }
        ASSERT_EQ(Store::main().commit(), 0);
    }
    void TearDown() override {
        setPrompter(nullptr);
        StoreFixture::TearDown();
    }

    static std::unique_ptr<ListBrowser> people() {
        auto b = std::make_unique<ListBrowser>(
            OSOBE, "48L(1)|M~Prezime~@s25@64R(2)|M~Oznaka~C(0)@n-14@",
            std::vector<ColumnSource>{ColumnSource::of(OSOBE, "PREZIME"), ColumnSource::of(OSOBE, "OZNAKA")});
        b->addSortOrder({OSOBE.KEYPREZIMEIME, Locator::Incremental, Stops::Letters, {}, {}});
        return b;
    }
    static void showView(ListBrowserView& view) {
        view.resize(400, 260);
        view.show();
        QApplication::processEvents();
    }
    static QString cell(const ListBrowserView& view, int row) {
        return view.table()->model()->index(row, 0).data().toString();
    }

    ScriptedPrompter prompts;
};

TEST_F(ListBrowserViewTest, KeysAndScrollBarDriveThePage) {
    auto b = people();
    ListBrowserView view(*b);
    showView(view);
    b->open(0);
    const int page = b->pageSize();
    EXPECT_EQ(page, view.visibleRows());
    ASSERT_GT(page, 2);
    ASSERT_LT(page, 40);
    EXPECT_EQ(view.table()->model()->rowCount(), page);
    EXPECT_EQ(view.table()->model()->headerData(0, Qt::Horizontal).toString(), "Prezime");
    EXPECT_EQ(cell(view, 0), "Aprezime0");
    EXPECT_TRUE(view.scrollBar()->isVisible());

    QSignalSpy moved(&view, &ListBrowserView::selectionChanged);
    QTest::keyClick(view.table(), Qt::Key_Down);
    EXPECT_EQ(b->selected(), 2);
    EXPECT_EQ(view.table()->currentIndex().row(), 1);
    EXPECT_EQ(moved.count(), 1);
    EXPECT_EQ(OSO.PREZIME, "Aprezime1");

    QTest::keyClick(view.table(), Qt::Key_PageDown);
    EXPECT_EQ(OSO.OZNAKA, 2 + page);
    QTest::keyClick(view.table(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(OSO.PREZIME, "Mprezime3");
    EXPECT_EQ(view.table()->currentIndex().row(), page - 1);
    EXPECT_EQ(view.scrollBar()->value(), b->thumb());
    QTest::keyClick(view.table(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(OSO.PREZIME, "Aprezime0");

    // Letters go to the incremental locator; Backspace takes one back.
    QTest::keyClicks(view.table(), "gp");
    EXPECT_EQ(b->locatorText(), "gp");
    EXPECT_EQ(OSO.PREZIME, "Gprezime0");
    EXPECT_EQ(cell(view, 0), "Gprezime0");
    QTest::keyClick(view.table(), Qt::Key_Backspace);
    EXPECT_EQ(b->locatorText(), "g");

    // The scroll bar's arrow and a drag of its thumb.
    view.scrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(OSO.PREZIME, "Gprezime1");
    view.scrollBar()->setSliderDown(true);
    view.scrollBar()->setSliderPosition(44);  // "KT": the first surname after it begins with M
    view.scrollBar()->setSliderDown(false);
    EXPECT_EQ(OSO.PREZIME, "Mprezime0");
}

TEST_F(ListBrowserViewTest, ButtonsKeysAndMouseCallTheFormOrChoose) {
    auto b = people();
    std::vector<LONG> requests;
    b->update = [&](LONG request) {
        requests.push_back(request);
        return LONG(REQUESTCANCELLED);
    };
    ListBrowserView view(*b);
    showView(view);
    b->open(0);

    QTest::keyClick(view.table(), Qt::Key_Insert);
    QTest::keyClick(view.table(), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(view.table(), Qt::Key_Delete);
    const QRect third = view.table()->visualRect(view.table()->model()->index(2, 0));
    QTest::mouseDClick(view.table()->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(requests, (std::vector<LONG>{INSERTRECORD, CHANGERECORD, DELETERECORD, CHANGERECORD}));
    EXPECT_EQ(OSO.PREZIME, "Aprezime2");

    prompts.popupAnswers = {1};
    QTest::mouseClick(view.table()->viewport(), Qt::RightButton, {}, third.center());
    ASSERT_EQ(prompts.popups.size(), 1u);
    EXPECT_EQ(prompts.popups[0], "&Unesi|&Mijenjaj|&Briši|-|~O&daberi");
    EXPECT_EQ(requests.back(), INSERTRECORD);

    // A chooser chooses with Enter and says it is done.
    auto chooser = people();
    ListBrowserView choices(*chooser);
    showView(choices);
    QSignalSpy closed(&choices, &ListBrowserView::closed);
    OSOBE.clear();  // nothing proposed: the chooser opens at the start
    chooser->open(SELECTRECORD);
    QTest::keyClick(choices.table(), Qt::Key_Down);
    QTest::keyClick(choices.table(), Qt::Key_Return);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(chooser->response(), REQUESTCOMPLETED);
    EXPECT_EQ(OSO.PREZIME, "Aprezime1");
}

TEST_F(ListBrowserViewTest, DetailViewFollowsTheMasterView) {
    ListBrowser places(MJESTA, "132L(2)|M~Mjesto~@s25@", {ColumnSource::of(MJESTA, "NAZIV")});
    places.addSortOrder({MJESTA.KEYNAZIV, Locator::None, Stops::None, {}, {}});
    auto recipients = people();
    recipients->addSortOrder({OSOBE.KEYMJESTO, Locator::None, Stops::None, [] { return int64_t(MJE.OZNAKA); }, {}});
    recipients->follow(places);
    ListBrowserView master(places), detail(*recipients);
    showView(master);
    showView(detail);
    places.open(0);
    recipients->open(0);
    recipients->setSortOrder(2);
    EXPECT_EQ(cell(detail, 0), "Aprezime0");  // Split: records 1, 3, 5 ...
    EXPECT_EQ(cell(detail, 1), "Aprezime2");
    QTest::keyClick(master.table(), Qt::Key_Down);
    EXPECT_EQ(cell(detail, 0), "Aprezime1");  // Zagreb
    EXPECT_EQ(cell(detail, 1), "Aprezime3");
}

}  // namespace
