#include "ui/screens/ListBrowserView.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QWheelEvent>

#include <algorithm>

#include "ui/ListBrowser.h"
#include "ui/screens/WindowBuilder.h"

namespace marel {

namespace {

Qt::Alignment alignmentOf(ColumnAlign a) {
    switch (a) {
        case ColumnAlign::Left: return Qt::AlignLeft | Qt::AlignVCenter;
        case ColumnAlign::Center: return Qt::AlignHCenter | Qt::AlignVCenter;
        case ColumnAlign::Right:
        case ColumnAlign::Decimal: return Qt::AlignRight | Qt::AlignVCenter;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// List formats measure in dialog units: a quarter of the average character width.
int pixels(const QWidget* w, int dialogUnits) { return dialogUnits * w->fontMetrics().averageCharWidth() / 4; }

// Text moved in from the side it is aligned to by the column's indent.
QRect indented(QRect r, ColumnAlign a, int px) {
    if (a == ColumnAlign::Left) return r.adjusted(px, 0, 0, 0);
    if (a == ColumnAlign::Right || a == ColumnAlign::Decimal) return r.adjusted(0, 0, -px, 0);
    return r;
}

class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(const ListFormat& format, QObject* parent) : QStyledItemDelegate(parent), format_(format) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, p, opt.widget);
        const ListColumn& c = format_.columns[size_t(index.column())];
        p->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        p->drawText(indented(opt.rect.adjusted(2, 0, -2, 0), c.align, pixels(opt.widget, c.indent)),
                    int(alignmentOf(c.align)), text);
    }

private:
    const ListFormat& format_;
};

}  // namespace

// The browser's page as a table model; it never reads, it only shows rows.
class ListBrowserModel : public QAbstractTableModel {
public:
    ListBrowserModel(ListBrowser& browser, QObject* parent) : QAbstractTableModel(parent), browser_(browser) {}

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(browser_.format().columns.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const auto& rows = browser_.rows();
        if (!index.isValid() || index.row() >= int(rows.size())) return {};
        if (role == Qt::DisplayRole) return QString::fromStdString(rows[size_t(index.row())].values[size_t(index.column())]);
        if (role == Qt::TextAlignmentRole) return int(alignmentOf(browser_.format().columns[size_t(index.column())].align));
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal) return {};
        const ListColumn& c = browser_.format().columns[size_t(section)];
        if (role == Qt::DisplayRole) return QString::fromStdString(c.title);
        if (role == Qt::TextAlignmentRole) return int(alignmentOf(c.titleAlign));
        return {};
    }
    // The page changed: a new row count resets the model, else only the cells
    // change, so that a click in progress keeps its row.
    void refresh() {
        const int n = int(browser_.rows().size());
        if (n != rows_) {
            beginResetModel();
            rows_ = n;
            endResetModel();
        } else if (n > 0) {
            emit dataChanged(index(0, 0), index(n - 1, columnCount() - 1));
        }
    }

private:
    ListBrowser& browser_;
    int rows_ = 0;
};

// The headings of column groups, drawn over the columns they span.
class GroupBand : public QWidget {
public:
    GroupBand(const ListFormat& format, QTableView* table, QWidget* parent)
        : QWidget(parent), format_(format), table_(table) {
        setFixedHeight(fontMetrics().height() + 6);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QHeaderView* header = table_->horizontalHeader();
        const int offset = header->mapTo(parentWidget(), QPoint(0, 0)).x() - x();
        for (const ListGroup& g : format_.groups) {
            int left = header->sectionViewportPosition(g.first) + offset, width = 0;
            for (int i = g.first; i < g.first + g.count; ++i) width += header->sectionSize(i);
            const QRect r(left, 0, width - 1, height() - 1);
            p.drawRect(r);
            p.drawText(indented(r.adjusted(2, 0, -2, 0), g.titleAlign, pixels(this, g.titleIndent)),
                       int(alignmentOf(g.titleAlign)), QString::fromStdString(g.title));
        }
    }

private:
    const ListFormat& format_;
    QTableView* table_;
};

