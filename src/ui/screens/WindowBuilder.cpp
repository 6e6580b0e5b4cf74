#include "ui/screens/WindowBuilder.h"

#include <QApplication>
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "common/Prompter.h"
#include "ui/screens/Runtime.h"
#include "ui/screens/WindowHost.h"

namespace marel {

namespace {

const char* const kItem = "marelItem";
const char* const kBuilder = "marelBuilder";

// The frame's window that holds a widget, if any.
QWidget* frameWindowOf(QWidget* w) {
    for (; w; w = w->parentWidget())
        if (w->inherits("QMdiSubWindow")) return w;
    return nullptr;
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

// A caption's "&" gives a key only to a control; on a caption of its own it is dropped.
QString withoutKeyMark(const std::string& s) {
    QString t = qs(s);
    t.replace(QLatin1String("&&"), QChar(1));
    t.remove(QLatin1Char('&'));
    t.replace(QChar(1), QLatin1Char('&'));
    return t;
}

bool numberPicture(const std::optional<Picture>& p) { return p && p->kind() == Picture::Kind::Number; }

ResizeKind resizeKind(ControlKind k) {
    switch (k) {
        case ControlKind::Entry: return ResizeKind::Entry;
        case ControlKind::Button: return ResizeKind::Button;
        case ControlKind::Check:
        case ControlKind::Radio: return ResizeKind::Check;
        case ControlKind::Tab: return ResizeKind::None;
        case ControlKind::Lookup: return ResizeKind::Entry;  // built as an entry
        default: return ResizeKind::Other;
    }
}

// A control that holds others: a group, an option group, a tab sheet.
bool isFrame(ControlKind k) { return k == ControlKind::Group || k == ControlKind::Option || k == ControlKind::Sheet; }

bool fromInside(Qt::FocusReason r) { return r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason; }

}  // namespace

int widestValueWidth(const QFontMetrics& metrics, const Picture& picture) {
    int digit = metrics.averageCharWidth();
    for (char c = '0'; c <= '9'; ++c) digit = std::max(digit, metrics.horizontalAdvance(QLatin1Char(c)));
    // Short texts are codes and numbers of digits (OIB, account, post code);
    // longer ones are names and descriptions, measured at the average letter.
    const bool prose = picture.kind() == Picture::Kind::String && picture.width() > kCodeLength;
    if (!prose) return picture.width() * digit;
    // The font's "average" letter is a lowercase one; real names and
    // descriptions start words with capitals and carry digits, so a letter of
    // running Croatian text is what a full field holds.
    static const QString sample = QStringLiteral("Obala Hrvatskog narodnog preporoda 12, Đakovo (Šibenik)");
    const int letter = (metrics.horizontalAdvance(sample) + int(sample.size()) - 1) / int(sample.size());
    return picture.width() * std::max(metrics.averageCharWidth(), letter);
}

int neededWidth(const QWidget* widget, const std::optional<Picture>& picture) {
    const QFontMetrics fm = widget->fontMetrics();
    if (auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        if (!picture) return 0;
        // As QLineEdit measures its own size hint: text, its inner margins, then the frame.
        const QMargins m = edit->textMargins();
        QStyleOptionFrame opt;
        opt.initFrom(edit);
        opt.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit);
        const QSize text(widestValueWidth(fm, *picture) + 2 * 2 + m.left() + m.right() + 1, fm.height());
        return edit->style()->sizeFromContents(QStyle::CT_LineEdit, &opt, text, edit).width();
    }
    if (auto* label = qobject_cast<const QLabel*>(widget)) {
        // A display of several lines wraps its text over them instead.
        if (picture && label->wordWrap()) return 0;
        if (picture) return widestValueWidth(fm, *picture) + 2 * label->margin() + 2 * label->frameWidth();
        if (!label->pixmap().isNull()) return 0;
        return fm.horizontalAdvance(label->text()) + 2 * label->margin() + 2 * label->frameWidth() + 1;
    }
    if (auto* b = qobject_cast<const QPushButton*>(widget)) {
        // Not the size hint: the style pads short captions to a minimum width.
        const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
        const int frame = b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
        return fm.size(Qt::TextShowMnemonic, b->text()).width() + margin + 2 * frame + 2;
    }
    if (qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget))
        return widget->sizeHint().width();
    return 0;
}

WindowBuilder::WindowBuilder(WindowResource resource, QWidget* root)
    : QObject(root), resource_(std::move(resource)), root_(root) {
    root->setProperty(kBuilder, QVariant::fromValue<QObject*>(this));
    QFontMetrics metrics(root->font());
    baseX_ = metrics.averageCharWidth();
    baseY_ = metrics.height();
    root->setWindowTitle(qs(resource_.title));
    root->resize(pixelsX(resource_.width), pixelsY(resource_.height));
    expandLookups(resource_.controls);
    for (const Control& c : resource_.controls) build(c, -1);
    linkLookups();
    for (Item& it : items_)
        if (it.def->kind == ControlKind::Prompt) {
            auto* label = static_cast<QLabel*>(it.widget);
            if (!label->buddy()) label->setText(withoutKeyMark(it.def->text));
        }
    widenToContents();
    // The radios of an option group act for it as a list's buttons for the
    // list: two groups of "&DA" / "&NE" each answer Alt+D where the user is.
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].def->kind != ControlKind::Option) continue;
        items_[i].keyGroup = newKeyGroup();
        for (size_t j = i + 1; j < items_.size(); ++j)
            if (items_[j].parent == int(i)) items_[j].keyGroup = items_[i].keyGroup;
    }
    applyStates();
    display();

    // What still lies over its neighbour (a caption longer than the room
    // before its field, a control wider than its group) moves apart here.
    startLayout();
    root->installEventFilter(this);
    // The list that last had the focus keeps the letters its buttons share
    // with another list's, also while the focus is on a control of neither.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || !root_->isAncestorOf(now)) return;
        if (const int i = itemAt(now); i >= 0 && items_[size_t(i)].keyGroup >= 0)
            groupFocused_[size_t(items_[size_t(i)].keyGroup)] = ++focusTurns_;
    });
}

void WindowBuilder::linkLookups() {
    // A lookup's button and text know their entry.
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].def->lookup && items_[i].def->kind == ControlKind::Entry)
            for (size_t j = i + 1; j < items_.size() && items_[j].def->lookup == items_[i].def->lookup; ++j) {
                items_[j].lookupOf = int(i);
                if (items_[j].def->kind == ControlKind::Text) items_[i].lookupText = int(j);
            }
}

