#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPrinter>
#include <fstream>
#include <regex>
#include <sstream>

#include "codelists/screens/OpcineIspisScreen.h"
#include "preview/ReportPreview.h"
#include "support/StoreFixture.h"
#include "ui/screens/QtPrompter.h"

using namespace marel;

namespace {

REPORTPREVIEW* openPreview() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<REPORTPREVIEW*>(w); p && p->isVisible()) return p;
    return nullptr;
}

class OpcineIspisScreen : public test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        sharedPrinter().setOutputFormat(QPrinter::PdfFormat);
        sharedPrinter().setOutputFileName(QString::fromStdString(pdf));
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        StoreFixture::TearDown();
    }
    std::string pdf = (folder.path() / "opcine.pdf").string();
};

}  // namespace

TEST_F(OpcineIspisScreen, EmptyFileShowsNoPreview) {
    OPCINEISPIS();
    EXPECT_EQ(openPreview(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST_F(OpcineIspisScreen, ListIsPreviewedAndPrintedOnConfirmation) {
    openFiles({&OPCINE});
    OPCINE.clear();
    OPC.OZNAKA = 1;
    OPC.NAZIV = "Zagreb";
    OPC.STOPAPRIREZA = Decimal(18);
    ASSERT_EQ(OPCINE.add(), 0);
    OPCINEISPIS();
    REPORTPREVIEW* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->state().count(), 1);
    preview->findChild<QAction*>(QStringLiteral("print"))->trigger();
    std::ifstream in(pdf, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    std::string s = content.str();
    std::regex page("/Type\\s*/Page[^s]");
    EXPECT_EQ(std::distance(std::sregex_iterator(s.begin(), s.end(), page), std::sregex_iterator()), 1);
}
