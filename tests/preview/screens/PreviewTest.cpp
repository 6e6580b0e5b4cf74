#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <fstream>
#include <regex>
#include <sstream>

#include "common/Prompter.h"
#include "common/Text.h"
#include "preview/KelReportViewer.h"
#include "preview/PageView.h"
#include "preview/Printing.h"
#include "preview/ReportPreview.h"
#include "preview/WmfPlayer.h"
#include "report/PageFiles.h"
#include "support/TempFolder.h"
#include "ui/screens/QtPrompter.h"

using namespace marel;
namespace fs = std::filesystem;

// Readable failures.
static void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int pdfPages(const std::string& path) {
    std::string pdf = slurp(path);
    std::regex page("/Type\\s*/Page[^s]");
    return int(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

// A report of `count` pages, each naming itself and carrying the page-number placeholder.
std::unique_ptr<Report> numberedPages(int count) {
    auto r = std::make_unique<Report>("Probni ispis");
    for (int i = 1; i <= count; ++i) {
        Canvas& c = r->page();
        c.box({700, 700, 6868, 10000});
        c.text({1000, 1000, 6000, 600}, "Stranica broj " + std::to_string(i), Font{.size = 28, .bold = true});
        c.text({700, 11000, 6868, 200}, std::string(PAGE_PLACEHOLDER), Font{}, Align::Center);
        r->endPage();
    }
    r->close();
    return r;
}

// Runs `fill` on the modal dialog that the next action opens.
template <class F>
void onDialog(F fill) {
    QTimer::singleShot(0, [fill] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        fill(d);
    });
}

template <class W>
W* child(QObject* parent, const char* name) {
    W* w = parent->findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void deleteClosed() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class Preview : public ::testing::Test {
protected:
    void SetUp() override {
        setPrompter(&ask);
        sharedPrinter().setOutputFormat(QPrinter::PdfFormat);
        sharedPrinter().setOutputFileName(QString::fromStdString(pdf));
    }
    void TearDown() override {
        setPrompter(nullptr);
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
        deleteClosed();
    }
    QString status(QWidget* w, const char* name) { return child<QLabel>(w, name)->text(); }
    bool enabled(QWidget* w, const char* name) { return child<QToolButton>(w, name)->isEnabled(); }
    void click(QWidget* w, const char* name) { child<QToolButton>(w, name)->click(); }
    // Keys reach a window's shortcuts only while it is the active one.
    static void pressKey(QWidget* window, QWidget* target, Qt::Key key) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(target, key);
    }

    ScriptedPrompter ask;
    test::TempFolder tmp;
    std::string pdf = (tmp.path() / "ispis.pdf").string();
    std::optional<bool> printed;
};

}  // namespace

TEST_F(Preview, OnePageReport) {
    auto* v = KELREPORTVIEWER::DISPLAY(numberedPages(1), "Popis općina  ", "No Zoom", false,
                                       [this](bool p) { printed = p; });
    ASSERT_NE(v, nullptr);
    const Page page = v->pages()[0];
    EXPECT_EQ(v->windowTitle(), QString::fromUtf8("Popis općina"));
    EXPECT_EQ(status(v, "zoomStatus"), "No Zoom");
    EXPECT_EQ(status(v, "pageStatus"), "Page 1 of 1");
    for (const char* name : {"previous", "next", "first", "last", "delete"}) EXPECT_FALSE(enabled(v, name)) << name;
    for (const char* name : {"mark", "printPage", "savePage", "print", "saveAll", "leave"}) EXPECT_TRUE(enabled(v, name)) << name;
    // Jumping is limited to the one page there is.
    onDialog([](QDialog* d) {
        auto* page = child<QSpinBox>(d, "page");
        EXPECT_EQ(page->maximum(), 1);
        page->setValue(5);
        d->accept();
    });
    click(v, "jump");
    EXPECT_EQ(v->state().page, 1);
    EXPECT_NE(pageText(page).back().find("Page 1 of 1"), std::string::npos);

    // The page is drawn: dark pixels where the big heading is.
    QImage image = renderPage(page, QSize(400, 566));
    int dark = 0;
    for (int y = 40; y < 80; ++y)
        for (int x = 40; x < 300; ++x) dark += qGray(image.pixel(x, y)) < 100;
    EXPECT_GT(dark, 200);

    click(v, "mark");
    EXPECT_EQ(status(v, "markStatus"), "Marked");
    EXPECT_EQ(child<QToolButton>(v, "mark")->toolTip(), "Unmark Page");
    click(v, "mark");
    EXPECT_EQ(status(v, "markStatus"), "");
    EXPECT_EQ(child<QToolButton>(v, "mark")->toolTip(), "Mark Page");

    // Esc leaves without printing, as the button does.
    pressKey(v, v, Qt::Key_Escape);
    EXPECT_EQ(printed, false);
}