void WindowBuilder::widenToContents() {
    // Nothing is cut: an entry as wide as its picture's widest value, a caption
    // as wide as its text. Dialog units follow the average letter, which is
    // narrower than digits in most fonts, so a resource's width can fall short.
    // A control grows only into free room: never over the control beside it
    // (a lookup button, the name shown next to a number), which would hide it.
    auto container = [](ControlKind k) { return k == ControlKind::Tab || isFrame(k); };
    std::vector<QRect> laidOut;
    for (const Item& it : items_) laidOut.push_back(container(it.def->kind) ? QRect() : it.widget->geometry());
    int right = root_->width();
    for (size_t i = 0; i < items_.size(); ++i) {
        Item& it = items_[i];
        if (container(it.def->kind)) continue;
        QWidget* w = it.widget;
        const QRect g = laidOut[i];
        int room = std::numeric_limits<int>::max();
        for (size_t j = 0; j < items_.size(); ++j) {
            const QRect& o = laidOut[j];
            if (j == i || o.isNull() || o.left() < g.right() || o.bottom() < g.top() || o.top() > g.bottom()) continue;
            room = std::min(room, o.left() - pixelsX(1) - g.left());
        }
        // Nor out of the group or sheet it lies in.
        for (size_t j = 0; j < items_.size(); ++j) {
            const ControlKind k = items_[j].def->kind;
            const QRect f = items_[j].widget->geometry();
            if (j != i && isFrame(k) && f.contains(g))
                room = std::min(room, f.right() - pixelsX(2) - g.left());
        }
        // Typing scrolls in an entry: one for a long text (notes of a thousand
        // letters) grows only as far as a window fits the room it opens in.
        if (it.def->kind == ControlKind::Entry) room = std::min(room, roomForContent() - pixelsX(4) - g.left());
        const int wanted = std::max(g.width(), std::min(neededWidth(w, it.picture), room));
        if (w->width() >= wanted) continue;
        w->resize(wanted, w->height());
        right = std::max(right, w->geometry().right() + 1 + pixelsX(4));
    }
    if (right > root_->width()) root_->resize(right, root_->height());
}

WindowBuilder* WindowBuilder::of(QWidget* window) {
    if (!window) return nullptr;
    if (auto* b = qobject_cast<WindowBuilder*>(window->property(kBuilder).value<QObject*>()); b && b->root_ == window)
        return b;
    return window->findChild<WindowBuilder*>(QString(), Qt::FindDirectChildrenOnly);
}

WindowBuilder::~WindowBuilder() { resize_.DESTROY(); }

int WindowBuilder::pixelsX(int dialogUnits) const { return (dialogUnits * baseX_ + 2) / 4; }
int WindowBuilder::pixelsY(int dialogUnits) const { return (dialogUnits * baseY_ + 4) / 8; }

void WindowBuilder::build(const Control& c, int parent) {
    const int i = int(items_.size());
    Item item;
    item.def = &c;
    item.parent = parent;
    item.hidden = c.hidden;
    item.enabled = !c.disabled;
    items_.push_back(std::move(item));
    if (!c.picture.empty()) items_[i].picture = Picture::parse(c.picture);

    if (QWidget* w = makeWidget(c, i, parent)) {
        items_[i].widget = w;
        w->setGeometry(pixelsX(c.at.x), pixelsY(c.at.y), pixelsX(c.at.width), pixelsY(c.at.height));
        if (!c.tip.empty()) w->setToolTip(qs(c.tip));
    }
    QWidget* widget = items_[i].widget;
    widget->setProperty(kItem, i);
    widget->setProperty(kBuilder, QVariant::fromValue<QObject*>(this));
    if (!c.id.empty()) widget->setObjectName(qs(c.id));
    switch (c.kind) {
        case ControlKind::Entry:
        case ControlKind::Check:
        case ControlKind::Radio:
        case ControlKind::List:
            if (pendingBuddy_ >= 0) static_cast<QLabel*>(items_[size_t(pendingBuddy_)].widget)->setBuddy(widget);
            pendingBuddy_ = -1;
            if (c.kind != ControlKind::List) widget->installEventFilter(this);
            break;
        default: break;
    }
    if (!c.key.empty()) {
        auto* shortcut = new QShortcut(QKeySequence(qs(c.key)), root_);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, i] { ownKey(i); });
    }
    for (const Control& child : c.children) build(child, i);
}

// The widget of control i, a child of the window; nullptr for a tab, whose
// page the sheet places.
QWidget* WindowBuilder::makeWidget(const Control& c, int i, int parent) {
    const bool number = numberPicture(items_[i].picture);
    switch (c.kind) {
        case ControlKind::Prompt: {
            auto* label = new QLabel(qs(c.text), root_);
            label->setTextFormat(Qt::PlainText);
            pendingBuddy_ = i;
            return label;
        }
        case ControlKind::Entry: {
            auto* edit = new QLineEdit(root_);
            if (items_[i].picture && items_[i].picture->kind() == Picture::Kind::String)
                edit->setMaxLength(items_[i].picture->width());
            if (number) edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            edit->setReadOnly(c.readOnly);
            return edit;
        }
        case ControlKind::Text: return makeText(c, number);
        case ControlKind::Button: return makeButton(c, i);
        case ControlKind::Check: return makeCheck(c, i);
        case ControlKind::Option: return makeOption(c, i);
        case ControlKind::Radio: {
            auto* b = new QRadioButton(qs(c.text), root_);
            if (parent < 0 || !items_[parent].group) throw std::logic_error("Radio outside an option group");
            items_[parent].group->addButton(b, i);
            return b;
        }
        case ControlKind::Sheet: return makeSheet(i);
        case ControlKind::Tab: {
            auto* tabs = parent < 0 ? nullptr : qobject_cast<QTabWidget*>(items_[parent].widget);
            if (!tabs) throw std::logic_error("Tab outside a sheet");
            auto* page = new QWidget;
            items_[i].tabIndex = tabs->addTab(page, qs(c.text));
            items_[i].widget = page;  // the sheet places it; it stays out of the control geometry
            return nullptr;
        }
        case ControlKind::Group: return new QGroupBox(withoutKeyMark(c.text), root_);
        case ControlKind::List: {
            auto* frame = new QFrame(root_);
            frame->setFrameShape(QFrame::StyledPanel);
            return frame;
        }
        case ControlKind::Image: {
            auto* label = new QLabel(root_);
            label->setPixmap(QPixmap(qs(c.text)));
            label->setScaledContents(true);
            return label;
        }
        case ControlKind::Lookup: throw std::logic_error("Lookup not expanded");  // expandLookups makes it an entry
    }
    return nullptr;
}

