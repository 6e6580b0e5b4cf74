#include "frame/Screenshots.h"
#include "frame/Screens.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>

#include "common/Prompter.h"
#include "frame/ExportCommand.h"
#include "frame/Main.h"
#include "preview/WmfPlayer.h"
#include "report/Export.h"
#include "report/Wmf.h"
#include "store/Store.h"
#include "ui/screens/ListBrowserView.h"
#include "ui/screens/WindowBuilder.h"

namespace marel {

namespace {

// Buttons that open another window: a list's insert and change form, a
// form's chooser, a printout's preview, the duplicate dialog.
bool opensForm(const QString& id) { return id.endsWith(QLatin1String("insert")) || id.endsWith(QLatin1String("change")); }
bool opensChooser(const QString& id) {
    return id.endsWith(QLatin1String("lookup")) || id == QLatin1String("primitak") ||
           id == QLatin1String("neoporezivi");
}
bool opensOther(const QString& id) { return id == QLatin1String("ispis") || id == QLatin1String("duplikat"); }

QString plainName(QString title) {
    static const std::pair<QChar, const char*> letters[] = {
        {QChar(0x10D), "c"}, {QChar(0x107), "c"}, {QChar(0x111), "dj"}, {QChar(0x161), "s"}, {QChar(0x17E), "z"},
        {QChar(0x10C), "C"}, {QChar(0x106), "C"}, {QChar(0x110), "Dj"}, {QChar(0x160), "S"}, {QChar(0x17D), "Z"},
    };
    for (const auto& [from, to] : letters) title.replace(from, QLatin1String(to));
    QString out;
    for (QChar c : title) out += (c.isLetterOrNumber() && c.unicode() < 128) ? c : QChar('_');
    while (out.contains(QLatin1String("__"))) out.replace(QLatin1String("__"), QLatin1String("_"));
    out = out.mid(out.startsWith('_') ? 1 : 0);
    if (out.endsWith('_')) out.chop(1);
    return out.isEmpty() ? QStringLiteral("prozor") : out.left(60);
}

// Lets the program and the window manager finish what they are doing (the
// window manager answers in its own time; without a display nothing waits).
void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    static const bool desktop = QGuiApplication::platformName() != QLatin1String("offscreen");
    if (!desktop) return;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20) QApplication::processEvents(QEventLoop::AllEvents, 5);
}

class Walk {
public:
    Walk(MAIN& frame, const QString& folder) : frame_(frame), folder_(folder) {}

    ScreenshotReport report;

    // The round's pictures go into `folder`, its notes start with `prefix`.
    void round(const QString& folder, const QString& prefix) {
        folder_ = folder;
        prefix_ = prefix;
        QDir().mkpath(folder_);
    }

    void whole(const QString& name) { save(frame_.grab(), name); }

    // The frame lies on its screen: else every window would be judged in
    // room the user does not have. (Without a display the screen is notional.)
    void frameOnScreen() {
        const QScreen* screen = frame_.screen();
        if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;
        if (screen && !screen->geometry().contains(frame_.frameGeometry()))
            fault(QStringLiteral("okvir izlazi iz zaslona (%1x%2 na %3,%4, zaslon %5x%6)")
                      .arg(frame_.frameGeometry().width()).arg(frame_.frameGeometry().height())
                      .arg(frame_.frameGeometry().x()).arg(frame_.frameGeometry().y())
                      .arg(screen->geometry().width()).arg(screen->geometry().height()));
    }

    void about() {
        OPROGRAMU box(&frame_);
        box.show();
        settle();
        check(&box, box.windowTitle());
        save(box.grab(), box.windowTitle());
        box.close();
    }

    void screen(const std::string& name) {
        const Windows before = openWindows();
        QMdiSubWindow* sub = frame_.openScreen(name);
        if (!sub) {
            note(QString::fromStdString(name) + ": zaslon se ne otvara");
            return;
        }
        settle();
        QPointer<QWidget> content = sub->widget();
        if (content) walk(content, 0, false);
        messages(QString::fromStdString(name));
        if (content) sub->close();
        settle();
        // Nothing the screen opened stays behind it.
        closeAllSince(before);
    }

private:
    using Windows = QList<QWidget*>;

