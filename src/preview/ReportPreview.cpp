#include "preview/ReportPreview.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>

#include "common/Prompter.h"
#include "preview/PageView.h"
#include "preview/PreviewIcons.h"
#include "ui/Request.h"
#include "ui/screens/WindowHost.h"

namespace marel {

namespace {

struct Zoom {
    const char* menu;
    const char* popup;
    const char* status;
    double factor;
};
constexpr Zoom ZOOMS[] = {
    {"Bez &Povecanja", "No Zoom", "No Zoom", 0},
    {"Duljina &stranice", "Page Width", "Zoom (Page Width)", PageView::PAGE_WIDTH},
    {"&50 post.", "50%", "Zoom (50%)", 0.5},
    {"&75 post.", "75%", "Zoom (75%)", 0.75},
    {"&100 post.", "100%", "Zoom (100%)", 1},
    {"&200 post.", "200%", "Zoom (200%)", 2},
    {"&300 post.", "300%", "Zoom (300%)", 3},
};

QSpinBox* field(QWidget* parent, const char* name, int high, const QString& tip) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(1, high);
    s->setToolTip(tip);
    s->setButtonSymbols(QAbstractSpinBox::PlusMinus);
    return s;
}

}  // namespace

REPORTPREVIEW* REPORTPREVIEW::open(std::unique_ptr<Report> report, std::function<void(int, Report&)> done) {
    if (!PreviewPages::showable(report)) return nullptr;
    auto* preview = new REPORTPREVIEW(std::move(report), std::move(done));
    openWindow(preview);
    preview->refresh();
    return preview;
}

REPORTPREVIEW::REPORTPREVIEW(std::unique_ptr<Report> report, std::function<void(int, Report&)> done)
    : pages_(this, std::move(report)), state_(pages_.state()), done_(std::move(done)) {
    setWindowTitle(QStringLiteral("Preview ispisa"));
    setMinimumWidth(315);
    resize(820, 720);
    setCentralWidget(pages_.addView([this](bool large) { setZoom(large ? 1 : 0); }));
    buildMenus();
    buildToolBar();
    pages_.addStatus(statusBar());

    bool several = state_.count() > 1;
    for (QWidget* w : {static_cast<QWidget*>(page_), static_cast<QWidget*>(across_), static_cast<QWidget*>(down_)})
        w->setEnabled(several);
    viewMenu_->setEnabled(several);
    page_->setToolTip(QStringLiteral("Unesi br. strane od 1 do %1").arg(state_.count()));
    page_->setMaximum(std::max(state_.count(), 1));
    pages_.addKeys([this] { previousAction_->trigger(); }, [this] { nextAction_->trigger(); }, [this] { leave(); });
}

REPORTPREVIEW::~REPORTPREVIEW() = default;

void REPORTPREVIEW::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Print"), this, &REPORTPREVIEW::print)->setObjectName(QStringLiteral("menuPrint"));
    file->addAction(QStringLiteral("Spremi kao P&DF…"), this, [this] { pages_.saveAsPdf(pages_.report().title()); })
        ->setObjectName(QStringLiteral("menuPdf"));
    file->addAction(QStringLiteral("&Izlaz"), this, &REPORTPREVIEW::leave)->setObjectName(QStringLiteral("menuLeave"));

    viewMenu_ = menuBar()->addMenu(QStringLiteral("&Pogled"));
    viewMenu_->setObjectName(QStringLiteral("viewMenu"));
    nextAction_ = viewMenu_->addAction(QStringLiteral("&Slijedeca(e) str."), this, &REPORTPREVIEW::next);
    previousAction_ = viewMenu_->addAction(QStringLiteral("&Prethodna(e) str."), this, &REPORTPREVIEW::previous);
    viewMenu_->addAction(QStringLiteral("&Skok na str."), this, &REPORTPREVIEW::jump);
    viewMenu_->addAction(QStringLiteral("&Promijeni prikaz"), this, &REPORTPREVIEW::changeDisplay);
    QMenu* zoom = viewMenu_->addMenu(QStringLiteral("&Povecanje"));
    auto* group = new QActionGroup(this);
    for (int i = 0; i < int(std::size(ZOOMS)); ++i) {
        QAction* a = zoom->addAction(QString::fromUtf8(ZOOMS[i].menu), this, [this, i] { setZoom(i); });
        a->setCheckable(true);
        group->addAction(a);
        zoomActions_ << a;
    }
}