QWidget* WindowBuilder::makeText(const Control& c, bool number) {
    auto* label = new QLabel(qs(c.text), root_);
    label->setTextFormat(Qt::PlainText);
    if (number) label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Room for more than one line: a long text goes on over the lines.
    if (pixelsY(c.at.height) >= 2 * QFontMetrics(root_->font()).lineSpacing()) {
        label->setWordWrap(true);
        label->setAlignment((label->alignment() & ~Qt::AlignVertical_Mask) | Qt::AlignTop);
    }
    return label;
}

QWidget* WindowBuilder::makeButton(const Control& c, int i) {
    auto* b = new QPushButton(qs(c.text), root_);
    b->setFocusPolicy(Qt::TabFocus);
    connect(b, &QPushButton::clicked, this, [this, i, b] {
        // Pressed from the keyboard (its key, Enter) as well as clicked:
        // what is typed in the entry with the focus counts first.
        if (!acceptTyped(b)) return;
        if (items_[i].lookupOf >= 0) {
            openChooser(items_[i].lookupOf);
            return;
        }
        if (items_[i].accepted) items_[i].accepted();
    });
    return b;
}

QWidget* WindowBuilder::makeCheck(const Control& c, int i) {
    auto* b = new QCheckBox(qs(c.text), root_);
    connect(b, &QCheckBox::clicked, this, [this, i](bool on) {
        const Item& it = items_[i];
        it.def->field.setText(on ? it.def->value : it.def->offValue);
        showItem(i);
        if (it.accepted) it.accepted();
    });
    return b;
}

QWidget* WindowBuilder::makeOption(const Control& c, int i) {
    auto* box = new QGroupBox(withoutKeyMark(c.text), root_);
    items_[i].group = new QButtonGroup(this);
    connect(items_[i].group, &QButtonGroup::idClicked, this, [this, i](int radio) {
        const Item& it = items_[i];
        it.def->field.setText(items_[size_t(radio)].def->value);
        showItem(i);
        if (it.accepted) it.accepted();
    });
    return box;
}

QWidget* WindowBuilder::makeSheet(int i) {
    auto* tabs = new QTabWidget(root_);
    connect(tabs, &QTabWidget::currentChanged, this, [this, i](int index) {
        applyStates();
        if (items_[i].tabChanged) items_[i].tabChanged(index);
    });
    return tabs;
}

void WindowBuilder::ownKey(int i) {
    const Item& it = items_[size_t(i)];
    if (!shown(i) || !enabledIn(i)) return;
    if (it.def->kind == ControlKind::Button) static_cast<QPushButton*>(it.widget)->click();
    else if (it.def->kind == ControlKind::Tab)
        static_cast<QTabWidget*>(items_[size_t(it.parent)].widget)->setCurrentIndex(it.tabIndex);
    else selectItem(i);
}

// ---------------------------------------------------------------- lookups

void WindowBuilder::detach() {
    detached_ = true;
    history_ = nullptr;
    for (Item& it : items_) {
        it.accepted = nullptr;
        it.selected = nullptr;
        it.tabChanged = nullptr;
        it.key = nullptr;
    }
}

const Control* WindowBuilder::definition(std::string_view id) const {
    const int i = find(id);
    return i < 0 ? nullptr : items_[size_t(i)].def;
}

int WindowBuilder::find(std::string_view id) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].def->id == id) return int(i);
    return -1;
}

int WindowBuilder::require(std::string_view id) const {
    const int i = find(id);
    if (i < 0) throw std::logic_error("No control " + std::string(id) + " in " + resource_.title);
    return i;
}

int WindowBuilder::itemOf(const QObject* o) const {
    const QVariant v = o->property(kItem);
    return v.isValid() ? v.toInt() : -1;
}

QWidget* WindowBuilder::control(std::string_view id) const {
    const int i = find(id);
    return i < 0 ? nullptr : items_[size_t(i)].widget;
}

// ---------------------------------------------------------------- variables

void WindowBuilder::showItem(int i) {
    const Item& it = items_[size_t(i)];
    const FieldRef& f = it.def->field;
    if (!f.bound()) return;
    auto text = [&] {
        const std::string s = it.picture ? f.format(*it.picture) : f.text();
        return qs(numberPicture(it.picture) ? trim(s) : s);
    };
    switch (it.def->kind) {
        case ControlKind::Entry: {
            auto* edit = static_cast<QLineEdit*>(it.widget);
            edit->setText(text());
            edit->setModified(false);
            if (it.def->lookup) readLookup(i, false);
            edit->setCursorPosition(0);
            break;
        }
        case ControlKind::Text: static_cast<QLabel*>(it.widget)->setText(text()); break;
        case ControlKind::Check: static_cast<QCheckBox*>(it.widget)->setChecked(f.is(it.def->value)); break;
        case ControlKind::Option:
            // No radio is on while the variable holds none of their values.
            it.group->setExclusive(false);
            for (QAbstractButton* b : it.group->buttons())
                b->setChecked(f.is(items_[size_t(it.group->id(b))].def->value));
            it.group->setExclusive(true);
            break;
        default: break;
    }
}

void WindowBuilder::display() {
    for (size_t i = 0; i < items_.size(); ++i) showItem(int(i));
}

void WindowBuilder::display(std::string_view id) { showItem(require(id)); }

