#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QMdiArea>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "demo/DemoData.h"
#include "frame/Main.h"
#include "frame/Screens.h"
#include "frame/Screenshots.h"
#include "report/Export.h"
#include "session/Globals.h"
#include "store/Records.h"
#include "support/FrameFixture.h"
#include "ui/screens/ListBrowserView.h"
#include "ui/screens/ListWindow.h"

using namespace marel;

namespace {

// The screenshot walk on two screens of the demo folder, so that it keeps
// working as the screens change: it opens the list, its forms and the
// choosers of the forms, takes each one and leaves nothing open behind.
class Screenshots : public test::DemoFrameFixture {
protected:
    void SetUp() override {
        DemoFrameFixture::SetUp();
        frame->activateWindow();
    }
};

TEST_F(Screenshots, TakesEveryWindowOfAScreenAndClosesThem) {
    const std::string out = (folder.path() / "slike").string();
    const ScreenshotReport r = takeScreenshots(*frame, out, {"BANKE", "ISPLATE"});
    // The bank list, its insert and change forms; the payment screen, the
    // forms of its three lists, the income-line forms within the payment's
    // form and their choosers.
    EXPECT_GE(r.files.size(), 8u);
    for (const std::string& f : r.files) {
        QImage picture(QString::fromStdString(f));
        EXPECT_FALSE(picture.isNull()) << f;
        EXPECT_GT(picture.width(), 100) << f;
    }
    EXPECT_TRUE(frame->area()->subWindowList().isEmpty());
    // The walk answered every question itself: nothing of it is left for the user.
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "slike" / "izvjestaj.txt"));
    EXPECT_EQ(&prompter(), &ask);
}

// A window whose controls were put out of place after the builder laid it
// out: the walk names each fault of its layout.
TEST_F(Screenshots, NamesEveryFaultOfLayout) {
    registerScreen("NERED", [] {
        auto* w = new ListWindow({"Nered",
                                  300,
                                  150,
                                  {prompt("Naziv banke:", {4, 6, 50, 10}),
                                   entry("naziv", FieldRef(BANKE, "NAZIV"), "@s40", {56, 4, 120, 12}),
                                   group("Grupa", {4, 24, 120, 40}, {button("unutra", "Unutra", {10, 36, 50, 14})}),
                                   list("list", {4, 70, 240, 70}),
                                   button("van", "Van", {250, 100, 40, 14})}});
        auto banks = std::make_unique<ListBrowser>(
            BANKE, "125L(2)|M~Naziv~@s40@64L(9)|M~Vodeći Broj~L(4)@s7@28R(2)|M~Oznaka~C(0)@n6@",
            std::vector<ColumnSource>{ColumnSource::of(BANKE, "NAZIV"), ColumnSource::of(BANKE, "VODECIBROJ"),
                                      ColumnSource::of(BANKE, "OZNAKA")});
        banks->addSortOrder({BANKE.KEYNAZIV, Locator::Step, Stops::None, {}, {}});
        w->add(std::move(banks), {"list", "", "", "", false});
        // Once the window stands in the frame (the walk lets it settle first).
        QTimer::singleShot(0, w, [w] {
            WindowBuilder& b = w->builder();
            auto shift = [&](const char* id, int dx) { b.control(id)->move(b.control(id)->pos() + QPoint(dx, 0)); };
            shift("naziv", b.pixelsX(20) - b.control("naziv")->x());  // under its caption
            shift("unutra", b.pixelsX(100));                           // out of its group
            shift("van", w->width() - b.control("van")->x() - b.pixelsX(10));  // out of the window
            // A list too narrow for its columns that cannot scroll to them.
            w->view()->table()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            b.control("list")->resize(b.pixelsX(60), b.control("list")->height());
        });
        return w;
    });
    const ScreenshotReport r = takeScreenshots(*frame, (folder.path() / "nered").string(), {"NERED"});
    registerScreen("NERED", {});
    auto found = [&](const std::string& text) {
        return std::any_of(r.layout.begin(), r.layout.end(),
                           [&](const std::string& f) { return f.find(text) != std::string::npos; });
    };
    const std::string all = ::testing::PrintToString(r.layout);
    EXPECT_TRUE(found("Nered: natpis \"Naziv banke:\" ulazi u naziv")) << all;
    EXPECT_TRUE(found("Nered: kontrole se preklapaju: \"Naziv banke:\" i naziv")) << all;
    EXPECT_TRUE(found("Nered: unutra izlazi iz okvira \"Grupa\"")) << all;
    EXPECT_TRUE(found("Nered: van izlazi iz prozora")) << all;
    EXPECT_TRUE(found("Nered: list: ne vide se cijeli stupci \"Naziv\", \"Vodeći Broj\", \"Oznaka\"")) << all;
    // The faults of layout are among the notes of the report.
    for (const std::string& f : r.layout)
        EXPECT_NE(std::find(r.notes.begin(), r.notes.end(), f), r.notes.end()) << f;
}

// The first page of every report of the command line is a picture beside
// the windows', so that a page can be looked at as it prints.
TEST_F(Screenshots, RendersTheFirstPageOfEveryReport) {
    const std::filesystem::path out = folder.path() / "izvjestaji";
    renderFirstPages(out.string());
    for (const ExportEntry* e : registeredExports()) {
        if (!e->pages) continue;
        QImage page(QString::fromStdString((out / (e->name + ".png")).string()));
        EXPECT_GT(page.width(), 700) << e->name;  // a whole sheet at 100 dots per inch
    }
}

}  // namespace