TEST_F(Preview, TwelvePagesAsThumbnailsMarkedAndPrinted) {
    auto* v = KELREPORTVIEWER::DISPLAY(numberedPages(12), "", "Page Width", false, [this](bool p) { printed = p; });
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->windowTitle(), "Report Preview");
    EXPECT_EQ(status(v, "zoomStatus"), "Page Width");
    EXPECT_EQ(status(v, "pageStatus"), "Page 1 of 12");
    ASSERT_NE(v->view()->zoomImage(), nullptr);
    EXPECT_GT(v->view()->zoomImage()->width(), 600);

    onDialog([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Promjeni prikaz");
        child<QSpinBox>(d, "across")->setValue(2);
        child<QSpinBox>(d, "down")->setValue(2);
        d->accept();
    });
    click(v, "thumbnails");
    EXPECT_EQ(status(v, "zoomStatus"), "No Zoom");
    EXPECT_EQ(status(v, "pageStatus"), "Pages 1-4 of 12");
    ASSERT_EQ(v->view()->placeCount(), 4);
    for (const char* name : {"mark", "delete", "printPage", "savePage", "previous"}) EXPECT_FALSE(enabled(v, name)) << name;
    EXPECT_TRUE(enabled(v, "next"));
    click(v, "next");
    EXPECT_EQ(status(v, "pageStatus"), "Pages 5-8 of 12");
    pressKey(v, v->view(), Qt::Key_PageDown);
    EXPECT_EQ(status(v, "pageStatus"), "Pages 9-12 of 12");
    EXPECT_FALSE(enabled(v, "next"));
    EXPECT_TRUE(enabled(v, "previous"));

    // Thumbnail 2 of the grid is page 10: it opens at page width.
    QTest::mouseClick(v->view()->place(2), Qt::LeftButton);
    EXPECT_EQ(status(v, "zoomStatus"), "Page Width");
    EXPECT_EQ(status(v, "pageStatus"), "Page 10 of 12");
    QTest::mouseClick(v->view()->zoomImage(), Qt::LeftButton);
    EXPECT_EQ(status(v, "pageStatus"), "Pages 10-12 of 12");
    EXPECT_FALSE(v->view()->place(4)->isVisible());

    // Mark pages 2 and 5 one by one.
    for (int page : {2, 5}) {
        onDialog([page](QDialog* d) {
            EXPECT_EQ(d->windowTitle(), QString::fromUtf8("Skoči na stranicu: "));
            child<QSpinBox>(d, "page")->setValue(page);
            d->accept();
        });
        click(v, "jump");
        onDialog([](QDialog* d) {
            child<QSpinBox>(d, "across")->setValue(1);
            child<QSpinBox>(d, "down")->setValue(1);
            d->accept();
        });
        click(v, "thumbnails");
        click(v, "mark");
    }
    EXPECT_EQ(v->state().markedCount(), 2);

    // Unmarked pages, two copies, not collated: 10 pages twice.
    onDialog([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Opcije ispisa");
        EXPECT_TRUE(child<QRadioButton>(d, "option3")->isEnabled());
        EXPECT_FALSE(child<QSpinBox>(d, "from")->isEnabled());
        child<QRadioButton>(d, "option3")->setChecked(true);
        child<QSpinBox>(d, "copies")->setValue(2);
        child<QCheckBox>(d, "collate")->setChecked(false);
        child<QPushButton>(d, "accept")->click();
    });
    click(v, "print");
    EXPECT_EQ(printed, true);
    EXPECT_EQ(pdfPages(pdf), 20);
}