bool WindowBuilder::acceptTyped(QWidget* target) {
    if (!target) return true;
    // The entry being edited in the window the target belongs to; for the
    // frame's menu and tool bar, in the frame's window the user works in.
    // (Asked of the window, not of the application: a window not active at
    // the moment still knows which of its entries holds the focus.)
    QWidget* focus = nullptr;
    for (QWidget* w = target; w && !focus; w = w->parentWidget())
        if (auto* b = qobject_cast<WindowBuilder*>(w->property(kBuilder).value<QObject*>()); b && b->root_ == w)
            focus = w->focusWidget();
    if (!focus && !frameWindowOf(target)) {
        if (auto* area = target->window()->findChild<QMdiArea*>(); area && area->activeSubWindow())
            focus = area->activeSubWindow()->focusWidget();
        else
            focus = QApplication::focusWidget();
    }
    if (!focus || focus == target || focus->isAncestorOf(target)) return true;
    auto* owner = qobject_cast<WindowBuilder*>(focus->property(kBuilder).value<QObject*>());
    if (!owner || owner->detached_) return true;
    const int i = owner->itemOf(focus);
    if (i < 0 || owner->items_[size_t(i)].def->kind != ControlKind::Entry) return true;
    if (!static_cast<QLineEdit*>(focus)->isModified()) return true;
    // Only what acts for this window: a control inside it, or the frame's own
    // menu and tool bar. A click into another window just goes there; the
    // typing waits for the user to come back.
    QWidget* root = owner->root_;
    const bool inside = root->isAncestorOf(target);
    const bool frameCommand = !frameWindowOf(target) && target->window() == root->window();
    if (!inside && !frameCommand) return true;
    // When taking the entry needed the user (its lookup opened a list, a
    // message came up), the click was aimed at a window that has changed
    // since: it is not acted upon.
    const uint64_t turns = userTurns();
    return owner->acceptEntry(i, false) && userTurns() == turns;
}

bool WindowBuilder::acceptEntry(int i, bool always, bool queuedRefocus) {
    const Item& it = items_[size_t(i)];
    auto* edit = static_cast<QLineEdit*>(it.widget);
    auto refocus = [&] {
        if (queuedRefocus) later(edit, [this, i] {
            if (!detached_) selectItem(i);
        });
        else selectItem(i);
    };
    bool newValue = false;  // a lookup's: showing it reads what it names
    if (edit->isModified() && it.def->field.bound()) {
        const std::string typed = edit->text().toStdString();
        const FieldRef& f = it.def->field;
        if (!(it.picture ? f.accept(*it.picture, typed) : f.setText(typed))) {
            prompter().beep();
            showItem(i);
            refocus();
            return false;
        }
        newValue = it.lookedUp != f.text();
        showItem(i);
    } else if (!always) {
        return true;
    }
    if (it.def->lookup && !lookupAccepted(i, newValue, queuedRefocus)) {
        refocus();
        return false;
    }
    if (detached_) return true;
    if (it.accepted && !it.accepted()) {
        refocus();
        return false;
    }
    return true;
}

bool WindowBuilder::accept(std::string_view id) {
    const int i = require(id);
    return items_[size_t(i)].def->kind != ControlKind::Entry || acceptEntry(i, true);
}

bool WindowBuilder::acceptAll() {
    acceptingAll_ = true;
    bool ok = true;
    for (size_t i = 0; ok && i < items_.size(); ++i) {
        const Item& it = items_[i];
        if (it.def->kind != ControlKind::Entry || it.def->readOnly || !enabledIn(int(i))) continue;
        bool hidden = false;
        for (int p = int(i); p >= 0 && !hidden; p = items_[size_t(p)].parent) hidden = items_[size_t(p)].hidden;
        if (!hidden) ok = acceptEntry(int(i), true);
    }
    acceptingAll_ = false;
    return ok;
}

void WindowBuilder::ditto(int i) {
    const Item& it = items_[size_t(i)];
    const int target = it.def->kind == ControlKind::Radio ? it.parent : i;
    const Control& def = *items_[size_t(target)].def;
    if (!def.ditto || !history_ || !def.field.bound()) return;
    if (auto value = history_(def.field); value && def.field.setText(*value)) showItem(target);
}

// ---------------------------------------------------------------- lookups

std::function<std::string()> fieldText(DataFile& file, std::string_view field) {
    FieldRef f(file, field);
    return [f] { return f.text(); };
}

void WindowBuilder::expandLookups(std::vector<Control>& controls) {
    for (size_t i = 0; i < controls.size(); ++i) {
        expandLookups(controls[i].children);
        if (controls[i].kind != ControlKind::Lookup) continue;
        controls[i].kind = ControlKind::Entry;
        const std::shared_ptr<const LookupTarget> look = controls[i].lookup;
        const std::string id = controls[i].id;
        const DlgRect at = controls[i].at;
        // The text stands right of the button; of the entry when there is no list.
        std::vector<Control> beside;
        if (look->choose)
            beside.push_back(button(id + ".lookup", "...", {at.x + at.width + 2, at.y, 14, at.height}).withTip(look->tip));
        const int textX = at.x + at.width + (look->choose ? 20 : 4);
        beside.push_back(makeControl(ControlKind::Text, id + ".naziv", "", {textX, at.y + 2, look->textWidth, 10}));
        // The longest text it shows is room the window makes, as for a field's picture.
        if (look->textChars > 0) beside.back().picture = "@s" + std::to_string(look->textChars);
        for (Control& c : beside) {
            c.lookup = look;
            controls.insert(controls.begin() + long(++i), std::move(c));
        }
    }
}

// Reads the record the entry's value names into the file's buffer and shows
// its text; only when the value changed since, unless `always`.
bool WindowBuilder::readLookup(int i, bool always) {
    Item& it = items_[size_t(i)];
    const LookupTarget& look = *it.def->lookup;
    const std::string value = it.def->field.text();
    if (!always && it.lookedUp == value) return it.found;
    look.file->clear();
    it.found = look.keyField.setText(value) && !look.keyField.is("") && !look.keyField.is("0") &&
               look.file->get(look.key) == 0;
    if (!it.found) look.file->clear();
    it.lookedUp = value;
    if (it.lookupText >= 0)
        static_cast<QLabel*>(items_[size_t(it.lookupText)].widget)
            ->setText(it.found && look.text ? qs(look.text()) : QString());
    return it.found;
}

void WindowBuilder::refreshLookups() {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].def->lookup && items_[i].def->kind == ControlKind::Entry) readLookup(int(i), true);
}