    // The windows open besides the frame: its MDI windows in the order they
    // were made, then windows of their own.
    Windows openWindows() const {
        Windows out;
        for (QMdiSubWindow* s : frame_.area()->subWindowList(QMdiArea::CreationOrder))
            if (s->isVisible() && s->widget()) out.push_back(s);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            const Qt::WindowType type = w->windowType();
            if (w != &frame_ && w->isVisible() && type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop &&
                type != Qt::SplashScreen)
                out.push_back(w);
        }
        return out;
    }

    static QWidget* contentOf(QWidget* window) {
        if (auto* s = qobject_cast<QMdiSubWindow*>(window)) return s->widget();
        return window;
    }

    // The window opened last of those not open `before`.
    QWidget* newestSince(const Windows& before) const {
        const Windows now = openWindows();
        for (auto it = now.rbegin(); it != now.rend(); ++it)
            if (!before.contains(*it)) return contentOf(*it);
        return nullptr;
    }

    void closeAllSince(const Windows& before) {
        for (int i = 0; i < 20; ++i) {
            QWidget* w = newestSince(before);
            if (!w) return;
            close(w);
        }
        note(QStringLiteral("prozori se ne daju zatvoriti"));
    }

    // Takes the window, then every window its buttons open, then closes it
    // (the caller closes a screen).
    void walk(QWidget* window, int depth, bool chooser, bool inserting = false) {
        const QString title = titleOf(window);
        shoot(window, title, !inserting);
        if (depth > 3) return;
        for (QPointer<QAbstractButton> b : window->findChildren<QAbstractButton*>()) {
            if (!b) continue;
            const QString id = b->objectName();
            const bool form = opensForm(id) && !chooser && depth < 3;
            if (!(form || opensChooser(id) || (opensOther(id) && depth == 0))) continue;
            if (!b->isVisible() || !b->isEnabled()) continue;
            WindowBuilder* builder = builderOf(window);
            if (!builder) continue;
            press(builder, id, title, depth);
        }
    }

    // Presses a button and walks whatever window it opens. A window that
    // waits (a form, a chooser) runs its own event loop until it closes, and
    // may open another at once (a form that asks for its first field from a
    // chooser): a timer, which runs inside whichever loop is innermost, takes
    // each new window in turn and closes it, until the press is over and
    // nothing it opened is left.
    void press(WindowBuilder* builder, const QString& id, const QString& title, int depth) {
        struct Pressing {
            bool over = false;
            bool looked = false;
            int turns = 0;
            QList<QPointer<QWidget>> taken;
            std::function<void()> look;
        };
        auto p = std::make_shared<Pressing>();
        const Windows before = openWindows();
        const bool isForm = opensForm(id);
        const bool inserting = id.endsWith(QLatin1String("insert"));
        std::weak_ptr<Pressing> weak = p;
        p->look = [this, weak, before, isForm, inserting, depth, id, title] {
            auto p = weak.lock();
            if (!p || p->over) return;
            settle();
            if (p->over) return;
            if (QWidget* w = newestSince(before)) {
                bool taken = false;
                for (const QPointer<QWidget>& t : p->taken) taken = taken || t == w;
                if (!taken) {
                    p->taken.push_back(w);
                    walk(w, depth + 1, !isForm || isChooser(w), inserting);
                }
                close(w);
            }
            p->looked = true;
            if (++p->turns > 60) {
                note(title + " / " + id + ": prozori se stalno otvaraju");
                return;
            }
            if (!p->over) QTimer::singleShot(50, &frame_, p->look);
        };
        QTimer::singleShot(50, &frame_, p->look);
        builder->press(id.toStdString());
        // A window that does not wait (a preview) is taken by the timer too;
        // one queued to open a moment later as well.
        QElapsedTimer t;
        t.start();
        int quiet = 0;
        while (t.elapsed() < 5000 && (!p->looked || quiet < 3)) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
            quiet = newestSince(before) ? 0 : quiet + 1;
        }
        p->over = true;
        closeAllSince(before);
        messages(title + " / " + id);
    }

    static bool isChooser(QWidget* w) {
        WindowBuilder* b = builderOf(w);
        return b && b->control("select") && b->control("select")->isVisible();
    }

    static WindowBuilder* builderOf(QWidget* w) {
        return w ? w->findChild<WindowBuilder*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    }

    static QString titleOf(QWidget* w) {
        QString t = w->windowTitle();
        if (t.isEmpty())
            if (auto* s = qobject_cast<QMdiSubWindow*>(w->parentWidget())) t = s->windowTitle();
        return t.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : t;
    }

    void close(QWidget* w) {
        QPointer<QWidget> p = w;
        if (WindowBuilder* b = builderOf(w)) {
            for (const char* id : {"cancel", "close"}) {
                if (b->control(id) && b->control(id)->isVisible() && b->control(id)->isEnabled()) {
                    b->press(id);
                    settle();
                    if (!p || !p->isVisible()) return;
                }
            }
        }
        if (!p) return;
        if (auto* s = qobject_cast<QMdiSubWindow*>(p->parentWidget())) s->close();
        else p->close();
        settle();
    }

    void shoot(QWidget* window, const QString& title, bool emptyListsMatter) {
        settle();
        check(window, title, emptyListsMatter);
        auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
        save((sub ? static_cast<QWidget*>(sub) : window)->grab(), title);
    }

    void save(const QPixmap& picture, const QString& title) {
        const QString file =
            QDir(folder_).filePath(QStringLiteral("%1_%2.png").arg(++count_, 2, 10, QChar('0')).arg(plainName(title)));
        if (!picture.save(file)) note(title + ": slika se ne može spremiti u " + file);
        else report.files.push_back(file.toStdString());
    }

    // What shows at a glance, on the window as it is drawn.
    void check(QWidget* window, const QString& title, bool emptyListsMatter = true) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
            const QRect area = frame_.area()->viewport()->rect();
            if (!area.contains(sub->geometry()))
                fault(title + QStringLiteral(": prozor izlazi iz okvira (%1x%2 na %3,%4, okvir %5x%6)")
                                  .arg(sub->width()).arg(sub->height()).arg(sub->x()).arg(sub->y())
                                  .arg(area.width()).arg(area.height()));
        }
        // A new record's form has nothing in its lists yet; elsewhere an
        // empty list means the demo data lack something.
        for (QAbstractItemView* list : window->findChildren<QAbstractItemView*>())
            if (emptyListsMatter && !qobject_cast<QHeaderView*>(list) && list->isVisible() && list->model() &&
                list->model()->rowCount() == 0)
                note(title + ": prazan popis " + name(list));
        for (QTableView* table : window->findChildren<QTableView*>()) {
            if (!table->isVisible() || !table->model()) continue;
            const QAbstractItemModel* m = table->model();
            for (int c = 0; c < m->columnCount(); ++c) {
                if (table->isColumnHidden(c)) continue;
                const QString header = m->headerData(c, Qt::Horizontal).toString();
                for (int r = 0; r < std::min(m->rowCount(), 30); ++r) {
                    const QString text = m->data(m->index(r, c)).toString().trimmed();
                    if (table->fontMetrics().horizontalAdvance(text) + 6 > table->columnWidth(c)) {
                        fault(title + ": odrezan stupac \"" + header + "\" (\"" + text + "\")");
                        break;
                    }
                }
            }
        }
        for (QLineEdit* e : window->findChildren<QLineEdit*>()) {
            if (!e->isVisible() || e->text().isEmpty()) continue;
            const int room = e->contentsRect().width() - 6;
            if (e->fontMetrics().horizontalAdvance(e->text()) > room)
                fault(title + ": odrezana vrijednost u " + name(e) + " \"" + e->text() + "\"");
        }
        for (QLabel* l : window->findChildren<QLabel*>()) {
            if (!l->isVisible() || l->wordWrap() || l->text().isEmpty() || !l->pixmap().isNull()) continue;
            int widest = 0;
            for (const QString& line : QString(l->text()).remove('&').split('\n'))
                widest = std::max(widest, l->fontMetrics().horizontalAdvance(line));
            if (widest > l->contentsRect().width())
                fault(title + ": odrezan tekst \"" + l->text() + "\"");
        }
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
            if (!b->isVisible() || b->text().isEmpty() || qobject_cast<QMdiSubWindow*>(b->parentWidget())) continue;
            if (qobject_cast<QPushButton*>(b)) {
                const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
                if (b->fontMetrics().size(Qt::TextShowMnemonic, b->text()).width() + margin > b->width())
                    fault(title + ": odrezan natpis gumba \"" + b->text() + "\"");
            } else if (qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b)) {
                if (b->sizeHint().width() > b->width()) fault(title + ": odrezan natpis \"" + b->text() + "\"");
            }
        }
        if (WindowBuilder* b = builderOf(window)) layout(*b, title);
        else overlaps(window, title);
    }

    // ---- the layout of a window built from its resource

    struct Part {
        QWidget* widget = nullptr;
        const Control* def = nullptr;
        int parent = -1;
        QRect ink;  // what is drawn of it, in the window's coordinates
        bool shown = false;
    };

    // What a control draws: a caption or a shown value its text (a label is
    // transparent beside it), a check box its box and text, the rest all of it.
    static QRect inkOf(QWidget* w, const Control& c) {
        if (!w->isVisible()) return {};
        const QRect g = w->geometry();
        if (auto* l = qobject_cast<QLabel*>(w); l && l->pixmap().isNull()) {
            if (l->text().isEmpty()) return {};
            int flags = int(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0);
            flags |= l->buddy() ? Qt::TextShowMnemonic : 0;
            const QRect inner = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
            const QRect text = l->fontMetrics().boundingRect(inner, flags, l->text());
            return text.intersected(l->rect()).translated(g.topLeft());
        }
        if (c.kind == ControlKind::Check || c.kind == ControlKind::Radio)
            return QRect(g.topLeft(), QSize(std::min(g.width(), w->sizeHint().width()), g.height()));
        return g;
    }

    static QString controlName(const Part& p) {
        if (!p.def->id.empty()) return QString::fromStdString(p.def->id);
        QString t = QString::fromStdString(p.def->text);
        return "\"" + t.remove('&') + "\"";
    }

    void layout(WindowBuilder& b, const QString& title) {
        QWidget* root = b.root();
        std::vector<Part> parts(b.controlCount());
        for (size_t i = 0; i < parts.size(); ++i) {
            Part& p = parts[i];
            p.widget = b.widgetAt(i);
            p.def = &b.definitionAt(i);
            p.parent = b.parentAt(i);
            if (p.def->kind == ControlKind::Tab) continue;
            p.shown = p.widget->isVisible();
            p.ink = inkOf(p.widget, *p.def);
        }
        // A control of a group or a tab, or one the resource lays on a frame
        // of its own, lies on that frame on purpose.
        auto within = [&](int child, int container) {
            for (int q = parts[size_t(child)].parent; q >= 0; q = parts[size_t(q)].parent)
                if (q == container) return true;
            const Part& f = parts[size_t(container)];
            const ControlKind k = f.def->kind;
            return (k == ControlKind::Group || k == ControlKind::Option || k == ControlKind::Sheet) &&
                   f.widget->geometry().contains(parts[size_t(child)].ink);
        };
        // What the window shows of itself: its frame may hold it smaller than it is.
        QRect room = root->rect();
        if (auto* sub = qobject_cast<QMdiSubWindow*>(root->parentWidget()))
            room = room.intersected(
                QRect(root->mapFrom(sub, sub->contentsRect().topLeft()), sub->contentsRect().size()));
        for (size_t i = 0; i < parts.size(); ++i) {
            const Part& p = parts[i];
            if (!p.shown || p.ink.isEmpty()) continue;
            if (!room.contains(p.ink))
                fault(title + ": " + controlName(p) + " izlazi iz prozora");
            // Inside the group or the tab it belongs to.
            for (int q = p.parent; q >= 0; q = parts[size_t(q)].parent) {
                const Part& c = parts[size_t(q)];
                if (c.def->kind == ControlKind::Tab) continue;
                QRect inside = c.widget->geometry();
                if (auto* tabs = qobject_cast<QTabWidget*>(c.widget); tabs && tabs->currentWidget())
                    inside = QRect(tabs->currentWidget()->mapTo(root, QPoint(0, 0)), tabs->currentWidget()->size());
                if (!inside.contains(p.ink))
                    fault(title + ": " + controlName(p) + " izlazi iz okvira " + controlName(c));
                break;
            }
            for (size_t j = i + 1; j < parts.size(); ++j) {
                const Part& o = parts[j];
                if (!o.shown || o.ink.isEmpty() || within(int(j), int(i)) || within(int(i), int(j))) continue;
                const QRect both = p.ink.intersected(o.ink);
                if (both.width() > 2 && both.height() > 2)
                    fault(title + ": kontrole se preklapaju: " + controlName(p) + " i " + controlName(o));
            }
            // A caption ends before the control it names, and before any
            // other that follows it on its line.
            if (p.def->kind == ControlKind::Prompt) {
                const QRect g = p.widget->geometry();
                const Part* next = nullptr;
                for (size_t j = 0; j < parts.size(); ++j) {
                    const Part& o = parts[j];
                    if (j == i || !o.shown || o.ink.isEmpty() || within(int(i), int(j))) continue;
                    const QRect og = o.widget->geometry();
                    const int common = std::min(og.bottom(), p.ink.bottom()) - std::max(og.top(), p.ink.top());
                    if (common < 2 || og.left() <= g.left()) continue;
                    if (!next || og.left() < next->widget->geometry().left()) next = &o;
                }
                if (next && p.ink.right() >= next->widget->geometry().left())
                    fault(title + ": natpis " + controlName(p) + " ulazi u " + controlName(*next));
            }
            if (auto* view = qobject_cast<ListBrowserView*>(p.widget)) columns(*view, title, controlName(p));
        }
    }

    // Every column of a list is whole, or the list scrolls to it because its
    // window cannot grow any wider in the frame.
    void columns(ListBrowserView& view, const QString& title, const QString& list) {
        QTableView* table = view.table();
        QHeaderView* header = table->horizontalHeader();
        QMdiSubWindow* sub = nullptr;
        for (QWidget* w = view.parentWidget(); w && !sub; w = w->parentWidget()) sub = qobject_cast<QMdiSubWindow*>(w);
        QStringList hidden;
        int missing = 0;
        for (int c = 0; c < header->count(); ++c) {
            if (header->isSectionHidden(c)) continue;
            const QString heading = table->model()->headerData(c, Qt::Horizontal).toString();
            const int width = header->sectionSize(c);
            if (width < view.columnNeeded(c))
                fault(title + ": " + list + ": stupac \"" + heading +
                      QStringLiteral("\" je uži od svog sadržaja (%1 od %2)").arg(width).arg(view.columnNeeded(c)));
            const int beyond = header->sectionPosition(c) + width - table->viewport()->width();
            if (beyond <= 0) continue;
            hidden << heading;
            missing = std::max(missing, beyond);
        }
        if (hidden.isEmpty()) return;
        const bool canGrow = sub && !sub->isMaximized() && sub->width() + missing <= frame_.area()->viewport()->width();
        // (Scrolled by whole columns: the bar counts columns, not pixels.)
        const bool scrolls = table->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff &&
                             table->horizontalScrollBar()->maximum() > 0;
        if (canGrow)
            fault(title + ": " + list + ": ne vide se cijeli stupci \"" + hidden.join("\", \"") +
                  "\", a prozor bi mogao biti širi");
        else if (!scrolls)
            fault(title + ": " + list + ": ne vide se cijeli stupci \"" + hidden.join("\", \"") +
                  "\", a popis se ne pomiče");
    }

    // Controls of one parent that lie over each other, in a window not built
    // from a resource; containers hold their children on purpose and are not
    // counted.
    void overlaps(QWidget* parent, const QString& title) {
        QList<QWidget*> controls;
        for (QObject* o : parent->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (!w || !w->isVisible() || w->isWindow()) continue;
            if (qobject_cast<QGroupBox*>(w) || qobject_cast<QTabWidget*>(w) || qobject_cast<QStackedWidget*>(w)) {
                overlaps(w, title);
                continue;
            }
            controls.push_back(w);
        }
        for (int i = 0; i < controls.size(); ++i)
            for (int j = i + 1; j < controls.size(); ++j) {
                const QRect both = controls[i]->geometry().intersected(controls[j]->geometry());
                if (both.width() > 2 && both.height() > 2)
                    fault(title + ": kontrole se preklapaju: " + name(controls[i]) + " i " + name(controls[j]));
            }
    }

    static QString name(QWidget* w) {
        if (!w->objectName().isEmpty()) return w->objectName();
        if (auto* l = qobject_cast<QLabel*>(w)) return "\"" + l->text() + "\"";
        if (auto* b = qobject_cast<QAbstractButton*>(w)) return "\"" + b->text() + "\"";
        return QString::fromLatin1(w->metaObject()->className());
    }

    // The messages the walk was shown (answered with their default button).
    void messages(const QString& where) {
        auto* asked = dynamic_cast<ScriptedPrompter*>(&prompter());
        if (!asked) return;
        for (const MessageRequest& m : asked->messages)
            note(where + ": poruka \"" + QString::fromStdString(m.text) + "\"");
        asked->messages.clear();
    }

    bool note(const QString& text) {
        // The same finding on every copy of a window is one finding.
        const std::string line = (prefix_ + text).toStdString();
        for (const std::string& n : report.notes)
            if (n == line) return false;
        report.notes.push_back(line);
        return true;
    }
    void fault(const QString& text) {
        if (note(text)) report.layout.push_back(report.notes.back());
    }

    MAIN& frame_;
    QString folder_;
    QString prefix_;
    int count_ = 0;
};

}  // namespace