TEST_F(Preview, PrintDialogRefusesMarkedChoicesWithoutMarksAndCancels) {
    auto* v = KELREPORTVIEWER::DISPLAY(numberedPages(3), "Tri", "Zoom (50%)", false, [this](bool p) { printed = p; });
    onDialog([](QDialog* d) {
        EXPECT_FALSE(child<QRadioButton>(d, "option2")->isEnabled());
        EXPECT_FALSE(child<QRadioButton>(d, "option3")->isEnabled());
        EXPECT_TRUE(child<QRadioButton>(d, "option1")->isChecked());
        child<QPushButton>(d, "choosePrinter")->click();
        child<QPushButton>(d, "cancel")->click();
    });
    click(v, "print");
    EXPECT_EQ(ask.printerTitles, std::vector<std::string>{"Select A Printer"});
    EXPECT_FALSE(printed.has_value());
    EXPECT_TRUE(v->isVisible());

    // Only the current page, the preview stays.
    click(v, "next");
    click(v, "printPage");
    EXPECT_EQ(pdfPages(pdf), 1);
    EXPECT_TRUE(v->isVisible());

    // Deleting the current page removes it and shows the page before.
    click(v, "delete");
    EXPECT_EQ(status(v, "pageStatus"), "Page 1 of 2");
    ASSERT_EQ(v->pages().size(), 2u);
    EXPECT_EQ(trim(pageText(v->pages()[1]).front()), "Stranica broj 3");
}

TEST_F(Preview, SavingPagesAsMetafileTextAndPdf) {
    auto* v = KELREPORTVIEWER::DISPLAY(numberedPages(3), "Tri", "Zoom (100%)", false);
    click(v, "next");
    const Page page = v->pages()[1];
    std::string wmf = (tmp.path() / "Strana.Wmf").string(), txt = (tmp.path() / "strana.txt").string();
    ask.fileAnswers = {wmf, txt, std::nullopt};
    click(v, "savePage");
    EXPECT_EQ(slurp(wmf), page.wmf());
    click(v, "savePage");
    std::string expected;
    for (const auto& line : pageText(page)) expected += line + "\n";
    EXPECT_EQ(slurp(txt), expected);
    EXPECT_NE(expected.find("Stranica broj 2"), std::string::npos);
    EXPECT_NE(expected.find("Page 2 of 3"), std::string::npos);
    click(v, "savePage");  // cancelled: nothing happens
    EXPECT_TRUE(ask.messages.empty());

    // All pages in a range, to the file chosen in the dialog.
    std::string all = (tmp.path() / "sve.txt").string();
    ask.fileAnswers = {all};
    onDialog([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Snimi sve stranice u datoteku...");
        EXPECT_EQ(child<QLineEdit>(d, "file")->text(), "Save.txt");
        child<QPushButton>(d, "chooseFile")->click();
        child<QRadioButton>(d, "option4")->setChecked(true);
        child<QSpinBox>(d, "from")->setValue(2);
        child<QSpinBox>(d, "to")->setValue(3);
        child<QPushButton>(d, "accept")->click();
    });
    click(v, "saveAll");
    std::string text = slurp(all);
    EXPECT_EQ(text.find("Stranica broj 1"), std::string::npos);
    EXPECT_NE(text.find("Stranica broj 2"), std::string::npos);
    EXPECT_NE(text.find("Stranica broj 3"), std::string::npos);

    std::string out = (tmp.path() / "report.pdf").string();
    ask.fileAnswers = {out};
    click(v, "pdf");
    EXPECT_EQ(pdfPages(out), 3);
    // Offered under the report's name, without what no file system takes in a name.
    EXPECT_EQ(ask.fileRequests.back().initial, "Probni ispis.pdf");
    EXPECT_EQ(pdfFileName("Isplata 3/2014: \"ožujak\""), "Isplata 3-2014- -ožujak-.pdf");
    EXPECT_EQ(pdfFileName(" "), "Izvještaj.pdf");
}