// A list may open only for the window the user works in, when nothing else
// waits for an answer there: not during OK's check, not while the window is
// blocked by a form or list of its own, not under a message.
bool WindowBuilder::canAsk() const {
    if (detached_ || choosing_ || acceptingAll_ || !root_->isEnabled() || QApplication::activeModalWidget() ||
        QApplication::activePopupWidget())
        return false;
    if (QWidget* sub = frameWindowOf(root_)) {
        auto* area = qobject_cast<QMdiSubWindow*>(sub)->mdiArea();
        if (area && area->activeSubWindow() != sub) return false;
    }
    return true;
}

bool WindowBuilder::lookupAccepted(int i, bool changed, bool queued) {
    Item& it = items_[size_t(i)];
    // OK reads afresh: the record may have gone since the form showed it.
    if (readLookup(i, acceptingAll_)) return true;
    if (acceptingAll_) {
        if (!it.def->lookup->required) return true;
        prompter().beep();
        return false;
    }
    // A value typed that names nothing: the list, positioned near it. From
    // the focus leaving it opens once the focus has arrived.
    if (!changed || it.def->field.is("") || it.def->field.is("0")) return true;
    if (queued) {
        later(this, [this, i] {
            if (!detached_ && !items_[size_t(i)].found && canAsk()) openChooser(i);
        });
        return true;
    }
    if (canAsk()) openChooser(i);
    return true;
}

void WindowBuilder::enteredLookup(int i) {
    Item& it = items_[size_t(i)];
    if (!canAsk() || QApplication::focusWidget() != it.widget) return;
    if (readLookup(i, false) || it.declined == it.def->field.text()) return;
    openChooser(i);
}

bool WindowBuilder::chooseFor(std::string_view id) { return openChooser(require(id)); }

bool WindowBuilder::openChooser(int i) {
    if (choosing_ || detached_) return false;
    const LookupTarget& look = *items_[size_t(i)].def->lookup;
    if (!look.choose) return false;
    QPointer<WindowBuilder> self(this);
    // The list opens on the record the entry names now, or near it.
    look.file->clear();
    look.keyField.setText(items_[size_t(i)].def->field.text());
    choosing_ = true;
    ++listsRun_;
    // A list is a turn to the user: a click whose typing opened it is not
    // acted upon (acceptTyped).
    noteUserTurn();
    const bool chosen = look.choose(root_);
    if (!self) return chosen;
    choosing_ = false;
    if (detached_) return chosen;
    Item& it = items_[size_t(i)];
    if (chosen) {
        it.def->field.setText(look.keyField.text());
        it.declined.reset();
    } else {
        it.declined = it.def->field.text();
    }
    showItem(i);
    readLookup(i, true);
    // The form is in front again; the focus goes on when a record was chosen.
    if (QWidget* sub = frameWindowOf(root_)) {
        if (auto* area = qobject_cast<QMdiSubWindow*>(sub)->mdiArea()) area->setActiveSubWindow(static_cast<QMdiSubWindow*>(sub));
    } else {
        root_->activateWindow();
    }
    if (chosen && it.accepted && !it.accepted()) {
        if (self && !detached_) selectItem(i);
        return chosen;
    }
    if (!self || detached_) return chosen;
    if (!chosen) {
        selectItem(i);
        return false;
    }
    // A field named to go to is brought forward, on whichever tab it lies.
    if (const int next = look.next.empty() ? -1 : require(look.next); next >= 0 && enabledIn(next)) {
        selectItem(next);
        return true;
    }
    // The next field after the lookup's button and text.
    for (QWidget* n = it.widget->nextInFocusChain(); n && n != it.widget; n = n->nextInFocusChain())
        if (root_->isAncestorOf(n) && n->isVisible() && n->isEnabled() && qobject_cast<QLineEdit*>(n) &&
            itemOf(n) >= 0 && !static_cast<QLineEdit*>(n)->isReadOnly()) {
            n->setFocus(Qt::TabFocusReason);
            if (auto* e = qobject_cast<QLineEdit*>(n)) e->selectAll();
            break;
        }
    return true;
}

// ---------------------------------------------------------------- properties

bool WindowBuilder::shown(int i) const {
    for (; i >= 0; i = items_[size_t(i)].parent) {
        const Item& it = items_[size_t(i)];
        if (it.hidden) return false;
        if (it.def->kind == ControlKind::Tab &&
            static_cast<QTabWidget*>(items_[size_t(it.parent)].widget)->currentIndex() != it.tabIndex)
            return false;
    }
    return true;
}

bool WindowBuilder::enabledIn(int i) const {
    for (; i >= 0; i = items_[size_t(i)].parent)
        if (!items_[size_t(i)].enabled) return false;
    return true;
}

void WindowBuilder::applyStates() {
    for (size_t i = 0; i < items_.size(); ++i) {
        const Item& it = items_[i];
        if (it.def->kind == ControlKind::Tab) {
            auto* tabs = static_cast<QTabWidget*>(items_[size_t(it.parent)].widget);
            tabs->setTabVisible(it.tabIndex, !it.hidden);
            tabs->setTabEnabled(it.tabIndex, it.enabled);
            continue;
        }
        it.widget->setVisible(shown(int(i)));
        it.widget->setEnabled(enabledIn(int(i)));
    }
}

void WindowBuilder::selectItem(int i) {
    for (int p = items_[size_t(i)].parent; p >= 0; p = items_[size_t(p)].parent)
        if (items_[size_t(p)].def->kind == ControlKind::Tab)
            static_cast<QTabWidget*>(items_[size_t(items_[size_t(p)].parent)].widget)
                ->setCurrentIndex(items_[size_t(p)].tabIndex);
    QWidget* w = items_[size_t(i)].widget;
    w->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
}

void WindowBuilder::select(std::string_view id) { selectItem(require(id)); }

void WindowBuilder::selectFirst() {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].def->kind == ControlKind::Entry && !items_[i].def->readOnly && enabledIn(int(i))) {
            selectItem(int(i));
            return;
        }
}

void WindowBuilder::enable(std::string_view id, bool on) {
    items_[size_t(require(id))].enabled = on;
    applyStates();
}

void WindowBuilder::hide(std::string_view id, bool hidden) {
    items_[size_t(require(id))].hidden = hidden;
    applyStates();
}

void WindowBuilder::setText(std::string_view id, const std::string& text) {
    const Item& it = items_[size_t(require(id))];
    if (auto* b = qobject_cast<QAbstractButton*>(it.widget)) b->setText(qs(text));
    else if (auto* g = qobject_cast<QGroupBox*>(it.widget)) g->setTitle(qs(text));
    else if (it.def->kind == ControlKind::Tab)
        static_cast<QTabWidget*>(items_[size_t(it.parent)].widget)->setTabText(it.tabIndex, qs(text));
    else if (auto* l = qobject_cast<QLabel*>(it.widget)) l->setText(qs(text));
}

