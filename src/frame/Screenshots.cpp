#include "frame/Screenshots.h"
#include "frame/Screens.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPointer>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "common/Prompter.h"
#include "frame/Main.h"
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

void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

class Walk {
public:
    Walk(MAIN& frame, const QString& folder) : frame_(frame), folder_(folder) {}

    ScreenshotReport report;

    void whole(const QString& name) { save(frame_.grab(), name); }

    void about() {
        OPROGRAMU box(&frame_);
        box.show();
        settle();
        check(&box, box.windowTitle());
        save(box.grab(), box.windowTitle());
        box.close();
    }

    void screen(const std::string& name) {
        QMdiSubWindow* sub = frame_.openScreen(name);
        if (!sub) {
            note(QString::fromStdString(name) + ": zaslon se ne otvara");
            return;
        }
        settle();
        QPointer<QWidget> content = sub->widget();
        walk(content, 0, false);
        messages(QString::fromStdString(name));
        if (content) sub->close();
        settle();
    }

private:
    // Takes the window, then every window its buttons open, then closes it
    // (the caller closes a screen).
    void walk(QWidget* window, int depth, bool chooser, bool inserting = false) {
        const QString title = titleOf(window);
        shoot(window, title, !inserting);
        if (depth > 3) return;
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
            const QString id = b->objectName();
            const bool form = opensForm(id) && !chooser && depth < 3;
            if (!(form || opensChooser(id) || (opensOther(id) && depth == 0))) continue;
            if (!b->isVisible() || !b->isEnabled()) continue;
            WindowBuilder* builder = builderOf(window);
            if (!builder) continue;
            const std::string button = id.toStdString();
            QWidget* before = active();
            bool ran = false;
            // The window the button opens waits in its own event loop: the
            // work inside it is queued before the press that opens it.
            QTimer::singleShot(50, [&, before, depth] {
                ran = true;
                settle();
                QWidget* opened = active();
                if (!opened || opened == before) {
                    messages(title + " / " + id);
                    return;
                }
                walk(opened, depth + 1, !opensForm(id) || isChooser(opened), id.endsWith(QLatin1String("insert")));
                close(opened);
            });
            builder->press(button);
            while (!ran) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            settle();
            // A window that does not wait (a preview) is still open: close it too.
            QWidget* left = active();
            if (left && left != before && left != window) close(left);
            messages(title + " / " + id);
        }
    }

    static bool isChooser(QWidget* w) {
        WindowBuilder* b = builderOf(w);
        return b && b->control("select") && b->control("select")->isVisible();
    }

    static WindowBuilder* builderOf(QWidget* w) {
        return w ? w->findChild<WindowBuilder*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    }

    QWidget* active() const {
        if (QMdiSubWindow* s = frame_.area()->activeSubWindow()) return s->widget();
        QWidget* w = QApplication::activeWindow();
        return w == &frame_ ? nullptr : w;
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
                note(title + QStringLiteral(": prozor izlazi iz okvira (%1x%2 na %3,%4, okvir %5x%6)")
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
                        note(title + ": odrezan stupac \"" + header + "\" (\"" + text + "\")");
                        break;
                    }
                }
            }
        }
        for (QLineEdit* e : window->findChildren<QLineEdit*>()) {
            if (!e->isVisible() || e->text().isEmpty()) continue;
            const int room = e->contentsRect().width() - 6;
            if (e->fontMetrics().horizontalAdvance(e->text()) > room)
                note(title + ": odrezana vrijednost u " + name(e) + " \"" + e->text() + "\"");
        }
        for (QLabel* l : window->findChildren<QLabel*>()) {
            if (!l->isVisible() || l->wordWrap() || l->text().isEmpty() || !l->pixmap().isNull()) continue;
            int widest = 0;
            for (const QString& line : QString(l->text()).remove('&').split('\n'))
                widest = std::max(widest, l->fontMetrics().horizontalAdvance(line));
            if (widest > l->contentsRect().width())
                note(title + ": odrezan tekst \"" + l->text() + "\"");
        }
        overlaps(window, title);
    }

    // Controls of one parent that lie over each other; containers hold
    // their children on purpose and are not counted.
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
                    note(title + ": kontrole se preklapaju: " + name(controls[i]) + " i " + name(controls[j]));
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

    void note(const QString& text) {
        // The same finding on every copy of a window is one finding.
        const std::string line = text.toStdString();
        for (const std::string& n : report.notes)
            if (n == line) return;
        report.notes.push_back(line);
    }

    MAIN& frame_;
    QString folder_;
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

ScreenshotReport takeScreenshots(MAIN& frame, const std::string& folder, const std::vector<std::string>& screens) {
    QDir().mkpath(QString::fromStdString(folder));
    // Questions are answered with their default button and kept for the report.
    ScriptedPrompter asked;
    Prompter* before = &prompter();
    setPrompter(&asked);
    Walk walk(frame, QString::fromStdString(folder));
    settle();
    if (screens.empty()) {
        walk.whole(QStringLiteral("MAREL"));
        walk.about();
    }
    for (const std::string& s : screens.empty() ? screenshotScreens() : screens) walk.screen(s);
    setPrompter(before);

    QFile file(QDir(QString::fromStdString(folder)).filePath(QStringLiteral("izvjestaj.txt")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QTextStream out(&file);
        for (const std::string& n : walk.report.notes) out << QString::fromStdString(n) << '\n';
    }
    return walk.report;
}

}  // namespace marel
