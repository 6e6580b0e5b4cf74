#include "preview/KelReportViewer.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>

#include "common/Prompter.h"
#include "common/Text.h"
#include "preview/PageView.h"
#include "preview/PreviewIcons.h"
#include "preview/Printing.h"
#include "report/PageFiles.h"
#include "ui/screens/WindowHost.h"

namespace marel {

namespace {

struct Zoom {
    const char* name;
    double factor;  // 0: thumbnails
};
constexpr Zoom ZOOMS[] = {
    {"No Zoom", 0},        {"Page Width", PageView::PAGE_WIDTH}, {"Zoom (50%)", 0.5}, {"Zoom (75%)", 0.75},
    {"Zoom (100%)", 1},    {"Zoom (200%)", 2},                   {"Zoom (300%)", 3},
};

double factorOf(const QString& name) {
    for (const auto& z : ZOOMS)
        if (name == QLatin1String(z.name)) return z.factor;
    return 0;
}

using previewIcons::Kind;

}  // namespace

KELREPORTVIEWER* KELREPORTVIEWER::DISPLAY(std::unique_ptr<Report> report, const std::string& title,
                                          const std::string& zoom, bool maximise, std::function<void(bool)> done) {
    if (!report || report->pages().empty()) {
        if (done) done(false);
        return nullptr;
    }
    auto* viewer = new KELREPORTVIEWER(std::move(report), title, std::move(done));
    QWidget* window = openWindow(viewer);
    if (maximise) window->showMaximized();
    viewer->setZoom(QString::fromStdString(zoom));
    return viewer;
}

KELREPORTVIEWER::KELREPORTVIEWER(std::unique_ptr<Report> report, const std::string& title,
                                 std::function<void(bool)> done)
    : report_(std::move(report)), title_(rtrim(title)), done_(std::move(done)),
      state_(int(report_->pages().size())) {
    setWindowTitle(title_.empty() ? QStringLiteral("Report Preview") : QString::fromStdString(title_));
    setMinimumSize(345, 195);
    resize(900, 720);
    printChoice_.to = saveChoice_.to = state_.count();
    CHECKFORPAGENUM(report_->pages());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 3, 4, 3);
    bar->setSpacing(2);
    layout->addLayout(bar);
    auto add = [&](const char* name, const char* text, Kind icon, void (KELREPORTVIEWER::*slot)()) {
        bar->addWidget(addButton(name, text, int(icon), slot));
    };
    auto gap = [&] { bar->addSpacing(10); };
    add("print", "Ispiši report", Kind::Print, nullptr);
    add("printPage", "Ispiši samo trenutnu stranicu", Kind::PrintPage, &KELREPORTVIEWER::printCurrentPage);
    gap();
    add("first", "Skok na 1. stranu", Kind::First, nullptr);
    add("previous", "Prethodna strana", Kind::Previous, &KELREPORTVIEWER::GETPREVPAGE);
    add("jump", "Skok na stranu: ??", Kind::Jump, nullptr);
    add("next", "Slijedeća strana", Kind::Next, &KELREPORTVIEWER::GETNEXTPAGE);
    add("last", "Skok na posljednju stranu", Kind::Last, nullptr);
    gap();
    add("thumbnails", "Prikaži sličice", Kind::Thumbnails, &KELREPORTVIEWER::SELECTDISPLAY);
    zoomList_ = new QComboBox(this);
    zoomList_->setObjectName(QStringLiteral("zoom"));
    zoomList_->setToolTip(QStringLiteral("Uvećanje"));
    for (const auto& z : ZOOMS) zoomList_->addItem(QLatin1String(z.name));
    connect(zoomList_, &QComboBox::activated, this, [this](int i) { setZoom(zoomList_->itemText(i)); });
    bar->addWidget(zoomList_);
    gap();
    add("mark", "Označi stranicu za ispis", Kind::Mark, &KELREPORTVIEWER::MARKQUEUEMARKPAGE);
    add("delete", "Briši stranicu", Kind::Delete, &KELREPORTVIEWER::DELETEPAGE);
    gap();
    add("savePage", "Snimi trenutnu stranu u datoteku", Kind::SavePage, &KELREPORTVIEWER::SAVESINGLEPAGE);
    add("saveAll", "Snimi sve strane u datoteku", Kind::SaveAll, &KELREPORTVIEWER::SAVEALLPAGES);
    add("pdf", "Spremi sve strane kao PDF", Kind::Pdf, nullptr);
    bar->addStretch();
    add("leave", "Izlazak bez ispisa reporta", Kind::Leave, &KELREPORTVIEWER::leave);