void WindowBuilder::press(std::string_view id) {
    if (auto* b = qobject_cast<QAbstractButton*>(items_[size_t(require(id))].widget)) b->click();
}

void WindowBuilder::replace(std::string_view id, QWidget* widget) {
    const int i = require(id);
    QWidget* old = items_[size_t(i)].widget;
    widget->setParent(root_);
    widget->setGeometry(old->geometry());
    widget->stackUnder(old);
    widget->setProperty(kItem, i);
    if (widget->toolTip().isEmpty()) widget->setToolTip(old->toolTip());
    for (const Item& it : items_)
        if (auto* label = qobject_cast<QLabel*>(it.widget); label && label->buddy() == old) label->setBuddy(widget);
    items_[size_t(i)].widget = widget;
    // The placeholder is the window's child still; it leaves the screen now
    // and goes once the events about it are through.
    old->hide();
    old->deleteLater();
    applyStates();
    // A list whose columns do not fit the room the resource gives it would
    // scroll sideways and hide its last columns: the window widens instead,
    // as far as the room it opens in allows.
    if (items_[size_t(i)].def->kind == ControlKind::List)
        widen(id, widget->sizeHint().width() - widget->width(), roomForContent());
    else
        startLayout();
}

int WindowBuilder::roomForContent() {
    // The room windows open in, less the frame of a window of the frame.
    return windowRoomWidth() - 2 * QApplication::style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
}

QSize WindowBuilder::least(int i) const {
    const Item& it = items_[size_t(i)];
    const QWidget* w = it.widget;
    const QRect g = w->geometry();
    // A long text (a name, a note) scrolls in its entry or may be cut in its
    // display when its window is small; a number or a code never is.
    const bool prose =
        !it.picture || (it.picture->kind() == Picture::Kind::String && it.picture->width() > kCodeLength);
    switch (it.def->kind) {
        case ControlKind::Prompt: return {neededWidth(w, std::nullopt), g.height()};
        case ControlKind::Entry:
        case ControlKind::Text: {
            const int need = neededWidth(w, it.picture);
            if (auto* label = qobject_cast<const QLabel*>(w); label && label->wordWrap()) return g.size();
            if (!it.picture) return g.size();
            return {prose ? std::min(need, g.width()) : need, g.height()};
        }
        case ControlKind::Button:
        case ControlKind::Check:
        case ControlKind::Radio: return {neededWidth(w, std::nullopt), g.height()};
        case ControlKind::List:
            // A list scrolls: it gives way first, down to a few columns and rows.
            return {std::min(g.width(), pixelsX(60)), std::min(g.height(), pixelsY(32))};
        case ControlKind::Group:
        case ControlKind::Option: {
            const QString title = static_cast<const QGroupBox*>(w)->title();
            return {std::min(g.width(), QFontMetrics(w->font()).horizontalAdvance(title) + pixelsX(8)), 0};
        }
        case ControlKind::Sheet:
            return {std::min(g.width(), static_cast<const QTabWidget*>(w)->tabBar()->sizeHint().width()), 0};
        case ControlKind::Image: return g.size();
        case ControlKind::Tab:
        case ControlKind::Lookup: return {};  // a lookup is built as the entry it expands into
    }
    return {};
}

void WindowBuilder::startLayout() {
    auto collect = [&] {
        std::vector<WINDOWRESIZETYPE::ControlGeometry> controls;
        for (size_t i = 0; i < items_.size(); ++i) {
            const Item& it = items_[i];
            const QRect g = it.widget->geometry();
            const QSize low = least(int(i));
            WINDOWRESIZETYPE::ControlGeometry c{int(i) + 1, resizeKind(it.def->kind),
                                                {g.x(), g.y(), g.width(), g.height()}, low.width(), low.height()};
            // The frame it lies in: the group or sheet of the resource (a tab
            // is a page of its sheet), else the smallest one it lies on.
            int p = it.parent;
            for (; p >= 0 && items_[size_t(p)].def->kind == ControlKind::Tab; p = items_[size_t(p)].parent)
                if (!c.page) c.page = p + 1;
            if (p < 0 && it.def->kind != ControlKind::Tab) {
                qint64 smallest = std::numeric_limits<qint64>::max();
                for (size_t j = 0; j < items_.size(); ++j) {
                    const QRect f = items_[j].widget->geometry();
                    if (j == i || !isFrame(items_[j].def->kind) || !f.contains(g) || f == g) continue;
                    if (qint64(f.width()) * f.height() < smallest) {
                        smallest = qint64(f.width()) * f.height();
                        p = int(j);
                    }
                }
            }
            c.container = p >= 0 ? p + 1 : 0;
            controls.push_back(c);
        }
        return controls;
    };
    const Rect window{0, 0, root_->width(), root_->height()};
    resize_.INITIALIZE(WINDOWRESIZETYPE::Strategy::Spread, window, collect());
    // The controls as the resource places them, moved apart where they need
    // more room than it gives them; the window grows when it must. That is
    // the layout every later size starts from.
    const Rect least = resize_.MINIMUM();
    const QSize size(std::max(window.width, least.width), std::max(window.height, least.height));
    place(resize_.LAYOUT({0, 0, size.width(), size.height()}));
    {
        const QScopedValueRollback<bool> quiet(settingUp_, true);
        root_->resize(size);
    }
    resize_.INITIALIZE(WINDOWRESIZETYPE::Strategy::Spread, {0, 0, size.width(), size.height()}, collect());
    // Smaller than that, controls would have to lie over each other.
    const Rect smallest = resize_.MINIMUM();
    root_->setMinimumSize(std::min(smallest.width, size.width()), std::min(smallest.height, size.height()));
}