// Pages are kept in memory: building, showing, printing and saving them as
// PDF leaves nothing in the temporary folder.
TEST_F(Preview, PagesNeverGoThroughTheTemporaryFolder) {
    test::TempFolder temporary;
    const QByteArray before = qgetenv("TMPDIR");
    qputenv("TMPDIR", QByteArray::fromStdString(temporary.str()));
    std::unique_ptr<Report> built;
    KELREPORTVIEWER* v = nullptr;
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"built", [&] { built = numberedPages(3); }},
        {"shown", [&] { v = KELREPORTVIEWER::DISPLAY(std::move(built), "Tri", "Zoom (100%)", false); }},
        {"next page", [&] { click(v, "next"); }},
        {"printed", [&] { click(v, "printPage"); }},
        {"as PDF", [&] {
             ask.fileAnswers = {(tmp.path() / "tri.pdf").string()};
             click(v, "pdf");
         }},
        {"simple preview", [&] { REPORTPREVIEW::open(numberedPages(2))->next(); }},
    };
    for (const auto& [step, run] : steps) {
        run();
        EXPECT_TRUE(fs::is_empty(temporary.path())) << step;
    }
    EXPECT_EQ(pdfPages((tmp.path() / "tri.pdf").string()), 3);
    if (before.isNull()) qunsetenv("TMPDIR");
    else qputenv("TMPDIR", before);
}

TEST_F(Preview, ProgressWindowShowsPercentAndCancels) {
    ProgressWindow progress;
    EXPECT_EQ(progress.windowTitle(), "Generating Report");
    EXPECT_EQ(child<QLabel>(&progress, "percent")->text(), "0% Completed");
    ProgressFn report = progress.callback();
    EXPECT_TRUE(report(42));
    EXPECT_EQ(child<QLabel>(&progress, "percent")->text(), "42% Completed");
    child<QPushButton>(&progress, "cancel")->click();
    EXPECT_FALSE(report(43));
}

TEST_F(Preview, SimplePreviewOfOnePage) {
    std::optional<int> response;
    auto* p = REPORTPREVIEW::open(numberedPages(1), [&](int r, Report& report) {
        response = r;
        EXPECT_EQ(report.pages().size(), 1u);  // still there to be printed
    });
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->windowTitle(), "Preview ispisa");
    EXPECT_EQ(status(p, "zoomStatus"), "No Zoom");
    EXPECT_EQ(status(p, "pageStatus"), "Page 1 of 1");
    for (const char* name : {"page", "across", "down"}) EXPECT_FALSE(child<QSpinBox>(p, name)->isEnabled()) << name;
    EXPECT_FALSE(child<QMenu>(p, "viewMenu")->isEnabled());

    ask.popupAnswers = {3};
    child<QAction>(p, "zoomPopup")->trigger();
    EXPECT_EQ(ask.popups.at(0), "+No Zoom|-|-Page Width|-50%|-75%|-100%|-200%|-300%");
    EXPECT_EQ(status(p, "zoomStatus"), "Zoom (50%)");
    ASSERT_NE(p->view()->zoomImage(), nullptr);
    EXPECT_EQ(p->view()->zoomImage()->width(), p->view()->natural().width() / 2);

    child<QAction>(p, "print")->trigger();
    EXPECT_EQ(response, 1);

    auto* q = REPORTPREVIEW::open(numberedPages(5), [&](int r, Report&) { response = r; });
    EXPECT_EQ(child<QSpinBox>(q, "page")->toolTip(), "Unesi br. strane od 1 do 5");
    child<QSpinBox>(q, "across")->setValue(3);
    EXPECT_EQ(status(q, "pageStatus"), "Pages 1-3 of 5");
    pressKey(q, q->view(), Qt::Key_PageDown);
    EXPECT_EQ(status(q, "pageStatus"), "Pages 4-5 of 5");
    EXPECT_EQ(child<QSpinBox>(q, "page")->value(), 4);
    // Esc leaves without printing.
    pressKey(q, q->view(), Qt::Key_Escape);
    EXPECT_EQ(response, 2);
}