const std::vector<std::string>& screenshotScreens() {
    // The menu's order first, then every other screen the frame knows.
    static std::vector<std::string> names;
    names = {"OPCINE", "MJESTA", "ULICE", "BANKE", "SUBJEKTI", "OSOBE", "VRSTEDOHOTKA", "BROWSEPARAM", "ISPLATE",
             "JOPOOBRASCI"};
    for (const std::string& n : registeredScreens())
        if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
    return names;
}

std::vector<std::string> renderFirstPages(const std::string& folder) {
    registerAllExports();
    QDir().mkpath(QString::fromStdString(folder));
    // The demo data's payer, payment, line, recipient and forms.
    static const std::map<std::string, std::string> known = {
        {"isplata", "1"}, {"dohodak", "1"}, {"isplatitelj", "1"}, {"primatelj", "1"}, {"godina", "2014"},
        {"mjesec", "3"},  {"id1", "1"},     {"kriporez", "1"},
    };
    ScriptedPrompter quiet;
    Prompter* before = &prompter();
    setPrompter(&quiet);
    std::vector<std::string> notes;
    for (const ExportEntry* e : registeredExports()) {
        if (!e->pages) continue;
        std::map<std::string, std::string> args;
        for (const ExportArg& a : e->args)
            if (known.count(a.name)) args[a.name] = known.at(a.name);
        ExportOutcome o;
        {
            ReadTransaction snapshot;
            o = runPages(*e, ExportArgs(args));
        }
        if (!o.report || o.report->pages().empty()) {
            notes.push_back(e->name + ": nema stranica (" + o.error + ")");
            continue;
        }
        for (const UnfitText& u : o.report->unfit())
            if (u.kind != UnfitText::Shrunk)
                notes.push_back(e->name + ": stranica " + std::to_string(u.page) + ", " + u.band + ": \"" + u.text +
                                "\" ne stane u svoje polje");
        // The first page at 100 dots per inch, as it comes out of the printer.
        const Page& first = o.report->pages().front();
        if (auto page = first.metafile(); page && page->inch > 0) {
            const QSize size(page->width() * 100 / page->inch, page->height() * 100 / page->inch);
            const QString file = QDir(QString::fromStdString(folder)).filePath(QString::fromStdString(e->name) + ".png");
            if (!renderPage(first, size).save(file)) notes.push_back(e->name + ": slika se ne može spremiti");
        }
        o.report->discard();
    }
    setPrompter(before);
    return notes;
}

