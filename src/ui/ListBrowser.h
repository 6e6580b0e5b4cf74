#pragma once
// The paged list browser: one data file shown a page at a time in the order of
// a key, never read as a whole. Every list and chooser of the program is one of
// these; a screen supplies its file, sort orders, columns and update form, and
// a view (ListBrowserView) draws the page and turns keys into the calls below.
//
// The page holds at most pageSize() rows, each with its column texts and the
// key values and id of its record. Reading goes through a Cursor over the file in the
// current sort order's key order, limited by the order's range and filter, and
// always starts from a row of the page (or from either end), so paging, locating
// and jumping to the bottom cost the same on ten records and on a million.
//
// After every operation the selected row's record is in the file's buffer (an
// empty page clears the buffer), and the listeners are told. What an operation
// reads shares one read transaction of the store, never held while the update
// form or a warning has the user, nor while the listeners are told.
#include <boost/core/noncopyable.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Decimal.h"
#include "store/DataFile.h"
#include "store/Warnings.h"
#include "ui/ListFormat.h"
#include "ui/Request.h"

namespace marel {

// A listener's hold on a list: the listener is told while this lives.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::shared_ptr<bool> alive) : alive_(std::move(alive)) {}
    Subscription(Subscription&&) = default;
    Subscription& operator=(Subscription&& other) {
        cancel();
        alive_ = std::move(other.alive_);
        return *this;
    }
    ~Subscription() { cancel(); }
    void cancel() {
        if (alive_) *alive_ = false;
        alive_.reset();
    }

private:
    std::shared_ptr<bool> alive_;
};

// Where a column's text comes from: a field of a record buffer (the list's own
// file, or one the screen reads alongside each record), shown through the
// column's picture, or a text the screen makes itself.
struct ColumnSource {
    const DataFile* file = nullptr;
    int field = -1;
    std::function<std::string()> text;

    // Throws std::invalid_argument for a field the file does not have.
    static ColumnSource of(const DataFile& file, std::string_view fieldName);
    static ColumnSource computed(std::function<std::string()> text);
};

enum class Locator { None, Step, Incremental };

// Scroll-bar stop tables: the fixed two-letter one, one computed from the first
// and last text key of the view, one computed from the first and last number.
enum class Stops { None, Letters, Strings, Numbers };

struct SortOrder {
    Key key;
    Locator locator = Locator::None;
    Stops stops = Stops::None;
    // When set, the key's first field must equal this value: the record number
    // of the row highlighted in a master list (recipients of one place).
    std::function<int64_t()> range;
    // Records the list shows; reads the file's buffer.
    std::function<bool()> filter;
};

class ListBrowser : private boost::noncopyable {
public:
    struct Row {
        std::vector<std::string> values;  // one text per column
        std::vector<SqlValue> key;        // its key values and record id, to read on from it
        int64_t id = 0;
    };

    ListBrowser(DataFile& file, std::string_view format, std::vector<ColumnSource> columns);
    ~ListBrowser();

    // Reads the records that go with the one just read into the buffer (the
    // place of a recipient), so that columns can show their fields.
    std::function<void()> related;
    // The record update form: given the request (insert, change or delete),
    // returns its answer. Without one the list has no insert, change or delete.
    std::function<LONG(LONG request)> update;

    // Returns the number (1..n) of the order; the first added is the first tab.
    int addSortOrder(SortOrder order);

    // ---- life
    // Opens the file through its use counter and fills the first page;
    // request 4 (select) makes the list a chooser that opens on the record
    // whose key is in the buffer.
    void open(LONG request);
    bool isOpen() const { return open_; }
    // Select or Close was pressed (or a read failed): the window should close.
    bool isClosed() const { return closed_; }
    LONG response() const { return response_; }
    bool isChooser() const { return chooser_; }
    // The update form is open: the list waits for its answer.
    bool inForm() const { return inForm_; }

    // ---- the page
    void setPageSize(int rows);
    int pageSize() const { return pageSize_; }
    const std::vector<Row>& rows() const { return rows_; }
    int selected() const { return selected_; }  // 1..rows, 0 when empty
    const Row* selectedRow() const { return selected_ ? &rows_[size_t(selected_ - 1)] : nullptr; }
    const ListFormat& format() const { return format_; }
    DataFile& file() const { return *file_; }
    int sortOrder() const { return current_ + 1; }
    int previousSortOrder() const { return previous_ + 1; }
    const std::string& locatorText() const { return locatorText_; }

