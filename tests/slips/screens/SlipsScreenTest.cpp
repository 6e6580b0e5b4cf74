// The slips as the user gets them: from the payments window's buttons into
// the previews, and every barcode on a sheet read back by a decoder that
// knows nothing of how it was made.
#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QTest>

#include "demo/DemoData.h"
#include "frame/Main.h"
#include "frame/Screens.h"
#include "payments/screens/Payments.h"
#include "preview/KelReportViewer.h"
#include "preview/ReportPreview.h"
#include "preview/WmfPlayer.h"
#include "report/PageFiles.h"
#include "slips/Slips.h"
#include "slips/SlipsFixture.h"
#include "support/ExportRun.h"
#include "support/ScreenDriver.h"
#include "support/TempFolder.h"
#include "ui/screens/Runtime.h"

using namespace marel;
using namespace marel::test;

namespace {

template <class W>
W* openWindow() {
    for (QWidget* w : QApplication::allWidgets())
        if (auto* p = qobject_cast<W*>(w); p && p->isVisible()) return p;
    return nullptr;
}

void closeAll() {
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::vector<std::string> split(const std::string& s) {
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t at; (at = s.find('\n', from)) != std::string::npos; from = at + 1) lines.push_back(s.substr(from, at - from));
    lines.push_back(s.substr(from));
    return lines;
}

// The barcode of slip `index` (0 to 2) on an A4 sheet of three, read from
// the page drawn at 300 dots per inch.
ZXing::Result readSlip(const Page& page, int index) {
    const int dpi = 300;
    QImage sheet = renderPage(page, QSize(210 * dpi * 10 / 254, 297 * dpi * 10 / 254));
    if (sheet.isNull()) return {};
    auto px = [](double mm) { return int(mm * dpi / 25.4); };
    const int top = px(297.0 / 3 * index);
    // The barcode area of the form, with a margin.
    QImage area = sheet.copy(px(2), top + px(52), px(72), px(46)).convertToFormat(QImage::Format_Grayscale8);
    ZXing::ImageView view(area.constBits(), area.width(), area.height(), ZXing::ImageFormat::Lum,
                          int(area.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417);
    hints.setTryHarder(true);
    hints.setCharacterSet("ISO-8859-2");
    return ZXing::ReadBarcode(view, hints);
}

class SlipBarcodes : public SlipsFixture {
protected:
    void TearDown() override {
        closeAll();
        SlipsFixture::TearDown();
    }
};

TEST_F(SlipBarcodes, EveryBarcodeOnTheSheetsDecodesToItsSlipsOwnData) {
    line(1, 1, 1, AUTHOR, kAuthorFee);
    line(2, 1, 2, DIVIDEND, kDividend);
    PaymentSlips slips;
    ASSERT_EQ(readPaymentSlips(1, SlipForm::Hub3A, slips), SlipsRead::Done);
    ASSERT_EQ(slips.transfers.size(), 7u);  // net, tax, net, tax, pension I and II, health
    // Đuro has no account and Split keeps no tax account (its slip would
    // carry the bare "1001005"): the check list keeps both slips off the sheets.
    slips.transfers.erase(slips.transfers.begin() + 2, slips.transfers.begin() + 4);

    // The recipient's slip and the tax slip, line by line as worked out by
    // hand: each value at the length of its own line of the record.
    const std::vector<std::vector<std::string>> byHand = {
        {"HRVHUB30", "HRK", "000000000069480", "Šećerana Čađavica, Đakovo d.o.", "Ulica  grada   Vukovara 12a",
         "10000 Zagreb", "Ivana Horvat", "Ilica 3", "10000 Zagreb", kIvanaIban, "HR01", "123-45", "",
         "Autorski honorar - Ivana Horvat"},
        {"HRVHUB30", "HRK", "000000000016520", "Šećerana Čađavica, Đakovo d.o.", "Ulica  grada   Vukovara 12a",
         "10000 Zagreb", "Porez i prirez na dohodak", "", "Grad Zagreb", kZagrebTax, "HR68",
         "1945-69435151530-14036", "", "Uplata poreza i prireza na dohodak"},
    };

    for (bool plain : {false, true}) {
        SCOPED_TRACE(plain ? "plain paper" : "pre-printed forms");
        auto report = slipsReport({.payment = 1, .form = SlipForm::Hub3A, .printer = 'L', .plainPaper = plain});
        ASSERT_NE(report, nullptr);
        ASSERT_EQ(report->pages().size(), 2u);
        for (size_t i = 0; i < slips.transfers.size(); ++i) {
            SCOPED_TRACE("slip " + std::to_string(i + 1));
            const ZXing::Result r = readSlip(report->pages()[i / 3], int(i % 3));
            ASSERT_TRUE(r.isValid()) << "no barcode read";
            EXPECT_EQ(r.ecLevel(), "4");
            const std::vector<std::string> got = split(r.text());
            ASSERT_EQ(got.size(), 14u) << r.text();
            if (i < byHand.size()) {
                EXPECT_EQ(got, byHand[i]);
            }

            // What the slip prints, line for line.
            const Transfer& t = slips.transfers[i];
            const std::string digits = t.amount.toString(2);
            std::string lipa = digits.substr(0, digits.size() - 3) + digits.substr(digits.size() - 2);
            EXPECT_EQ(got[2], std::string(15 - lipa.size(), '0') + lipa);
            EXPECT_EQ(got[3], rtrim(utf8Prefix(slips.payer.name, 30)));
            EXPECT_EQ(got[9], t.iban);
            EXPECT_EQ(got[10], t.model);
            EXPECT_EQ(got[11], t.reference);
            EXPECT_EQ(got[13], rtrim(utf8Prefix(t.description, 35)));
        }
    }
    ASSERT_FALSE(ask.messages.empty());
    const std::string told = ask.last().text;
    EXPECT_NE(told.find("Nalog 3 (Đuro Šimić): nije unesen IBAN primatelja."), std::string::npos) << told;
    EXPECT_NE(told.find("Nalog 4 (porez i prirez, Đuro Šimić): IBAN primatelja \"1001005\" nije ispravan"),
              std::string::npos)
        << told;
}

// The payments window's two buttons, worked as the bookkeeper does.
class SlipButtons : public SlipsFixture {
protected:
    void SetUp() override {
        SlipsFixture::SetUp();
        openFiles({&JOPO});
        line(1, 1, 1, AUTHOR, kAuthorFee);
        registerAllScreens();
        frame = new MAIN;
        setWindowHost(frame);
        frame->resize(1200, 800);
        frame->show();
    }
    void TearDown() override {
        closeAll();
        delete frame;
        SlipsFixture::TearDown();
    }
    static std::string text(const std::vector<Page>& pages) {
        std::string all;
        for (const Page& p : pages)
            for (const std::string& l : pageText(p)) all += l + "\n";
        return all;
    }
    static QRadioButton* radio(QWidget* w, const char* caption) {
        for (auto* r : w->findChildren<QRadioButton*>())
            if (r->text() == QString::fromUtf8(caption)) return r;
        return nullptr;
    }
    MAIN* frame = nullptr;
};

TEST_F(SlipButtons, Hub3PreviewsOnDotMatrixFormsAndHub3ASwitchesToTheLaserPrinter) {
    screens::ISPLATE_SCREEN* w = openScreen<screens::ISPLATE_SCREEN>(*frame, "ISPLATE");
    ASSERT_NE(w, nullptr);
    QRadioButton* laser = radio(w, "Laserski");
    ASSERT_NE(laser, nullptr);
    EXPECT_FALSE(laser->isChecked());
    ASSERT_TRUE(w->builder().control("hub3")->isEnabled());

    // HUB3: one continuous form per slip (net, tax, three contributions).
    click(w->builder(), "hub3");
    REPORTPREVIEW* simple = openWindow<REPORTPREVIEW>();
    ASSERT_NE(simple, nullptr);
    EXPECT_EQ(simple->state().count(), 5);
    simple->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // HUB3A: the window switches to the laser printer; sheets of three forms.
    click(w->builder(), "hub3a");
    EXPECT_TRUE(laser->isChecked());
    KELREPORTVIEWER* viewer = openWindow<KELREPORTVIEWER>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->windowTitle(), QString::fromUtf8("Nalozi za plaćanje HUB 3A"));
    EXPECT_EQ(viewer->zoomName(), "No Zoom");
    ASSERT_EQ(viewer->pages().size(), 2u);
    const std::string forms = text(viewer->pages());
    EXPECT_NE(forms.find(kIvanaIban), std::string::npos) << forms;
    EXPECT_EQ(forms.find("NALOG ZA PLAĆANJE"), std::string::npos) << forms;
    viewer->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // On plain paper the forms are drawn whole around the same data.
    QCheckBox* plain = nullptr;
    for (auto* c : w->findChildren<QCheckBox*>())
        if (c->text() == QString::fromUtf8("Ispis na čisti papir")) plain = c;
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->isChecked());
    QTest::mouseClick(plain, Qt::LeftButton, {}, QPoint(5, plain->height() / 2));
    ASSERT_TRUE(plain->isChecked());
    click(w->builder(), "hub3a");
    viewer = openWindow<KELREPORTVIEWER>();
    ASSERT_NE(viewer, nullptr);
    const std::string sheets = text(viewer->pages());
    EXPECT_NE(sheets.find("NALOG ZA PLAĆANJE"), std::string::npos) << sheets;
    EXPECT_NE(sheets.find("****694,80"), std::string::npos) << sheets;
}

}  // namespace

