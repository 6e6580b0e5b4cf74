#include "preview/KelReportViewer.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/Prompter.h"
#include "common/Text.h"
#include "preview/PageView.h"
#include "preview/PreviewIcons.h"
#include "preview/Printing.h"
#include "preview/PreviewPages.h"
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
    if (!PreviewPages::showable(report)) {
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
    : pages_(this, std::move(report)), state_(pages_.state()), title_(rtrim(title)), done_(std::move(done)) {
    setWindowTitle(title_.empty() ? QStringLiteral("Report Preview") : QString::fromStdString(title_));
    setMinimumSize(345, 195);
    resize(900, 720);
    printChoice_.to = saveChoice_.to = state_.count();
    CHECKFORPAGENUM(pages_.report().pages());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(buildButtons());
    layout->addWidget(pages_.addView([this](bool large) {
        setZoom(large ? QStringLiteral("Page Width") : QStringLiteral("No Zoom"));
    }), 1);

    auto* status = new QStatusBar(this);
    pages_.addStatus(status);
    markStatus_ = new QLabel(status);
    markStatus_->setObjectName(QStringLiteral("markStatus"));
    status->addWidget(markStatus_, 1);
    layout->addWidget(status);

    auto press = [this](const char* name) {
        return [this, name] {
            if (button(name)->isEnabled()) button(name)->click();
        };
    };
    pages_.addKeys(press("previous"), press("next"), press("leave"));
}

KELREPORTVIEWER::~KELREPORTVIEWER() = default;

QHBoxLayout* KELREPORTVIEWER::buildButtons() {
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 3, 4, 3);
    bar->setSpacing(2);
    auto add = [&](const char* name, const char* text, Kind icon, std::function<void()> slot) {
        bar->addWidget(addButton(name, text, int(icon), std::move(slot)));
    };
    auto gap = [&] { bar->addSpacing(10); };
    add("print", "Ispiši report", Kind::Print, [this] { PRINTREPORT(); });
    add("printPage", "Ispiši samo trenutnu stranicu", Kind::PrintPage, [this] { printCurrentPage(); });
    gap();
    add("first", "Skok na 1. stranu", Kind::First, [this] { step(&PreviewState::first); });
    add("previous", "Prethodna strana", Kind::Previous, [this] { GETPREVPAGE(); });
    add("jump", "Skok na stranu: ??", Kind::Jump, [this] {
        state_.jump(JUMPTOPAGE(state_.page, state_.count()));
        CHANGEDISPLAY();
    });
    add("next", "Slijedeća strana", Kind::Next, [this] { GETNEXTPAGE(); });
    add("last", "Skok na posljednju stranu", Kind::Last, [this] { step(&PreviewState::last); });
    gap();
    add("thumbnails", "Prikaži sličice", Kind::Thumbnails, [this] { SELECTDISPLAY(); });
    zoomList_ = new QComboBox(this);
    zoomList_->setObjectName(QStringLiteral("zoom"));
    zoomList_->setToolTip(QStringLiteral("Uvećanje"));
    for (const auto& z : ZOOMS) zoomList_->addItem(QLatin1String(z.name));
    connect(zoomList_, &QComboBox::activated, this, [this](int i) { setZoom(zoomList_->itemText(i)); });
    bar->addWidget(zoomList_);
    gap();
    add("mark", "Označi stranicu za ispis", Kind::Mark, [this] { MARKQUEUEMARKPAGE(); });
    add("delete", "Briši stranicu", Kind::Delete, [this] { DELETEPAGE(); });
    gap();
    add("savePage", "Snimi trenutnu stranu u datoteku", Kind::SavePage, [this] { SAVESINGLEPAGE(); });
    add("saveAll", "Snimi sve strane u datoteku", Kind::SaveAll, [this] { SAVEALLPAGES(); });
    add("pdf", "Spremi sve strane kao PDF", Kind::Pdf, [this] { pages_.saveAsPdf(title_); });
    bar->addStretch();
    add("leave", "Izlazak bez ispisa reporta", Kind::Leave, [this] { pages_.closeWindow(); });
    return bar;
}

QToolButton* KELREPORTVIEWER::addButton(const char* name, const char* text, int icon, std::function<void()> slot) {
    auto* b = new QToolButton(this);
    b->setObjectName(QLatin1String(name));
    b->setText(QString::fromUtf8(text));
    b->setToolTip(QString::fromUtf8(text));
    b->setIcon(previewIcons::icon(Kind(icon)));
    b->setIconSize(QSize(24, 24));
    b->setAutoRaise(true);
    connect(b, &QToolButton::clicked, this, std::move(slot));
    return b;
}

QToolButton* KELREPORTVIEWER::button(const char* name) const {
    return findChild<QToolButton*>(QLatin1String(name));
}

void KELREPORTVIEWER::setZoom(const QString& name) {
    int i = zoomList_->findText(name);
    zoom_ = i >= 0 ? name : QStringLiteral("No Zoom");
    zoomList_->setCurrentIndex(std::max(i, 0));
    CHANGEDISPLAY();
}

void KELREPORTVIEWER::CHANGEDISPLAY() {
    pages_.display(factorOf(zoom_), zoom_);
    updateButtons();
}

void KELREPORTVIEWER::updateButtons() {
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

void KELREPORTVIEWER::GETNEXTPAGE() { step(&PreviewState::next); }
void KELREPORTVIEWER::GETPREVPAGE() { step(&PreviewState::previous); }

void KELREPORTVIEWER::step(void (PreviewState::*move)()) {
    (state_.*move)();
    CHANGEDISPLAY();
}

int KELREPORTVIEWER::JUMPTOPAGE(int current, int count) {
    auto page = askPage(this, {QStringLiteral("Skoči na stranicu: "), QStringLiteral("&Stranica:"),
                               QStringLiteral("Prihvati"), QStringLiteral("Odustani")},
                        current, count);
    return page.value_or(current);
}

void KELREPORTVIEWER::SELECTDISPLAY() {
    if (pages_.askGrid(QStringLiteral("Promjeni prikaz"), QStringLiteral("Broj stranica"), QStringLiteral("Stupaca"),
                       QStringLiteral("Down"), QStringLiteral("Prihvati")))
        setZoom(QStringLiteral("No Zoom"));
}

void KELREPORTVIEWER::MARKQUEUEMARKPAGE() {
    state_.toggleMark();
    MARKQUEUECHECK();
}

void KELREPORTVIEWER::MARKQUEUECHECK() {
    bool marked = state_.marked();
    button("mark")->setToolTip(marked ? QStringLiteral("Unmark Page") : QStringLiteral("Mark Page"));
    markStatus_->setText(marked ? QStringLiteral("Marked") : QString());
}

void KELREPORTVIEWER::DELETEPAGE() {
    auto& pages = pages_.report().pages();
    if (pages.size() <= 1) return;
    pages.erase(pages.begin() + (state_.page - 1));
    state_.removeCurrent();
    CHANGEDISPLAY();
}

void KELREPORTVIEWER::loadWorkQueue(const std::vector<int>& pages) {
    workQueue_.clear();
    for (int p : pages) workQueue_.push_back(this->pages()[size_t(p - 1)]);
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
    pages_.closeWindow();
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
    const Page& page = pages()[size_t(state_.page - 1)];
    const bool ok = upper(*name).find(".WMF") != std::string::npos ? page.save(*name) : SAVEASTEXT(*name, {page});
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

void KELREPORTVIEWER::closeEvent(QCloseEvent* event) {
    if (pages_.closing() && done_) done_(printed_);
    event->accept();
}

}  // namespace marel