ScreenshotReport takeScreenshots(MAIN& frame, const std::string& folder, const std::vector<std::string>& screens) {
    QDir().mkpath(QString::fromStdString(folder));
    // Questions are answered with their default button and kept for the report.
    ScriptedPrompter asked;
    Prompter* before = &prompter();
    setPrompter(&asked);
    const QString root = QString::fromStdString(folder);
    Walk walk(frame, root);
    settle();
    walk.frameOnScreen();
    if (screens.empty()) {
        walk.whole(QStringLiteral("MAREL"));
        walk.about();
    }
    const std::vector<std::string>& names = screens.empty() ? screenshotScreens() : screens;
    for (const std::string& s : names) walk.screen(s);
    // Again over a maximized payments window: a window opened over a
    // maximized one is maximized too, and every form and chooser opens beside it.
    if (QMdiSubWindow* under = frame.openScreen("ISPLATE")) {
        walk.round(QDir(root).filePath(QStringLiteral("nad_isplatama")), QStringLiteral("Nad isplatama: "));
        QPointer<QMdiSubWindow> payments = under;
        for (const std::string& s : names) {
            if (!payments) break;
            payments->showMaximized();
            frame.area()->setActiveSubWindow(payments);
            settle();
            walk.screen(s);
        }
        if (payments) payments->close();
        settle();
    }
    setPrompter(before);

    QFile file(QDir(QString::fromStdString(folder)).filePath(QStringLiteral("izvjestaj.txt")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QTextStream out(&file);
        for (const std::string& n : walk.report.notes) out << QString::fromStdString(n) << '\n';
    }
    return walk.report;
}

}  // namespace marel
