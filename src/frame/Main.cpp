#include "frame/Main.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <map>

#include "common/Prompter.h"
#include "frame/Artwork.h"
#include "frame/StartUp.h"
#include "session/Backups.h"
#include "session/Initialisation.h"
#include "store/BufferSet.h"
#include "store/Store.h"
#include "ui/screens/Application.h"
#include "ui/screens/CallerModal.h"
#include "ui/screens/Runtime.h"
#include "ui/screens/WindowBuilder.h"

namespace marel {

namespace {

std::map<std::string, ScreenFactory>& registry() {
    static std::map<std::string, ScreenFactory> screens;
    return screens;
}

MAIN* theFrame = nullptr;

// The frame's working area, painted with the program's background.
class FrameArea : public QMdiArea {
public:
    using QMdiArea::QMdiArea;

protected:
    void paintEvent(QPaintEvent*) override {
        if (cache_.size() != viewport()->size()) {
            cache_ = QPixmap(viewport()->size());
            QPainter p(&cache_);
            artwork::paintBackground(p, cache_.rect());
        }
        QPainter(viewport()).drawPixmap(0, 0, cache_);
    }

private:
    QPixmap cache_;
};

bool hasMnemonic(const QString& text, const QKeySequence& key) {
    return !text.isEmpty() && QKeySequence::mnemonic(text) == key;
}

// What Alt+letter means inside one window: its buttons, labels of fields, tabs
// and its own shortcuts. A window built from a resource decides for itself
// which of its controls a letter goes to (the list working now, when two lists
// share the letters of their buttons).
std::function<void()> windowCommand(QWidget* window, const QKeySequence& key) {
    if (WindowBuilder* b = WindowBuilder::of(window))
        if (auto run = b->altKey(key)) return run;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || !w->isEnabled()) continue;
        if (auto* b = qobject_cast<QAbstractButton*>(w); b && hasMnemonic(b->text(), key))
            return [b] {
                if (b->focusPolicy() & Qt::TabFocus) b->setFocus(Qt::ShortcutFocusReason);
                b->animateClick();
            };
        if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy() && hasMnemonic(l->text(), key))
            return [buddy = l->buddy()] { buddy->setFocus(Qt::ShortcutFocusReason); };
        if (auto* t = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < t->count(); ++i)
                if (t->isTabEnabled(i) && hasMnemonic(t->tabText(i), key)) return [t, i] { t->setCurrentIndex(i); };
    }
    for (QAction* a : window->findChildren<QAction*>())
        if (a->isEnabled() && a->shortcuts().contains(key)) return [a] { a->trigger(); };
    for (QShortcut* s : window->findChildren<QShortcut*>())
        if (s->isEnabled() && s->keys().contains(key)) return [s] { emit s->activated(); };
    return {};
}

}  // namespace

void registerScreen(const std::string& name, ScreenFactory factory) {
    if (factory)
        registry()[name] = std::move(factory);
    else
        registry().erase(name);
    if (theFrame) theFrame->updateCommands();
}

bool screenRegistered(const std::string& name) { return registry().count(name) > 0; }

std::vector<std::string> registeredScreens() {
    std::vector<std::string> names;
    for (const auto& entry : registry()) names.push_back(entry.first);
    return names;
}

MAIN::MAIN() : area_(new FrameArea(this)) {
    theFrame = this;
    setWindowTitle(QStringLiteral("MAREL V 2014.4"));
    setWindowIcon(artwork::program());
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // When a window closes, the one the user worked in before it comes back,
    // not the next one in the order they were opened.
    area_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(area_);
    buildMenu();
    buildToolBar();
    // The status bar measures the first text.
    startup::awaitFonts();
    auto* folder = new QLabel(QStringLiteral("Podaci: ") + QString::fromStdString(Store::main().folder()));
    folder->setContentsMargins(6, 0, 6, 0);
    statusBar()->addPermanentWidget(folder);
    updateCommands();
    resize(1200, 800);
    // Alt+letter is claimed by the active window first, then by the menu bar,
    // and only then by the tool bar (whose letters differ from the menus' anyway).
    qApp->installEventFilter(this);
    // The frame's own commands work in the program's buffers, not a screen's.
    setBufferSet(this, BufferSet::program());
}

