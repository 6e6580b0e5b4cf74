#include "ui/screens/ListWindow.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QShortcut>
#include <QTableView>
#include <QTimer>

#include "ui/screens/ListBrowserView.h"
#include "ui/screens/WindowHost.h"
#include "ui/screens/Runtime.h"

namespace marel {

ListWindow::ListWindow(WindowResource resource, QWidget* parent)
    : QWidget(parent), builder_(new WindowBuilder(std::move(resource), this)) {}

ListWindow::~ListWindow() {
    for (Part& p : lists_) p.listener.cancel();
    // The views go with their widgets; the browsers release their files.
    if (!finished_) {
        finished_ = true;
        placement_.release(this);
    }
    // The views read their browsers to the last, so they go first; a detail
    // list goes before the master it follows.
    for (Part& p : lists_) p.view.reset();
    while (!lists_.empty()) lists_.pop_back();
}

ListBrowser& ListWindow::add(std::unique_ptr<ListBrowser> browser, Binding where) {
    Part p;
    p.browser = std::move(browser);
    p.where = std::move(where);
    p.view = std::make_unique<ListBrowserView>(*p.browser, this);
    // (The window widens for the list's columns as far as it can.)
    builder_->replace(p.where.list, p.view.get());
    ListBrowser& b = *p.browser;
    ListBrowserView* view = p.view.get();
    auto hook = [&](const char* name, void (ListBrowser::*press)()) {
        const std::string button = p.where.buttons + name;
        if (!builder_->control(button)) return;
        builder_->onAccepted(button, [&b, view, press] {
            (b.*press)();
            if (!b.isClosed()) view->table()->setFocus();
            return true;
        });
    };
    hook("insert", &ListBrowser::insertRecord);
    hook("change", &ListBrowser::changeRecord);
    hook("delete", &ListBrowser::deleteRecord);
    hook("select", &ListBrowser::selectRecord);
    hook("close", &ListBrowser::closeList);
    if (!p.where.sheet.empty())
        builder_->onTabChanged(p.where.sheet, [&b, view](int index) {
            b.setSortOrder(index + 1);
            view->table()->setFocus();
        });
    if (!p.where.locator.empty())
        builder_->onAccepted(p.where.locator, [this, &b, view, locator = p.where.locator] {
            // The entry has written its variable, the key field, through its picture.
            const Control* c = builder_->definition(locator);
            if (c && c->field.bound() && b.entryLocate(c->field.text())) view->table()->setFocus();
            return true;
        });
    // The list with its buttons, tabs and locator: where two lists carry
    // buttons of one caption, the letter acts for the list working now.
    {
        std::vector<std::string> ids{p.where.list, p.where.sheet, p.where.locator};
        for (const char* name : {"insert", "change", "delete", "select", "close"}) ids.push_back(p.where.buttons + name);
        builder_->keyGroup(ids);
    }
    connect(view, &ListBrowserView::closed, this, [this, &b] { finish(b.response()); });
    p.listener = b.subscribe([this] {
        states();
        if (onChange) onChange();
    });
    lists_.push_back(std::move(p));
    return b;
}

void ListWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (opened_) return;
    opened_ = true;
    // The frame's window around us tells when we become active again.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub_ = sub;
        connect(sub->mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
            const bool now = w && w == sub_;
            if (now && !active_) later(this, [this] { activated(); });
            active_ = now;
        });
        active_ = sub->mdiArea()->activeSubWindow() == sub;
    }
    openLists();
}

void ListWindow::openLists() {
    for (size_t i = 0; i < lists_.size(); ++i) lists_[i].browser->open(i == 0 ? request_ : 0);
    states();
    if (onChange) onChange();
    if (!lists_.empty() && !finished_) lists_.front().view->table()->setFocus();
}

void ListWindow::states() {
    if (finished_) return;
    for (size_t i = 0; i < lists_.size(); ++i) {
        const Part& p = lists_[i];
        const ListBrowser& b = *p.browser;
        auto set = [&](const char* name, bool on) {
            const std::string button = id(p, name);
            if (builder_->control(button)) builder_->enable(button, on);
        };
        set("insert", b.canInsert());
        set("change", b.canChange());
        set("delete", b.canChange());
        set("select", b.canSelect());
        if (i == 0 && p.where.hideSelect && builder_->control(id(p, "select")))
            builder_->hide(id(p, "select"), !b.isChooser());
    }
}

void ListWindow::activated() {
    if (finished_) return;
    for (Part& p : lists_)
        if (p.browser->inForm()) return;
    for (Part& p : lists_) p.browser->refresh(true);
}

LONG ListWindow::choose(std::unique_ptr<ListWindow> list, QWidget* caller) {
    // Nothing to choose from (a screen not built yet): cancelled at once.
    if (list->lists_.empty()) return REQUESTCANCELLED;
    // Placed beside the caller, the window is a child of the caller's window
    // or of the frame's window around it, and deletes itself once closed.
    list->setAttribute(Qt::WA_DeleteOnClose);
    return list.release()->exec(caller);
}

LONG ListWindow::exec(QWidget* caller) {
    request_ = SELECTRECORD;
    QEventLoop loop;
    LONG answer = REQUESTCANCELLED;
    connect(this, &ListWindow::finished, &loop, [&](int r) {
        answer = r;
        loop.quit();
    });
    // Esc leaves a chooser without a choice.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] { finish(REQUESTCANCELLED); });
    placement_.show(this, caller, this);
    if (placement_.sub) sub_ = placement_.sub;
    if (!finished_) loop.exec();
    return answer;
}

void ListWindow::finish(LONG response) {
    if (finished_) return;
    finished_ = true;
    response_ = response;
    placement_.release(this);
    emit finished(int(response));
    QWidget* w = placement_.window(this);
    if (w == this && parentWidget() && qobject_cast<QMdiSubWindow*>(parentWidget())) w = parentWidget();
    later(w, [w] { w->close(); });
}

void ListWindow::closeEvent(QCloseEvent* event) {
    if (!finished_) {
        for (Part& p : lists_)
            if (p.browser->inForm()) {
                // A form of this list is open: the list must wait for it.
                event->ignore();
                return;
            }
        finish(REQUESTCANCELLED);
    }
    QWidget::closeEvent(event);
}

bool ListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!finished_ && event->type() == QEvent::Close) {
        if (watched == placement_.callerWindow) {
            // The caller waits for the choice: it cannot go first.
            event->ignore();
            return true;
        }
        if (placement_.sub && watched == placement_.sub) {
            for (Part& p : lists_)
                if (p.browser->inForm()) {
                    event->ignore();
                    return true;
                }
            finish(REQUESTCANCELLED);
        }
    }
    return false;
}

}  // namespace marel