void WindowBuilder::widen(std::string_view id, int extra, int maxWidth) {
    if (extra <= 0) return;
    const QWidget* target = items_[size_t(require(id))].widget;
    const QRect t = target->geometry();
    enum Action { Stay, Move, Grow };
    std::vector<Action> actions;
    int reach = 0;  // right edge of what moves or grows, before
    for (const Item& it : items_) {
        const QRect r = it.widget->geometry();
        // A button or a check box keeps its size: one aligned with the
        // control's right edge moves along with it. What reaches well
        // beyond the edge already has its room.
        const bool keepsSize = it.def->kind == ControlKind::Button || it.def->kind == ControlKind::Check ||
                               it.def->kind == ControlKind::Radio;
        Action a = Stay;
        if (it.widget == target) a = Grow;
        else if (r.left() > t.right() || (keepsSize && std::abs(r.right() - t.right()) <= pixelsX(2))) a = Move;
        else if (r.right() >= t.right() && r.right() - t.right() <= pixelsX(8)) a = Grow;
        actions.push_back(a);
        if (a != Stay) reach = std::max(reach, r.right() + 1);
    }
    // Room the window has to spare on its right is used first.
    reach += pixelsX(4);
    extra = std::min(extra, std::max(maxWidth, root_->width()) - reach);
    if (extra <= 0) return;
    for (size_t i = 0; i < items_.size(); ++i) {
        QRect r = items_[i].widget->geometry();
        if (actions[i] == Move) r.translate(extra, 0);
        else if (actions[i] == Grow) r.setWidth(r.width() + extra);
        else continue;
        items_[i].widget->setGeometry(r);
    }
    {
        // The controls stand where they are meant to: the window's new size
        // is where the layout starts, not a resize to follow.
        const QScopedValueRollback<bool> quiet(settingUp_, true);
        root_->resize(std::max(root_->width(), reach + extra), root_->height());
    }
    startLayout();
}

// ---------------------------------------------------------------- events

void WindowBuilder::onAccepted(std::string_view id, std::function<bool()> handler) {
    items_[size_t(require(id))].accepted = std::move(handler);
}

void WindowBuilder::whenAccepted(std::string_view id, std::function<void()> action) {
    onAccepted(id, [action = std::move(action)] {
        action();
        return true;
    });
}

void WindowBuilder::onSelected(std::string_view id, std::function<void()> handler) {
    items_[size_t(require(id))].selected = std::move(handler);
}

void WindowBuilder::onTabChanged(std::string_view sheetId, std::function<void(int)> handler) {
    items_[size_t(require(sheetId))].tabChanged = std::move(handler);
}

void WindowBuilder::onKey(std::string_view id, std::function<bool(QKeyEvent*)> handler) {
    const int i = require(id);
    items_[size_t(i)].key = std::move(handler);
    items_[size_t(i)].widget->installEventFilter(this);
}

QPushButton* WindowBuilder::defaultButton() const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].def->kind == ControlKind::Button && items_[i].def->isDefault && shown(int(i)) &&
            enabledIn(int(i)))
            return static_cast<QPushButton*>(items_[i].widget);
    return nullptr;
}

void WindowBuilder::resized() { place(resize_.RESIZE({0, 0, root_->width(), root_->height()})); }

void WindowBuilder::place(const std::vector<WINDOWRESIZETYPE::Move>& moves) {
    if (moves.empty()) return;
    // One repaint for all the moves. A deferral already in force (the frame
    // of a window being maximized defers its own) is left to whoever set it:
    // switched off here, the window would stay without repaints once its
    // frame's deferral ends.
    const bool defer = root_->updatesEnabled();
    if (defer) root_->setUpdatesEnabled(false);
    for (const auto& m : moves)
        items_[size_t(m.number - 1)].widget->setGeometry(m.rect.x, m.rect.y, m.rect.width, m.rect.height);
    if (defer) root_->setUpdatesEnabled(true);
}

bool WindowBuilder::refusesTyping(const Item& it, const QKeyEvent* key) const {
    if (!it.picture || it.def->readOnly || it.picture->kind() == Picture::Kind::String) return false;
    // Commands (Ctrl+C, Alt+letter) are no typing.
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    for (const char32_t c : key->text().toUcs4())
        if (c >= 0x20 && c != 0x7F && !it.picture->mayType(c)) return true;
    return false;
}

// ---------------------------------------------------------------- Alt keys

void WindowBuilder::keyGroup(const std::vector<std::string>& ids) {
    const int group = newKeyGroup();
    for (const std::string& id : ids)
        if (const int i = id.empty() ? -1 : find(id); i >= 0) items_[size_t(i)].keyGroup = group;
}

int WindowBuilder::newKeyGroup() {
    groupFocused_.push_back(0);
    return int(groupFocused_.size()) - 1;
}

int WindowBuilder::itemAt(const QWidget* w) const {
    for (; w && w != root_; w = w->parentWidget())
        if (const int i = itemOf(w); i >= 0 && size_t(i) < items_.size() && items_[size_t(i)].widget == w) return i;
    return -1;
}

std::vector<std::pair<QKeySequence, WindowBuilder::KeyAnswer>> WindowBuilder::keyAnswers(bool shownNow) const {
    std::vector<std::pair<QKeySequence, KeyAnswer>> out;
    auto hiddenFlag = [this](int i) {
        for (; i >= 0; i = items_[size_t(i)].parent)
            if (items_[size_t(i)].hidden) return true;
        return false;
    };
    for (size_t k = 0; k < items_.size(); ++k) {
        const int i = int(k);
        const Item& it = items_[k];
        if (hiddenFlag(i) || (shownNow && (!shown(i) || !enabledIn(i)))) continue;
        QString caption;
        int target = i;
        switch (it.def->kind) {
            case ControlKind::Button:
            case ControlKind::Check:
            case ControlKind::Radio: caption = static_cast<QAbstractButton*>(it.widget)->text(); break;
            case ControlKind::Tab:
                caption = static_cast<QTabWidget*>(items_[size_t(it.parent)].widget)->tabText(it.tabIndex);
                break;
            case ControlKind::Prompt: {
                auto* label = static_cast<QLabel*>(it.widget);
                const int buddy = label->buddy() ? itemAt(label->buddy()) : -1;
                if (buddy < 0) break;  // a caption of its own has no key
                caption = label->text();
                target = buddy;
                break;
            }
            default: break;
        }
        if (!caption.isEmpty())
            if (const QKeySequence key = QKeySequence::mnemonic(caption); !key.isEmpty())
                out.push_back({key, {i, target, caption, false}});
        // A key of its own, given as Alt+letter, is one more such letter.
        if (!it.def->key.empty())
            if (const QKeySequence own(qs(it.def->key)); own.count() == 1 && own[0].keyboardModifiers() == Qt::AltModifier)
                out.push_back({own, {i, i, qs(it.def->key), true}});
    }
    return out;
}

