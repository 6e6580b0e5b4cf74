#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>

#include "demo/DemoData.h"
#include "payments/Recapitulation.h"
#include "payments/screens/Payments.h"
#include "preview/KelReportViewer.h"
#include "preview/ReportPreview.h"
#include "report/Export.h"
#include "report/PageFiles.h"
#include "support/FrameFixture.h"
#include "support/ScreenDriver.h"
#include "ui/screens/ListBrowserView.h"

using namespace marel;
using namespace marel::test;

namespace {

// The demo data in the running frame: the payments window on its newest
// payment, whose papers the bookkeeper prints.
class PaymentPrintsTest : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        for (const char* table : {"VRSTEDOH", "POZICIJE", "PORSTOPE", "NEOPOREZ", "VBRAT", "JOPOZIJE"})
            ASSERT_EQ(Store::main().loadTable(table, suppliedDataDir()), 0) << table;
        ASSERT_EQ(fillDemoData(), "");
    }
    void TearDown() override {
        for (QMdiSubWindow* s : frame->area()->subWindowList()) s->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        FrameFixture::TearDown();
    }
    // The preview of type P that the last button opened, its text, and closes it.
    template <class P>
    std::string previewed() {
        QApplication::processEvents();
        std::vector<QWidget*> windows;
        for (QMdiSubWindow* s : frame->area()->subWindowList()) windows.push_back(s->widget());
        for (QWidget* w : QApplication::topLevelWidgets()) windows.push_back(w);
        for (QWidget* w : windows)
            if (auto* p = qobject_cast<P*>(w); p && !p->isHidden()) {
                std::string text;
                for (const Page& page : pagesOf(p))
                    for (const std::string& l : pageText(page)) text += l + "\n";
                p->close();
                QApplication::processEvents();
                return text;
            }
        return "(no preview)";
    }
    static const std::vector<Page>& pagesOf(KELREPORTVIEWER* v) { return v->pages(); }
    static const std::vector<Page>& pagesOf(REPORTPREVIEW* p) { return p->pages(); }
};

}  // namespace

TEST_F(PaymentPrintsTest, TheFourButtonsPrintTheHighlightedPaymentAndLine) {
    auto* w = openScreen<screens::ISPLATE_SCREEN>(*frame, "ISPLATE");
    ASSERT_NE(w, nullptr);
    WindowBuilder& b = w->builder();
    for (const char* id : {"obracun", "obracundoh", "jopa", "jopb"})
        EXPECT_TRUE(b.control(id)->isEnabled()) << id;
    const auto* payment = w->view(0)->browser().selectedRow();
    ASSERT_NE(payment, nullptr);
    const std::string rsid = payment->values[0];

    click(b, "obracun");
    std::string text = previewed<REPORTPREVIEW>();
    EXPECT_NE(text.find("Rekapitulacija za isplatu:"), std::string::npos) << text;
    EXPECT_NE(text.find(rsid), std::string::npos) << text;
    EXPECT_NE(text.find(RECAP_TOTAL), std::string::npos);

    // The highlighted income line's recapitulation.
    click(b, "obracundoh");
    text = previewed<REPORTPREVIEW>();
    EXPECT_NE(text.find("Rekapitulacija za:"), std::string::npos) << text;
    EXPECT_NE(text.find("JMBG:"), std::string::npos);

    click(b, "jopa");
    text = previewed<REPORTPREVIEW>();
    EXPECT_NE(text.find("- stranica A -"), std::string::npos) << text;
    EXPECT_NE(text.find(rsid), std::string::npos);

    // Page B goes to the report previewer, one row per income line.
    click(b, "jopb");
    text = previewed<KELREPORTVIEWER>();
    EXPECT_NE(text.find("- stranica B -"), std::string::npos) << text;
    EXPECT_NE(text.find(rsid), std::string::npos);
    EXPECT_TRUE(ask.messages.empty());

    // The window still shows what it showed.
    ASSERT_NE(w->view(0)->browser().selectedRow(), nullptr);
    EXPECT_EQ(w->view(0)->browser().selectedRow()->values[0], rsid);
}

TEST_F(PaymentPrintsTest, APaymentWithoutLinesHasNoPageBAndNoLineToRecapitulate) {
    openFiles({&ISPLATE});
    ISPLATE.clear();
    ISP.OZNAKA = 3;
    ISP.ISPLATITELJ = 1;
    ISP.DATUM = Date::fromYmd(2014, 5, 20);
    ISP.GODINA = "2014";
    ISP.RSID = "14140";
    ASSERT_EQ(ISPLATE.add(), 0);
    auto* w = openScreen<screens::ISPLATE_SCREEN>(*frame, "ISPLATE");
    ASSERT_NE(w, nullptr);
    WindowBuilder& b = w->builder();
    ASSERT_EQ(w->view(0)->browser().selectedRow()->values[0], "14140");
    EXPECT_FALSE(b.control("obracundoh")->isEnabled());

    click(b, "jopb");
    EXPECT_EQ(previewed<KELREPORTVIEWER>(), "(no preview)");
    EXPECT_EQ(ask.last().text, NOTHING_TO_PRINT);

    // Page A still prints its heading, with nobody counted.
    click(b, "jopa");
    const std::string text = previewed<REPORTPREVIEW>();
    const size_t at = text.find("BROJ OSOBA ZA KOJE SE");
    ASSERT_NE(at, std::string::npos) << text;
    const std::string counts = text.substr(at, text.find('\n', at) - at);
    EXPECT_EQ(counts.substr(counts.find_last_not_of(' ')), "0") << counts;
}