MAIN::~MAIN() {
    if (theFrame == this) theFrame = nullptr;
    // Windows opened after the frame has gone stand on their own.
    if (windowHost() == this) setWindowHost(nullptr);
}

MAIN* MAIN::frame() { return theFrame; }

QAction* MAIN::item(QMenu* menu, const QString& text, const QString& status, std::function<void()> run) {
    QAction* a = menu->addAction(text);
    a->setStatusTip(status);
    connect(a, &QAction::triggered, this, [this, run = std::move(run)] {
        // Chosen from the keyboard as well: what is typed in a window counts first.
        if (WindowBuilder::acceptTyped(menuBar())) run();
    });
    return a;
}

QAction* MAIN::screenItem(QMenu* menu, const QString& text, const QString& status, const std::string& screen,
                          const QIcon& icon) {
    QAction* a = item(menu, text, status, [this, screen] { openScreen(screen); });
    a->setIcon(icon);
    screenCommands_.emplace_back(a, screen);
    return a;
}

void MAIN::buildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    item(file, QStringLiteral("&Print Setup ..."), QStringLiteral("Setup printer"), [] { prompter().printerSetup(); });
    item(file, QStringLiteral("Inicijalizacija"), {}, [] { INICIJALIZACIJA(); });
    file->addSeparator();
    item(file, QStringLiteral("Sigurnosna kopija"), QStringLiteral("Kopija svih podataka u datoteku"),
         [] { SIGURNOSNAKOPIJA(); });
    item(file, QStringLiteral("Vrati iz kopije"), QStringLiteral("Svi podaci zamijenjeni podacima iz kopije"),
         [] { VRATIIZKOPIJE(); });
    file->addSeparator();
    item(file, QStringLiteral("E&xit"), QStringLiteral("Exit this application"), [this] { close(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    item(edit, QStringLiteral("Cu&t"), QStringLiteral("Remove item to Windows Clipboard"), [this] { editCommand("cut"); })
        ->setShortcut(QKeySequence::Cut);
    item(edit, QStringLiteral("&Copy"), QStringLiteral("Copy item to Windows Clipboard"), [this] { editCommand("copy"); })
        ->setShortcut(QKeySequence::Copy);
    item(edit, QStringLiteral("&Paste"), QStringLiteral("Paste contents of Windows Clipboard"),
         [this] { editCommand("paste"); })
        ->setShortcut(QKeySequence::Paste);

    QMenu* param = menuBar()->addMenu(QStringLiteral("Pa&rametri"));
    screenItem(param, QStringLiteral("Vrste dohotka"), {}, "VRSTEDOHOTKA");
    screenItem(param, QStringLiteral("Printer"), QStringLiteral("Browse param"), "BROWSEPARAM");

    QMenu* views = menuBar()->addMenu(QStringLiteral("&Pregledi"));
    screenItem(views, QStringLiteral("Općine"), QStringLiteral("Općine"), "OPCINE");
    screenItem(views, QStringLiteral("Mjesta"), QStringLiteral("Mjesta"), "MJESTA");
    screenItem(views, QStringLiteral("Ulice"), QStringLiteral("Ulice"), "ULICE");
    screenItem(views, QStringLiteral("Banke"), QStringLiteral("Banke"), "BANKE");
    views->addSeparator();
    screenItem(views, QStringLiteral("Isplatitelji"), QStringLiteral("Subjekti"), "SUBJEKTI", artwork::payers());
    screenItem(views, QStringLiteral("Primatelji"), QStringLiteral("Osobe"), "OSOBE", artwork::recipients());

    QMenu* work = menuBar()->addMenu(QStringLiteral("P&oslovi"));
    screenItem(work, QStringLiteral("&JOP Obrasci"), {}, "JOPOOBRASCI", artwork::joppd());
    screenItem(work, QStringLiteral("&Isplate"), {}, "ISPLATE", artwork::payments());
    screenItem(work, QStringLiteral("&Potvrde"), {}, "POTVRDE", artwork::certificates());
    screenItem(work, QStringLiteral("ID-1 obrasci"), {}, "PREGLEDID1OBRAZACA");
    screenItem(work, QStringLiteral("&Krizni porez"), {}, "PREGLEDKRIPOREZ");

    QMenu* help = menuBar()->addMenu(QStringLiteral("Po&moć"));
    item(help, QStringLiteral("&O programu"), {}, [this] { OPROGRAMU(this).exec(); });
}

void MAIN::buildToolBar() {
    toolBar_ = addToolBar(QStringLiteral("Alati"));
    toolBar_->setObjectName(QStringLiteral("alati"));
    toolBar_->setMovable(false);
    // Always there: no context menu that could hide it.
    toolBar_->toggleViewAction()->setVisible(false);
    toolBar_->setIconSize(QSize(32, 32));
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    struct Button {
        const char* text;
        const char* tip;  // every button has one: an icon alone says little
        QIcon icon;
        const char* screen;
    };
    const Button buttons[] = {
        {"&Isplatitelji", "Brze tipke: istodobno Alt I", artwork::payers(), "SUBJEKTI"},
        {"Prim&atelji", "Brze tipke: istodobno Alt A", artwork::recipients(), "OSOBE"},
        {"I&splate", "Brze tipke: istodobno Alt S", artwork::payments(), "ISPLATE"},
        {"Potvr&de", "Brze tipke: istodobno Alt D", artwork::certificates(), "POTVRDE"},
        {"&JOP obrasci", "Brze tipke: istodobno Alt J", artwork::joppd(), "JOPOOBRASCI"},
    };
    for (const Button& b : buttons) {
        QString text = QString::fromUtf8(b.text);
        QAction* a = toolBar_->addAction(b.icon, text);
        // The underlined letter shows on the button itself.
        a->setIconText(text);
        a->setToolTip(QString::fromUtf8(b.tip));
        std::string screen = b.screen;
        connect(a, &QAction::triggered, this, [this, screen] {
            if (WindowBuilder::acceptTyped(toolBar_)) openScreen(screen);
        });
        screenCommands_.emplace_back(a, screen);
    }
}

void MAIN::updateCommands() {
    for (auto& [action, screen] : screenCommands_) action->setEnabled(screenRegistered(screen));
}

QList<QAction*> MAIN::commandsFor(const std::string& name) const {
    QList<QAction*> out;
    for (auto& [action, screen] : screenCommands_)
        if (screen == name) out << action;
    return out;
}

QMdiSubWindow* MAIN::openScreen(const std::string& name) {
    auto it = registry().find(name);
    if (it == registry().end()) return nullptr;
    // Each screen works in record buffers of its own, from its first read on.
    const std::shared_ptr<BufferSet> buffers = BufferSet::make();
    BufferScope scope(buffers);
    QWidget* widget = it->second();
    if (!widget) return nullptr;
    setBufferSet(widget, buffers);
    return addWindow(widget);
}

int MAIN::roomWidth() const { return area_->viewport()->width(); }

QWidget* MAIN::openWindow(QWidget* widget) { return addWindow(widget); }

QMdiSubWindow* MAIN::addWindow(QWidget* widget) {
    // A screen that closes itself takes its window along (queued: the window
    // may be the one deleting it).
    widget->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* sub = showInArea(area_, widget);
    connect(widget, &QObject::destroyed, sub, &QWidget::close, Qt::QueuedConnection);
    return sub;
}

void MAIN::editCommand(const char* slot) {
    QWidget* w = QApplication::focusWidget();
    QByteArray signature = QByteArray(slot) + "()";
    // Spin boxes, date fields and combo boxes keep their text in an inner line edit.
    if (qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w)) w = w->findChild<QLineEdit*>();
    if (w && w->metaObject()->indexOfSlot(signature) >= 0) QMetaObject::invokeMethod(w, slot);
}

std::function<void()> MAIN::altKeyCommand(QWidget* receiver, const QKeySequence& key) const {
    QMdiSubWindow* sub = nullptr;
    for (QWidget* w = receiver; w && !sub; w = w->parentWidget()) sub = qobject_cast<QMdiSubWindow*>(w);
    if (!sub) sub = area_->activeSubWindow();
    if (sub && sub->widget())
        if (auto run = windowCommand(sub->widget(), key)) return run;
    // A menu's letter opens the menu: the menu bar's own shortcut does that.
    for (QAction* m : menuBar()->actions())
        if (m->isEnabled() && hasMnemonic(m->text(), key)) return {};
    for (QAction* a : toolBar_->actions())
        if (a->isEnabled() && hasMnemonic(a->iconText(), key)) return [a] { a->trigger(); };
    return {};
}

bool MAIN::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    auto* receiver = qobject_cast<QWidget*>(watched);
    bool alnum = (key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z) || (key->key() >= Qt::Key_0 && key->key() <= Qt::Key_9);
    if (!receiver || receiver->window() != this || key->modifiers() != Qt::AltModifier || !alnum) return false;
    auto run = altKeyCommand(receiver, QKeySequence(key->keyCombination()));
    if (!run) return false;
    // Taking the override keeps the key from the menu bar's shortcuts; the
    // command runs on the key press that follows.
    key->accept();
    if (event->type() == QEvent::KeyPress && !key->isAutoRepeat()) run();
    return true;
}