    bool canInsert() const { return open_ && bool(update); }
    bool canChange() const { return canInsert() && !rows_.empty(); }  // and delete
    bool canSelect() const { return open_ && chooser_ && !rows_.empty(); }

    // The scroll bar shows while the page is full; its thumb is 0..100.
    bool scrollBarVisible() const { return !rows_.empty() && int(rows_.size()) >= pageSize_; }
    int thumb() const { return thumb_; }
    bool canDragThumb() const;
    const std::vector<std::string>& textStops() const { return textStops_; }
    const std::vector<Decimal>& numberStops() const { return numberStops_; }

    // ---- moving
    void select(int row);
    void up();
    void down();
    void pageUp();
    void pageDown();
    void top();
    void bottom();
    void thumbTo(int position);
    // Goes to the first record at or after the key values typed into the buffer.
    void locate();

    // ---- sort orders and ranges
    void setSortOrder(int order);
    // The window gained the focus or changed size (forced), or a master list
    // moved: re-reads when the order, its range or the page size calls for it.
    void refresh(bool forced);
    // This list's range follows the record highlighted in `master`; either
    // may go first.
    void follow(ListBrowser& master);

    // ---- locators; each returns false when the key is not the locator's
    bool typeChar(std::string_view character);
    bool backspace();
    // The entry beside the list was accepted; false for a blank value.
    bool entryLocate(std::string_view value);

    // ---- buttons
    void insertRecord();
    void changeRecord();
    void deleteRecord();
    void selectRecord();
    void closeList();
    // Double click: Select in a chooser, else Change.
    void activate();
    // The right-button menu, as text for the prompter, and the menu itself.
    std::string popupItems() const;
    void popup();

    // ---- listeners, told after every operation
    // For as long as the list lives (the screen's own handlers).
    void listen(std::function<void()> listener);
    // For as long as the answer is kept: a view or a list that follows this
    // one stops listening when it goes, and is not told even by a round of
    // telling that had already begun.
    [[nodiscard]] Subscription subscribe(std::function<void()> listener);

private:
    struct Anchor {
        std::vector<SqlValue> key;
        int64_t id = 0;
    };

    const SortOrder& order() const { return orders_[size_t(current_)]; }
    const KeyDef& keyDef() const;
    const FieldDef& keyField(int component) const;
    Cursor view() const;
    int stopComponent() const;
    int freeComponent() const;

    Row makeRow(const Cursor& cursor);
    bool readRows(Cursor& cursor, int n, bool forward);
    void fill(int n, bool forward);
    void reread(const std::optional<Anchor>& from);
    void rebuildKeeping();
    void toEnd();
    void locateAt(bool recordItself);
    int indexOf(int64_t id) const;
    void apply(bool forced);
    void buildStops();
    void computeThumb();
    bool hasNeighbour(const Row& row, bool forward) const;
    bool putKey(int component, const std::string& value);
    bool putLocator();
    LONG callForm(LONG request);
    bool regetSelected(bool watch);
    void fail();
    void closeWith(LONG response);
    bool holdsSelected() const;
    template <class Reads>
    bool step(Reads&& reads);
    void settle();
    void notify();

    DataFile* file_;
    ListFormat format_;
    std::vector<ColumnSource> columns_;
    std::vector<SortOrder> orders_;
    FileUse use_;

    bool open_ = false;
    bool closed_ = false;
    bool chooser_ = false;
    bool inForm_ = false;
    bool filled_ = false;
    LONG response_ = 2;

    std::vector<Row> rows_;
    // The record whose row this step made last, with the related records
    // read for it still in their buffers, and the error state it left; 0
    // once anything else was read.
    mutable int64_t made_ = 0;
    ErrorState madeError_;
    int pageSize_ = 10;
    int selected_ = 0;  // tracked through reads before it is settled in range
    int current_ = 0;
    int previous_ = 0;
    int applied_ = -1;
    std::optional<int64_t> rangeValue_;
    std::string locatorText_;

    std::vector<std::string> textStops_;
    std::vector<Decimal> numberStops_;
    int thumb_ = 0;

    struct Listener {
        std::shared_ptr<bool> alive;
        std::function<void()> told;
    };
    std::vector<Listener> listeners_;
    ListBrowser* master_ = nullptr;
    Subscription masterListener_;
    std::vector<ListBrowser*> followers_;
};

}  // namespace marel