namespace {

// `marel export HUB3 / HUB3A` on the demo data folder.
class SlipExports : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(makeDemoData(data.str()), ""); }
    ExportRun run(std::vector<std::string> args) {
        args.insert(args.end(), {"--data", data.str()});
        return runExport(args, out.str());
    }
    TempFolder data, out;
};

TEST_F(SlipExports, SlipsExportAsPagesOrPdfAndBadCallsSayWhy) {
    ExportRun pages = run({"HUB3", "--out", "hub3", "isplata=1", "printer=M", "param=1"});
    ASSERT_EQ(pages.exitCode, 0) << pages.err;
    const std::string text = exportedTextJoined((out.path() / "hub3").string());
    EXPECT_NE(text.find("DRŽAVNI PRORAČUN"), std::string::npos) << text;
    EXPECT_NE(text.find("Porez i prirez"), std::string::npos) << text;
    EXPECT_NE(text.find("HR68"), std::string::npos) << text;

    ExportRun pdf = run({"HUB3A", "--out", "hub3a.pdf", "isplata=1", "papir=cisti"});
    ASSERT_EQ(pdf.exitCode, 0) << pdf.err;
    EXPECT_EQ(readFile(out.path() / "hub3a.pdf").substr(0, 5), "%PDF-");

    ExportRun missing = run({"HUB3A", "--out", "x.pdf", "isplata=99"});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_EQ(missing.err, "Isplata 99 ne postoji.\n");
    ExportRun printer = run({"HUB3", "--out", "y.pdf", "isplata=1", "printer=X"});
    EXPECT_NE(printer.exitCode, 0);
    EXPECT_EQ(printer.err, "Vrsta pisača (printer=) mora biti M (matrični) ili L (laserski): X\n");
    ExportRun paper = run({"HUB3A", "--out", "z.pdf", "isplata=1", "papir=plavi"});
    EXPECT_NE(paper.exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(out.path() / "x.pdf"));
    EXPECT_FALSE(std::filesystem::exists(out.path() / "z.pdf"));
}

}  // namespace