int WindowBuilder::groupOf(const KeyAnswer& a) const {
    const int g = items_[size_t(a.item)].keyGroup;
    return g >= 0 ? g : items_[size_t(a.target)].keyGroup;
}

std::function<void()> WindowBuilder::altKey(const QKeySequence& key) {
    if (detached_) return {};
    std::vector<KeyAnswer> hits;
    for (auto& [k, answer] : keyAnswers(true))
        if (k == key) hits.push_back(answer);
    if (hits.empty()) return {};
    // The list (or option group) working now: the one the focus is in, else
    // the one it was in last; with none of them, the first control.
    std::vector<uint64_t> turns = groupFocused_;
    if (const int f = itemAt(root_->focusWidget()); f >= 0 && items_[size_t(f)].keyGroup >= 0)
        turns[size_t(items_[size_t(f)].keyGroup)] = focusTurns_ + 1;
    const KeyAnswer* chosen = &hits.front();
    uint64_t latest = 0;
    for (const KeyAnswer& h : hits)
        if (const int g = groupOf(h); g >= 0 && turns[size_t(g)] > latest) {
            latest = turns[size_t(g)];
            chosen = &h;
        }
    const int target = chosen->target;
    const bool own = chosen->own;
    QPointer<WindowBuilder> self(this);
    return [self, target, own] {
        if (!self || self->detached_) return;
        if (own) self->ownKey(target);
        else self->pressed(target);
    };
}

void WindowBuilder::pressed(int i) const {
    const Item& it = items_[size_t(i)];
    switch (it.def->kind) {
        case ControlKind::Button:
        case ControlKind::Check:
        case ControlKind::Radio: {
            auto* b = static_cast<QAbstractButton*>(it.widget);
            if (b->focusPolicy() & Qt::TabFocus) b->setFocus(Qt::ShortcutFocusReason);
            b->animateClick();
            break;
        }
        case ControlKind::Tab:
            static_cast<QTabWidget*>(items_[size_t(it.parent)].widget)->setCurrentIndex(it.tabIndex);
            break;
        default: it.widget->setFocus(Qt::ShortcutFocusReason); break;
    }
}

std::vector<std::string> WindowBuilder::keyClashes() const {
    const auto answers = keyAnswers(false);
    // The tab of each sheet a control lies on (a tab's own caption shows
    // with every page of its sheet).
    auto tabsOf = [this](int i) {
        std::vector<std::pair<int, int>> tabs;  // sheet, tab
        for (int p = items_[size_t(i)].parent; p >= 0; p = items_[size_t(p)].parent)
            if (items_[size_t(p)].def->kind == ControlKind::Tab) tabs.push_back({items_[size_t(p)].parent, p});
        return tabs;
    };
    auto together = [&](int a, int b) {
        for (auto [sa, ta] : tabsOf(a))
            for (auto [sb, tb] : tabsOf(b))
                if (sa == sb && ta != tb) return false;
        return true;
    };
    auto plain = [](QString s) { return s.remove(QLatin1Char('&')); };
    std::vector<std::string> clashes;
    for (size_t a = 0; a < answers.size(); ++a)
        for (size_t b = a + 1; b < answers.size(); ++b) {
            const auto& [ka, x] = answers[a];
            const auto& [kb, y] = answers[b];
            if (ka != kb || x.target == y.target || !together(x.item, y.item)) continue;
            const int gx = groupOf(x), gy = groupOf(y);
            if (gx >= 0 && gy >= 0 && gx != gy && plain(x.caption) == plain(y.caption)) continue;
            clashes.push_back(ka.toString(QKeySequence::PortableText).toStdString() + ": " + x.caption.toStdString() +
                              " / " + y.caption.toStdString());
        }
    return clashes;
}

bool WindowBuilder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == root_) {
        if (event->type() == QEvent::Resize && !settingUp_) resized();
        return false;
    }
    const int i = itemOf(watched);
    if (i < 0) return false;
    const Item& it = items_[size_t(i)];
    const bool isEntry = it.def->kind == ControlKind::Entry;
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (it.key && it.key(key)) return true;
            const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
            if (key->key() == Qt::Key_Apostrophe && mods == Qt::ControlModifier) {
                ditto(i);
                return true;
            }
            // A key whose entry opened its list is spent on it: the list's
            // outcome decided where the focus is.
            const int lists = listsRun_;
            if (isEntry && refusesTyping(it, key)) {
                prompter().beep();
                return true;
            }
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && mods == Qt::NoModifier &&
                it.def->kind != ControlKind::Button) {
                if (isEntry && (!acceptEntry(i, true) || listsRun_ != lists)) return true;
                if (QPushButton* b = defaultButton()) {
                    b->click();
                    return true;
                }
                // The entry's own handler sent the focus on (a locator to its list).
                if (QApplication::focusWidget() != it.widget) return true;
                for (QWidget* n = it.widget->nextInFocusChain(); n && n != it.widget; n = n->nextInFocusChain())
                    if (root_->isAncestorOf(n) && n->isVisible() && n->isEnabled() && (n->focusPolicy() & Qt::TabFocus)) {
                        n->setFocus(Qt::TabFocusReason);
                        break;
                    }
                return true;
            }
            if (isEntry && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab))
                return !acceptEntry(i, false) || listsRun_ != lists;
            return false;
        }
        case QEvent::FocusOut: {
            // Leaving for another control of this window accepts the entry;
            // going to another window leaves it as it is until the user is back.
            QWidget* next = QApplication::focusWidget();
            if (isEntry && fromInside(static_cast<QFocusEvent*>(event)->reason()) && next && root_->isAncestorOf(next))
                acceptEntry(i, false, true);
            return false;
        }
        case QEvent::FocusIn:
            if (it.def->lookup && isEntry && fromInside(static_cast<QFocusEvent*>(event)->reason()))
                later(this, [this, i] { enteredLookup(i); });
            if (it.selected && fromInside(static_cast<QFocusEvent*>(event)->reason()))
                later(this, [this, i] {
                    if (!detached_ && items_[size_t(i)].selected) items_[size_t(i)].selected();
                });
            return false;
        default: return false;
    }
}

}  // namespace marel