    auto button = [this](const char* name) { return findChild<QToolButton*>(QLatin1String(name)); };
    connect(button("first"), &QToolButton::clicked, this, [this] {
        state_.first();
        CHANGEDISPLAY();
    });
    connect(button("last"), &QToolButton::clicked, this, [this] {
        state_.last();
        CHANGEDISPLAY();
    });
    connect(button("jump"), &QToolButton::clicked, this, [this] {
        state_.jump(JUMPTOPAGE(state_.page, state_.count()));
        CHANGEDISPLAY();
    });
    connect(button("print"), &QToolButton::clicked, this, [this] { PRINTREPORT(); });
    connect(button("pdf"), &QToolButton::clicked, this, [this] { saveAsPdf(report_->pages(), title_, report_->fileName()); });

    view_ = new PageView(report_->pages(), state_, this);
    layout->addWidget(view_, 1);
    connect(view_, &PageView::thumbnailClicked, this, [this](int k) {
        state_.jump(state_.page + k - 1);
        setZoom(QStringLiteral("Page Width"));
    });
    connect(view_, &PageView::pageClicked, this, [this] { setZoom(QStringLiteral("No Zoom")); });

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    zoomStatus_ = new QLabel(status);
    zoomStatus_->setObjectName(QStringLiteral("zoomStatus"));
    pageStatus_ = new QLabel(status);
    pageStatus_->setObjectName(QStringLiteral("pageStatus"));
    markStatus_ = new QLabel(status);
    markStatus_->setObjectName(QStringLiteral("markStatus"));
    status->addWidget(zoomStatus_, 1);
    status->addWidget(pageStatus_, 1);
    status->addWidget(markStatus_, 1);
    layout->addWidget(status);

    auto press = [this, button](const char* name) {
        QToolButton* b = button(name);
        if (b->isEnabled()) b->click();
    };
    auto* up = new QShortcut(QKeySequence(Qt::Key_PageUp), this, [press] { press("previous"); });
    auto* down = new QShortcut(QKeySequence(Qt::Key_PageDown), this, [press] { press("next"); });
    // Esc leaves without printing, as it cancels a form.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this, [press] { press("leave"); });
    for (QShortcut* k : {up, down, esc}) k->setContext(Qt::WidgetWithChildrenShortcut);
}

KELREPORTVIEWER::~KELREPORTVIEWER() = default;

QToolButton* KELREPORTVIEWER::addButton(const char* name, const char* text, int icon,
                                        void (KELREPORTVIEWER::*slot)()) {
    auto* b = new QToolButton(this);
    b->setObjectName(QLatin1String(name));
    b->setText(QString::fromUtf8(text));
    b->setToolTip(QString::fromUtf8(text));
    b->setIcon(previewIcons::icon(Kind(icon)));
    b->setIconSize(QSize(24, 24));
    b->setAutoRaise(true);
    if (slot) connect(b, &QToolButton::clicked, this, [this, slot] { (this->*slot)(); });
    return b;
}

void KELREPORTVIEWER::setZoom(const QString& name) {
    int i = zoomList_->findText(name);
    zoom_ = i >= 0 ? name : QStringLiteral("No Zoom");
    zoomList_->setCurrentIndex(std::max(i, 0));
    CHANGEDISPLAY();
}

void KELREPORTVIEWER::CHANGEDISPLAY() {
    double factor = factorOf(zoom_);
    state_.zoomed = factor != 0;
    view_->display(factor);
    zoomStatus_->setText(zoom_);
    pageStatus_->setText(QString::fromStdString(state_.pageText()));
    updateButtons();
}

void KELREPORTVIEWER::updateButtons() {
    auto button = [this](const char* name) { return findChild<QToolButton*>(QLatin1String(name)); };
    button("previous")->setEnabled(state_.canPrevious());
    button("next")->setEnabled(state_.canNext());
    bool several = state_.count() > 1;
    for (const char* name : {"first", "last"}) button(name)->setEnabled(several);
    bool single = state_.singlePage();
    for (const char* name : {"mark", "printPage", "savePage"}) button(name)->setEnabled(single);
    // The last page stays: a preview without pages has nothing to show.
    button("delete")->setEnabled(single && several);
    if (single)
        MARKQUEUECHECK();
    else
        markStatus_->clear();
}

void KELREPORTVIEWER::GETNEXTPAGE() {
    state_.next();
    CHANGEDISPLAY();
}

void KELREPORTVIEWER::GETPREVPAGE() {
    state_.previous();
    CHANGEDISPLAY();
}

