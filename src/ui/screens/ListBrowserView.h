#pragma once
// The list control of a paged list browser: draws the browser's page in a
// table with the column headings of its list format, keeps a scroll bar of 0
// to 100 beside it, and turns keys, clicks and the scroll bar into calls of
// the browser. All reading and deciding stays in ListBrowser.
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

#include "ui/ListBrowser.h"

class QScrollBar;
class QTableView;

namespace marel {

class ListBrowser;
class ListBrowserModel;
class GroupBand;

class ListBrowserView : public QWidget {
    Q_OBJECT
public:
    explicit ListBrowserView(ListBrowser& browser, QWidget* parent = nullptr);
    // A view that keeps its browser: the list lives as long as the view,
    // which reads it to the last.
    explicit ListBrowserView(std::unique_ptr<ListBrowser> browser, QWidget* parent = nullptr);
    ~ListBrowserView() override;

    ListBrowser& browser() const { return browser_; }
    QTableView* table() const { return table_; }
    // The width that shows every column whole beside the scroll bar.
    int neededWidth() const;
    // As wide as every column whole.
    QSize sizeHint() const override;
    // The width a column needs for its heading and its widest value.
    int columnNeeded(int column) const { return columnNeeded_.at(size_t(column)); }
    QScrollBar* scrollBar() const { return bar_; }
    // Rows the table shows at its present height.
    int visibleRows() const;

signals:
    // Another record is highlighted (a detail list follows it).
    void selectionChanged();
    // Select or Close ended the list, or a read failed.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    std::unique_ptr<ListBrowser> owned_;  // first: it goes after all that reads it
    std::vector<int> columnNeeded_;
    std::vector<int> columnWidth_;  // as set, before the last one stretches
    void sync();
    void fitValues();
    bool key(class QKeyEvent* event);
    bool mouse(class QMouseEvent* event);
    void scrollAction(int action);
    void fitPage();
    void afterButton();

    ListBrowser& browser_;
    ListBrowserModel* model_;
    QTableView* table_;
    QScrollBar* bar_;
    GroupBand* band_ = nullptr;
    Subscription listener_;
    int64_t shownId_ = -1;
    bool closedShown_ = false;
};

}  // namespace marel