ListBrowserView::ListBrowserView(ListBrowser& browser, QWidget* parent)
    : QWidget(parent), browser_(browser), model_(new ListBrowserModel(browser, this)), table_(new QTableView(this)),
      bar_(new QScrollBar(Qt::Vertical, this)) {
    const ListFormat& format = browser.format();
    table_->setModel(model_);
    table_->setItemDelegate(new CellDelegate(format, table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The browser's own scroll bar stands for the whole file, not for the page.
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    for (size_t i = 0; i < format.columns.size(); ++i) {
        const ListColumn& c = format.columns[i];
        header->setSectionResizeMode(int(i), c.resizable ? QHeaderView::Interactive : QHeaderView::Fixed);
        // A heading is never cut: "Oznaka" over a column of five digits still reads whole.
        const int heading = header->fontMetrics().horizontalAdvance(QString::fromStdString(c.title)) + 12;
        // Nor is a value: the column holds its picture's widest value beside its indent.
        const int indent = c.align == ColumnAlign::Center ? 0 : pixels(this, c.indent);
        const int value = widestValueWidth(table_->fontMetrics(), c.picture) + indent + 2 * 2 + 1;
        columnNeeded_.push_back(std::max(heading, value));
        columnWidth_.push_back(std::max({4, pixels(this, c.width), heading, value}));
        header->resizeSection(int(i), columnWidth_.back());
    }
    // The last column takes what the list has to spare, so no empty band is left beside it.
    header->setStretchLastSection(true);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    if (!format.groups.empty()) {
        band_ = new GroupBand(format, table_, this);
        grid->addWidget(band_, 0, 0);
        connect(header, &QHeaderView::sectionResized, band_, qOverload<>(&QWidget::update));
        connect(table_->horizontalScrollBar(), &QScrollBar::valueChanged, band_, qOverload<>(&QWidget::update));
    }
    grid->addWidget(table_, 1, 0);
    grid->addWidget(bar_, 1, 1);

    bar_->setRange(0, 100);
    bar_->setPageStep(10);
    bar_->hide();
    connect(bar_, &QScrollBar::actionTriggered, this, &ListBrowserView::scrollAction);
    connect(bar_, &QScrollBar::sliderReleased, this, [this] {
        if (browser_.canDragThumb()) browser_.thumbTo(bar_->value());
        else sync();
    });

    table_->installEventFilter(this);
    table_->viewport()->installEventFilter(this);
    setFocusProxy(table_);
    listener_ = browser_.subscribe([this] { sync(); });
    sync();
}

ListBrowserView::ListBrowserView(std::unique_ptr<ListBrowser> browser, QWidget* parent)
    : ListBrowserView(*browser, parent) {
    owned_ = std::move(browser);
}

ListBrowserView::~ListBrowserView() = default;

int ListBrowserView::neededWidth() const {
    int width = 2 * table_->frameWidth() + bar_->sizeHint().width();
    for (int w : columnWidth_) width += w;
    return width;
}

QSize ListBrowserView::sizeHint() const { return {neededWidth(), QWidget::sizeHint().height()}; }

int ListBrowserView::visibleRows() const {
    return std::max(1, table_->viewport()->height() / std::max(1, table_->verticalHeader()->defaultSectionSize()));
}

// The page holds as many rows as the table shows; a new size re-reads it.
void ListBrowserView::fitPage() {
    const int rows = visibleRows();
    if (rows == browser_.pageSize()) return;
    browser_.setPageSize(rows);
    browser_.refresh(true);
}

void ListBrowserView::sync() {
    model_->refresh();
    fitValues();
    const int selected = browser_.selected();
    if (selected > 0)
        table_->selectionModel()->setCurrentIndex(model_->index(selected - 1, 0),
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        table_->clearSelection();
    bar_->setVisible(browser_.scrollBarVisible());
    bar_->setValue(browser_.thumb());
    if (band_) band_->update();

    const int64_t id = selected > 0 ? browser_.selectedRow()->id : 0;
    if (id != shownId_) {
        shownId_ = id;
        emit selectionChanged();
    }
    if (!browser_.isClosed()) closedShown_ = false;
    else if (!closedShown_) {
        closedShown_ = true;
        emit closed();
    }
}

// A value wider than its picture's measure (a text of wide letters, an
// identifier of digits where letters were reckoned) widens its column: the
// list never cuts what it shows. Columns only grow, so a page turned does
// not make them jump back and forth.
void ListBrowserView::fitValues() {
    const ListFormat& format = browser_.format();
    QHeaderView* header = table_->horizontalHeader();
    const QFontMetrics fm = table_->fontMetrics();
    for (const ListBrowser::Row& row : browser_.rows())
        for (size_t i = 0; i < format.columns.size() && i < row.values.size(); ++i) {
            const ListColumn& c = format.columns[i];
            const int indent = c.align == ColumnAlign::Center ? 0 : pixels(this, c.indent);
            const QString value = QString::fromStdString(row.values[i]).trimmed();
            const int width = fm.horizontalAdvance(value) + indent + 2 * 2 + 3;
            columnNeeded_[i] = std::max(columnNeeded_[i], width);
            if (width <= columnWidth_[i]) continue;
            columnWidth_[i] = width;
            if (header->sectionSize(int(i)) < width) header->resizeSection(int(i), width);
        }
}

void ListBrowserView::scrollAction(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: browser_.down(); break;
        case QAbstractSlider::SliderSingleStepSub: browser_.up(); break;
        case QAbstractSlider::SliderPageStepAdd: browser_.pageDown(); break;
        case QAbstractSlider::SliderPageStepSub: browser_.pageUp(); break;
        case QAbstractSlider::SliderToMinimum: browser_.top(); break;
        case QAbstractSlider::SliderToMaximum: browser_.bottom(); break;
        default:
            // A drag ends in sliderReleased; anything else (the wheel) leaves the thumb alone.
            if (bar_->isSliderDown()) return;
            break;
    }
    // Overrides the move the action itself would make.
    bar_->setSliderPosition(browser_.thumb());
}

void ListBrowserView::afterButton() { table_->setFocus(); }

bool ListBrowserView::key(QKeyEvent* e) {
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
        case Qt::Key_Up: browser_.up(); return true;
        case Qt::Key_Down: browser_.down(); return true;
        case Qt::Key_PageUp: browser_.pageUp(); return true;
        case Qt::Key_PageDown: browser_.pageDown(); return true;
        case Qt::Key_Home:
            if (ctrl) browser_.top();
            return true;
        case Qt::Key_End:
            if (ctrl) browser_.bottom();
            return true;
        case Qt::Key_Insert: browser_.insertRecord(); break;
        case Qt::Key_Delete: browser_.deleteRecord(); break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (ctrl) browser_.changeRecord();
            else browser_.activate();
            break;
        case Qt::Key_Backspace: return browser_.backspace();
        default: {
            const QString text = e->text();
            if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier) || text.isEmpty() || !text.at(0).isPrint())
                return false;
            return browser_.typeChar(text.toStdString());
        }
    }
    afterButton();
    return true;
}

bool ListBrowserView::mouse(QMouseEvent* e) {
    const QModelIndex at = table_->indexAt(e->position().toPoint());
    if (at.isValid()) browser_.select(at.row() + 1);
    table_->setFocus();
    if (e->button() == Qt::RightButton) {
        browser_.popup();
        afterButton();
    } else if (e->type() == QEvent::MouseButtonDblClick && e->button() == Qt::LeftButton && at.isValid()) {
        browser_.activate();
        afterButton();
    }
    return true;
}

bool ListBrowserView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress) return key(static_cast<QKeyEvent*>(event));
    if (watched == table_->viewport()) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick: return mouse(static_cast<QMouseEvent*>(event));
            case QEvent::Wheel: {
                const int steps = static_cast<QWheelEvent*>(event)->angleDelta().y() / 120;
                for (int i = 0; i < std::abs(steps); ++i) steps > 0 ? browser_.up() : browser_.down();
                return true;
            }
            case QEvent::Resize: fitPage(); break;
            default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// A window that gains the focus shows its list afresh: others may have changed the file.
bool ListBrowserView::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) browser_.refresh(true);
    return QWidget::event(event);
}

}  // namespace marel