int KELREPORTVIEWER::JUMPTOPAGE(int current, int count) {
    auto page = askPage(this, {QStringLiteral("Skoči na stranicu: "), QStringLiteral("&Stranica:"),
                               QStringLiteral("Prihvati"), QStringLiteral("Odustani")},
                        current, count);
    return page.value_or(current);
}

void KELREPORTVIEWER::SELECTDISPLAY() {
    int across = state_.across, down = state_.down;
    if (!askGrid(this, QStringLiteral("Promjeni prikaz"), QStringLiteral("Broj stranica"), QStringLiteral("Stupaca"),
                 QStringLiteral("Down"), QStringLiteral("Prihvati"), across, down))
        return;
    state_.across = across;
    state_.down = down;
    setZoom(QStringLiteral("No Zoom"));
}

void KELREPORTVIEWER::MARKQUEUEMARKPAGE() {
    state_.toggleMark();
    MARKQUEUECHECK();
}

void KELREPORTVIEWER::MARKQUEUECHECK() {
    bool marked = state_.marked();
    findChild<QToolButton*>(QStringLiteral("mark"))->setToolTip(marked ? QStringLiteral("Unmark Page")
                                                                       : QStringLiteral("Mark Page"));
    markStatus_->setText(marked ? QStringLiteral("Marked") : QString());
}

void KELREPORTVIEWER::DELETEPAGE() {
    auto& pages = report_->pages();
    if (pages.size() <= 1) return;
    std::error_code ec;
    std::filesystem::remove(pages[size_t(state_.page - 1)], ec);
    pages.erase(pages.begin() + (state_.page - 1));
    state_.removeCurrent();
    CHANGEDISPLAY();
}

void KELREPORTVIEWER::loadWorkQueue(const std::vector<int>& pages) {
    workQueue_.clear();
    for (int p : pages) workQueue_.push_back(report_->pages()[size_t(p - 1)]);
}

bool KELREPORTVIEWER::PRINTREPORT() {
    PrintOptionsDialog d(this, state_.count(), state_.markedCount() > 0, printChoice_, copies_, collate_);
    if (d.exec() != QDialog::Accepted) return false;
    printChoice_ = d.choice();
    copies_ = d.copies();
    collate_ = d.collate();
    loadWorkQueue(SETUPCOPIESCOLLATE(
        LOADTEMPIMAGEQUEUE(state_.marks(), printChoice_.option, printChoice_.from, printChoice_.to), copies_,
        collate_));
    if (workQueue_.empty()) {
        message("Nema stranica za ispis.", "Opcije ispisa", Icon::Exclamation);
        return false;
    }
    if (!PRINTOTHER()) return false;
    printed_ = true;
    closeWindow();
    return true;
}

bool KELREPORTVIEWER::PRINTOTHER() { return printOnPrinter(workQueue_, title_); }

void KELREPORTVIEWER::printCurrentPage() {
    loadWorkQueue({state_.page});
    PRINTOTHER();
}

void KELREPORTVIEWER::SAVESINGLEPAGE() {
    auto name = prompter().chooseFile({"Snimi trenutnu stranicu u datoteku...",
                                       "Text File|*.TXT|Windows MetaFile|*.WMF|All Files|*.*", "", true});
    if (!name) return;
    const std::string& page = report_->pages()[size_t(state_.page - 1)];
    bool ok;
    if (upper(*name).find(".WMF") != std::string::npos) {
        std::error_code ec;
        std::filesystem::copy_file(page, *name, std::filesystem::copy_options::overwrite_existing, ec);
        ok = !ec;
    } else {
        ok = SAVEASTEXT(*name, {page});
    }
    if (!ok) message("Datoteka " + *name + " se ne može zapisati.", "Snimanje", Icon::Exclamation);
}

void KELREPORTVIEWER::SAVEALLPAGES() {
    SaveAllDialog d(this, state_.count(), state_.markedCount() > 0, saveChoice_, saveFile_);
    if (d.exec() != QDialog::Accepted) return;
    saveChoice_ = d.choice();
    saveFile_ = d.file();
    loadWorkQueue(LOADTEMPIMAGEQUEUE(state_.marks(), saveChoice_.option, saveChoice_.from, saveChoice_.to));
    if (!SAVEASTEXT(saveFile_, workQueue_))
        message("Datoteka " + saveFile_ + " se ne može zapisati.", "Snimanje", Icon::Exclamation);
}

void KELREPORTVIEWER::leave() { closeWindow(); }

void KELREPORTVIEWER::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void KELREPORTVIEWER::closeEvent(QCloseEvent* event) {
    if (!finished_) {
        finished_ = true;
        if (done_) done_(printed_);
    }
    event->accept();
}

}  // namespace marel