void REPORTPREVIEW::buildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Preview"));
    bar->setMovable(false);
    bar->setIconSize(QSize(24, 24));
    using previewIcons::Kind;
    auto action = [&](const char* name, const char* text, Kind icon, void (REPORTPREVIEW::*slot)()) {
        QAction* a = bar->addAction(previewIcons::icon(icon), QString::fromUtf8(text), this, slot);
        a->setObjectName(QLatin1String(name));
        a->setToolTip(QString::fromUtf8(text));
    };
    action("print", "Ispiši ", Kind::Print, &REPORTPREVIEW::print);
    action("leave", "Izađi van bez ispisa", Kind::Leave, &REPORTPREVIEW::leave);
    action("zoomPopup", "Uvećaj stranicu izvještaja", Kind::Zoom, &REPORTPREVIEW::zoomPopup);
    bar->addSeparator();
    auto label = [&](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, bar);
        l->setBuddy(buddy);
        l->setContentsMargins(6, 0, 3, 0);
        bar->addWidget(l);
        bar->addWidget(buddy);
    };
    page_ = field(bar, "page", 9999, {});
    across_ = field(bar, "across", 99, QStringLiteral("Odaberi br.strana u redu "));
    down_ = field(bar, "down", 99, QStringLiteral("Odaberi br. strana u stupcu"));
    label(QStringLiteral("&Strana:"), page_);
    label(QStringLiteral("&Redova:"), across_);
    label(QStringLiteral("&Stupaca:"), down_);
    connect(page_, &QSpinBox::valueChanged, this, [this](int p) {
        if (p == state_.page) return;
        state_.jump(p);
        refresh();
    });
    auto grid = [this] {
        if (across_->value() == state_.across && down_->value() == state_.down) return;
        state_.across = across_->value();
        state_.down = down_->value();
        setZoom(0);
    };
    connect(across_, &QSpinBox::valueChanged, this, grid);
    connect(down_, &QSpinBox::valueChanged, this, grid);
}

void REPORTPREVIEW::refresh() {
    pages_.display(ZOOMS[zoom_].factor, QLatin1String(ZOOMS[zoom_].status));
    for (QSpinBox* s : {page_, across_, down_}) s->blockSignals(true);
    page_->setValue(state_.page);
    across_->setValue(state_.across);
    down_->setValue(state_.down);
    for (QSpinBox* s : {page_, across_, down_}) s->blockSignals(false);
    zoomActions_[zoom_]->setChecked(true);
    nextAction_->setEnabled(state_.canNext());
    previousAction_->setEnabled(state_.canPrevious());
}

void REPORTPREVIEW::print() {
    response_ = REQUESTCOMPLETED;
    pages_.closeWindow();
}

void REPORTPREVIEW::leave() {
    response_ = REQUESTCANCELLED;
    pages_.closeWindow();
}

void REPORTPREVIEW::next() {
    state_.next();
    refresh();
}

void REPORTPREVIEW::previous() {
    state_.previous();
    refresh();
}

void REPORTPREVIEW::jump() {
    if (auto page = pages_.askPage({QStringLiteral("Jump to a Report Page"), QStringLiteral("&Page:"),
                                    QStringLiteral("OK"), QStringLiteral("Cancel")})) {
        state_.jump(*page);
        refresh();
    }
}

void REPORTPREVIEW::changeDisplay() {
    if (pages_.askGrid(QStringLiteral("Change the Report Display"), QStringLiteral("Pages Displayed"),
                       QStringLiteral("Across"), QStringLiteral("Down"), QStringLiteral("OK")))
        setZoom(0);
}

void REPORTPREVIEW::zoomPopup() {
    std::string items;
    for (int i = 0; i < int(std::size(ZOOMS)); ++i) {
        items += (i ? "|" : "") + std::string(i == zoom_ ? "+" : "-") + ZOOMS[i].popup;
        if (i == 0) items += "|-";
    }
    int chosen = prompter().popup(items);
    if (chosen >= 1 && chosen <= int(std::size(ZOOMS))) setZoom(chosen - 1);
}

void REPORTPREVIEW::setZoom(int zoom) {
    zoom_ = std::clamp(zoom, 0, int(std::size(ZOOMS)) - 1);
    refresh();
}

void REPORTPREVIEW::closeEvent(QCloseEvent* event) {
    if (pages_.closing() && done_) done_(response_, pages_.report());
    event->accept();
}

}  // namespace marel