void MAIN::closeEvent(QCloseEvent* event) {
    // Every window gets its say first. Forms and choosers close (cancelled, as
    // their Cancel would), but a list waiting for its form can go only once the
    // form's wait has ended: while windows keep closing, the frame tries again
    // when the waits have unwound. A window that refuses keeps the program open.
    auto visible = [this] {
        qsizetype n = 0;
        for (QMdiSubWindow* sub : area_->subWindowList())
            if (sub->isVisible()) ++n;
        return n;
    };
    const qsizetype before = visible();
    area_->closeAllSubWindows();
    const qsizetype open = visible();
    if (open == 0) {
        event->accept();
        return;
    }
    event->ignore();
    if (open < before) later(this, [this] { close(); });
}

OPROGRAMU::OPROGRAMU(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("O programu Marel V1.01"));
    auto* picture = new QLabel;
    picture->setPixmap(artwork::program().pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);
    auto* name = new QLabel(QStringLiteral("MAREL V 2014.4"));
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    name->setFont(bold);
    auto* text = new QVBoxLayout;
    text->addWidget(name);
    auto* about = new QLabel(QStringLiteral(
        "Program vodi evidenciju isplata drugog dohotka (honorari, ugovori o djelu) i izrađuje\n"
        "JOPPD obrasce, ispis virmana (HUB3 ili HUB 3A), potvrde na kraju godine."));
    auto* contact = new QLabel(QStringLiteral("Kontakt: podrska@marel.hr"));
    about->setTextInteractionFlags(Qt::TextSelectableByMouse);
    contact->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->addSpacing(4);
    text->addWidget(about);
    text->addSpacing(8);
    text->addWidget(contact);
    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(picture);
    top->addLayout(text, 1);
    auto* buttons = new QDialogButtonBox;
    QPushButton* close = buttons->addButton(QStringLiteral("&Zatvori"), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->addLayout(top);
    layout->addSpacing(10);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace marel
