#include "ui/ListBrowser.h"

#include <unicode/ucol.h>

#include <algorithm>
#include <stdexcept>
#include <type_traits>

#include "common/Prompter.h"
#include "common/Text.h"

namespace marel {

namespace {

constexpr size_t kLocatorLength = 30;
constexpr int kStops = 100;

// Stops are compared in the order the keys are kept in: Croatian, letter case ignored.
int collate(std::string_view a, std::string_view b) {
    static UCollator* coll = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* c = ucol_open("hr", &status);
        if (U_FAILURE(status)) return static_cast<UCollator*>(nullptr);
        ucol_setStrength(c, UCOL_SECONDARY);
        return c;
    }();
    if (!coll) return a.compare(b);
    UErrorCode status = U_ZERO_ERROR;
    return ucol_strcollUTF8(coll, a.data(), int32_t(a.size()), b.data(), int32_t(b.size()), &status);
}

// "  ", "AF", "AN", "AT", then B to Y with a blank, F, N and T (Q only blank and
// N), and "Z ", "ZN": a hundred points spread over surnames and names.
const std::vector<std::string>& letterStops() {
    static const std::vector<std::string> stops = [] {
        std::vector<std::string> s = {"  ", "AF", "AN", "AT"};
        for (char c = 'B'; c <= 'Y'; ++c) {
            if (c == 'Q') {
                s.insert(s.end(), {"Q ", "QN"});
                continue;
            }
            for (char t : {' ', 'F', 'N', 'T'}) s.push_back(std::string{c, t});
        }
        s.insert(s.end(), {"Z ", "ZN"});
        return s;
    }();
    return stops;
}

// The capital letters of code page 1250, in code order.
const std::u32string& alphabet() {
    static const std::u32string a = [] {
        std::u32string out;
        for (int b = 1; b < 256; ++b) {
            char32_t c = cp1250ToUnicode(static_cast<unsigned char>(b));
            std::string s;
            utf8Append(s, c);
            if (c && upper(s) == s && lower(s) != s) out += c;
        }
        return out;
    }();
    return a;
}

std::u32string chars(std::string_view s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) out += utf8Next(s, i);
    return out;
}

std::string text(std::u32string_view s) {
    std::string out;
    for (char32_t c : s) utf8Append(out, c);
    return out;
}

// A hundred stops between the first and the last key of a text field of
// `width` characters: the four characters after their common prefix read as
// numbers in base (letters + 1), the range between them cut in 99 steps.
std::vector<std::string> stringStops(std::string_view lowText, std::string_view highText, int width) {
    const std::u32string& alpha = alphabet();
    const int64_t base = int64_t(alpha.size()) + 1;
    std::u32string low = chars(lowText), high = chars(highText);
    if (int(high.size()) < width) high.append(size_t(width) - high.size(), alpha.back());
    size_t p = 0;
    while (p < low.size() && p < high.size() && low[p] == high[p]) ++p;
    auto digit = [&](char32_t c) -> int64_t {
        std::u32string u = chars(upper(text(std::u32string(1, c))));
        size_t at = alpha.find(u.empty() ? c : u[0]);
        return at == std::u32string::npos ? 0 : int64_t(at) + 1;
    };
    auto number = [&](const std::u32string& s) {
        int64_t v = 0;
        for (size_t i = p; i < p + 4; ++i) v = v * base + (i < s.size() ? digit(s[i]) : 0);
        return v;
    };
    const int64_t lo = number(low), hi = number(high), step = (hi - lo) / (kStops - 1);
    const std::u32string prefix = low.substr(0, p);
    std::vector<std::string> stops(kStops);
    stops.front() = text(prefix + low.substr(p, 4));
    stops.back() = text(prefix + high.substr(p, 4));
    for (int k = 2; k < kStops; ++k) {
        int64_t v = lo + step * (k - 1);
        int64_t d[4];
        for (int i = 3; i >= 0; --i) {
            d[i] = v % base;
            v /= base;
        }
        std::u32string s = prefix;
        for (int64_t x : d)
            if (x > 0) s += alpha[size_t(x - 1)];
        stops[size_t(k - 1)] = text(s);
    }
    return stops;
}

Decimal numberOf(const SqlValue& v, const FieldDef& f) {
    if (v.kind != SqlValue::Int) return Decimal(0);
    return f.type == FieldType::Decimal ? Decimal::fromScaled(v.i, f.places) : Decimal(static_cast<long long>(v.i));
}

std::string keyText(const SqlValue& v, const FieldDef& f) {
    if (v.kind == SqlValue::Text) return v.s;
    if (v.kind == SqlValue::Null) return "";
    return f.type == FieldType::Decimal ? numberOf(v, f).toString() : std::to_string(v.i);
}

bool startsWith(std::string_view s, std::string_view ch) {
    return !s.empty() && upper(utf8Prefix(s, 1)) == upper(utf8Prefix(ch, 1));
}

std::string cellText(const ListColumn& column, const ColumnSource& source) {
    if (!source.file) return source.text ? source.text() : std::string();
    const FieldDef& f = source.file->layout().fields[size_t(source.field)];
    const TypedValue value = f.codec().typed(source.file->fieldPtr(source.field), f);
    return std::visit([&](const auto& v) { return column.picture.format(v); }, value);
}

}  // namespace

ColumnSource ColumnSource::of(const DataFile& file, std::string_view fieldName) {
    int field = file.layout().fieldIndex(fieldName);
    if (field < 0) throw std::invalid_argument(file.layout().prefix + ":" + std::string(fieldName) + " does not exist");
    return {&file, field, {}};
}

ColumnSource ColumnSource::computed(std::function<std::string()> text) { return {nullptr, -1, std::move(text)}; }

ListBrowser::ListBrowser(DataFile& file, std::string_view format, std::vector<ColumnSource> columns)
    : file_(&file), format_(ListFormat::parse(format)), columns_(std::move(columns)) {
    if (columns_.size() != format_.columns.size())
        throw std::invalid_argument("List of " + file.label() + ": " + std::to_string(format_.columns.size()) +
                                    " columns in the format, " + std::to_string(columns_.size()) + " sources");
}

ListBrowser::~ListBrowser() {
    masterListener_.cancel();
    if (master_) std::erase(master_->followers_, this);
    // A list that followed this one keeps no pointer to it.
    for (ListBrowser* f : followers_) f->master_ = nullptr;
}

int ListBrowser::addSortOrder(SortOrder order) {
    orders_.push_back(std::move(order));
    return int(orders_.size());
}

// ------------------------------------------------------------------ life

void ListBrowser::open(LONG request) {
    if (open_ || orders_.empty()) return;
    chooser_ = request == SELECTRECORD;
    closed_ = false;
    response_ = REQUESTCANCELLED;
    filled_ = false;
    applied_ = -1;
    rows_.clear();
    selected_ = 0;
    use_.add(*file_);
    open_ = true;
    step([&] { apply(false); });
}

void ListBrowser::closeWith(LONG response) {
    response_ = response;
    open_ = false;
    closed_ = true;
    use_.release();
}

void ListBrowser::fail() {
    // Other stations must not wait on the warning.
    ReadPause asking(file_->store());
    STANDARDWARNING(35, lower(file_->label()));
    closeWith(REQUESTCANCELLED);
}

void ListBrowser::setPageSize(int rows) { pageSize_ = std::max(1, rows); }

bool ListBrowser::canDragThumb() const {
    return open_ && order().stops != Stops::None && (textStops_.size() == kStops || numberStops_.size() == kStops);
}

// ------------------------------------------------------------------ reading

const KeyDef& ListBrowser::keyDef() const { return file_->layout().keys[size_t(order().key.index)]; }

const FieldDef& ListBrowser::keyField(int component) const {
    return file_->layout().fields[size_t(keyDef().components[size_t(component)].field)];
}

Cursor ListBrowser::view() const {
    made_ = 0;
    Cursor c(*file_, order().key.index);
    c.setWalking(true);
    if (rangeValue_) c.setRange({SqlValue{SqlValue::Int, *rangeValue_, {}}});
    if (order().filter) c.setFilter(order().filter);
    return c;
}

// The key field the stops stand for: the first one after the range.
int ListBrowser::stopComponent() const {
    return std::min(order().range ? 1 : 0, int(keyDef().components.size()) - 1);
}

// The key field a locator types into; -1 when the range takes the whole key.
int ListBrowser::freeComponent() const {
    int c = order().range ? 1 : 0;
    return c < int(keyDef().components.size()) ? c : -1;
}

ListBrowser::Row ListBrowser::makeRow(const Cursor& cursor) {
    if (related) related();
    made_ = file_->currentId();
    madeError_ = lastErrorState();
    Row row;
    row.values.reserve(columns_.size());
    for (size_t i = 0; i < columns_.size(); ++i) row.values.push_back(cellText(format_.columns[i], columns_[i]));
    row.key = cursor.keyRead();
    row.id = file_->currentId();
    return row;
}

// Reads up to n records on from the cursor; each becomes the new last (first)
// row, and for each one a full page drops a row at the other end. The
// selection index follows its record, so callers can move it relative to
// where it was. The rows join the page together, not one shift of it each.
bool ListBrowser::readRows(Cursor& cursor, int n, bool forward) {
    std::vector<Row> read;
    read.reserve(size_t(std::max(n, 0)));
    bool ok = true;
    for (int i = 0; i < n; ++i) {
        int rc = forward ? cursor.next() : cursor.previous();
        if (rc == kRecordNotAvailable) break;
        if (rc != 0) {
            ok = false;
            break;
        }
        read.push_back(makeRow(cursor));
    }
    const int added = int(read.size());
    const auto from = std::make_move_iterator(read.begin()), to = std::make_move_iterator(read.end());
    if (forward) {
        rows_.insert(rows_.end(), from, to);
    } else {
        std::reverse(read.begin(), read.end());
        rows_.insert(rows_.begin(), from, to);
        selected_ += added;
    }
    const int over = std::clamp(int(rows_.size()) - pageSize_, 0, added);
    if (forward) {
        rows_.erase(rows_.begin(), rows_.begin() + over);
        selected_ -= over;
    } else {
        rows_.resize(rows_.size() - size_t(over));
    }
    if (!ok) fail();
    return ok;
}

void ListBrowser::fill(int n, bool forward) {
    Cursor c = view();
    if (rows_.empty()) {
        if (forward) c.toStart();
        else c.toEnd();
    } else {
        const Row& edge = forward ? rows_.back() : rows_.front();
        c.toPosition(edge.key, edge.id, false);
    }
    readRows(c, n, forward);
}

// A new page read forward from a record (or the start), topped up backward
// when too few records follow it.
void ListBrowser::reread(const std::optional<Anchor>& from) {
    rows_.clear();
    Cursor c = view();
    if (from) c.toPosition(from->key, from->id, true);
    else c.toStart();
    if (readRows(c, pageSize_, true) && open_ && int(rows_.size()) < pageSize_)
        fill(pageSize_ - int(rows_.size()), false);
}

void ListBrowser::rebuildKeeping() {
    std::optional<Anchor> from;
    int64_t target = 0;
    if (!rows_.empty()) {
        from = Anchor{rows_.front().key, rows_.front().id};
        target = selectedRow()->id;
    }
    reread(from);
    selected_ = target ? indexOf(target) : 1;
}

void ListBrowser::toEnd() {
    rows_.clear();
    fill(pageSize_, false);
    selected_ = int(rows_.size());
}

// Typed key values (rowid 0 lies before every record with them), or the very
// record in the buffer after an insert or a change.
void ListBrowser::locateAt(bool recordItself) {
    Cursor c = view();
    if (recordItself) c.toPosition(file_->keyValues(order().key.index), file_->currentId(), true);
    else c.toBuffer();
    int rc = c.next();
    if (rc == kRecordNotAvailable) {
        toEnd();
        return;
    }
    if (rc != 0) {
        fail();
        return;
    }
    Anchor found{c.keyRead(), file_->currentId()};
    reread(found);
    selected_ = indexOf(found.id);
}

int ListBrowser::indexOf(int64_t id) const {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].id == id) return int(i) + 1;
    return int(rows_.size());
}

bool ListBrowser::regetSelected(bool watch) {
    if (watch) file_->watch();
    return file_->getById(selectedRow()->id) == 0;
}

// The selected record is the one this step read last, and the records read
// with it are still in their buffers (a row scrolled in at the bottom or the
// top): reading them again would give the same.
bool ListBrowser::holdsSelected() const {
    return made_ != 0 && made_ == selectedRow()->id && file_->currentId() == made_;
}

// One step of the list (a key, a click, a refresh): everything it reads
// shares one read transaction, so the lock is taken and the file checked once
// rather than for every record, and the page is one state of the file. The
// transaction ends before the listeners are told. A step that returns false
// changed nothing to tell.
template <class Reads>
bool ListBrowser::step(Reads&& reads) {
    made_ = 0;  // the buffers may have changed since the last step
    {
        ReadTransaction reading(file_->store());
        if constexpr (std::is_same_v<std::invoke_result_t<Reads>, bool>) {
            if (!reads()) return false;
        } else {
            reads();
        }
        settle();
    }
    notify();
    return true;
}

// Puts the selection in range, sets the thumb and loads the selected record.
void ListBrowser::settle() {
    if (open_) {
        if (rows_.empty()) {
            selected_ = 0;
            thumb_ = 0;
            file_->clear();
        } else {
            selected_ = std::clamp(selected_, 1, int(rows_.size()));
            computeThumb();  // may read through the buffer: before the record is loaded
            if (holdsSelected()) {
                lastErrorState() = madeError_;
            } else {
                regetSelected(false);
                if (related) related();
            }
        }
    }
}

// ------------------------------------------------------------------ sort orders

void ListBrowser::apply(bool forced) {
    const SortOrder& o = order();
    std::optional<int64_t> range;
    if (o.range) range = o.range();
    const bool sameOrder = current_ == applied_;
    const bool rangeChanged = filled_ && o.range && range != rangeValue_;
    if (filled_ && sameOrder && !rangeChanged && !forced) return;  // settle() reloads the selected row

    if (!sameOrder && o.locator == Locator::Incremental) locatorText_.clear();
    if (!sameOrder) previous_ = applied_ < 0 ? current_ : applied_;
    applied_ = current_;
    rangeValue_ = range;
    const bool first = !filled_;
    filled_ = true;
    if (!rows_.empty()) regetSelected(false);

    if (rangeChanged || (first && !chooser_) || (!first && rows_.empty())) {
        reread(std::nullopt);
        selected_ = 1;
    } else {
        // A chooser opens on the value its caller typed into the buffer; a new
        // tab, a regained focus or a resize shows the selected record first.
        locateAt(!first);
    }
    if (open_ && (first || !sameOrder || rangeChanged)) buildStops();
}

void ListBrowser::setSortOrder(int n) {
    if (n < 1 || n > int(orders_.size())) return;
    current_ = n - 1;
    if (!open_) return;
    step([&] { apply(false); });
}

void ListBrowser::refresh(bool forced) {
    if (!open_ || inForm_) return;
    step([&] { apply(forced); });
}

void ListBrowser::follow(ListBrowser& master) {
    masterListener_.cancel();
    if (master_) std::erase(master_->followers_, this);
    master_ = &master;
    master.followers_.push_back(this);
    masterListener_ = master.subscribe([this] { refresh(false); });
}

void ListBrowser::buildStops() {
    textStops_.clear();
    numberStops_.clear();
    const SortOrder& o = order();
    if (o.stops == Stops::None) return;
    if (o.stops == Stops::Letters) {
        textStops_ = letterStops();
        return;
    }
    const int comp = stopComponent();
    const FieldDef& f = keyField(comp);
    SqlValue low, high;
    Cursor c = view();
    c.toStart();
    if (c.next() == 0) low = file_->keyValues(o.key.index)[size_t(comp)];
    c.toEnd();
    if (c.previous() == 0) high = file_->keyValues(o.key.index)[size_t(comp)];
    if (o.stops == Stops::Strings) {
        textStops_ = stringStops(keyText(low, f), keyText(high, f), f.size);
        return;
    }
    // Each stop is a value of the key field, so it keeps the field's places.
    const int places = f.type == FieldType::Decimal ? f.places : 0;
    const Decimal lo = numberOf(low, f), hi = numberOf(high, f), step = (hi - lo) / Decimal(kStops - 1);
    for (int k = 0; k < kStops; ++k)
        numberStops_.push_back(k == 0 ? lo : k == kStops - 1 ? hi : (lo + step * Decimal(k)).rounded(places));
}

bool ListBrowser::hasNeighbour(const Row& row, bool forward) const {
    Cursor c = view();
    c.toPosition(row.key, row.id, false);
    return (forward ? c.next() : c.previous()) == 0;
}

// Orders with stops: the first stop at or after the selected key (below 2 is
// 0). Without stops the thumb only tells the top and the bottom of the view.
void ListBrowser::computeThumb() {
    if (!canDragThumb()) {
        if (selected_ == 1 && !hasNeighbour(rows_.front(), false)) thumb_ = 0;
        else if (selected_ == int(rows_.size()) && !hasNeighbour(rows_.back(), true)) thumb_ = 100;
        else thumb_ = 50;
        return;
    }
    const int comp = stopComponent();
    const FieldDef& f = keyField(comp);
    const SqlValue& v = selectedRow()->key[size_t(comp)];
    int n = kStops;
    if (order().stops == Stops::Numbers) {
        const Decimal x = numberOf(v, f);
        for (int k = 0; k < kStops; ++k)
            if (numberStops_[size_t(k)] >= x) {
                n = k + 1;
                break;
            }
    } else {
        const std::string key = upper(keyText(v, f));
        for (int k = 0; k < kStops; ++k)
            if (collate(textStops_[size_t(k)], key) >= 0) {
                n = k + 1;
                break;
            }
    }
    thumb_ = n < 2 ? 0 : n;
}

// ------------------------------------------------------------------ moving

void ListBrowser::select(int row) {
    if (!open_ || row < 1 || row > int(rows_.size())) return;
    selected_ = row;
    step([] {});
}

void ListBrowser::up() {
    if (!open_ || rows_.empty()) return;
    step([&] {
        if (selected_ == 1) fill(1, false);
        --selected_;
    });
}

void ListBrowser::down() {
    if (!open_ || rows_.empty()) return;
    step([&] {
        if (selected_ == int(rows_.size())) fill(1, true);
        ++selected_;
    });
}

void ListBrowser::pageUp() {
    if (!open_ || rows_.empty()) return;
    step([&] {
        fill(pageSize_, false);
        selected_ -= pageSize_;
    });
}

void ListBrowser::pageDown() {
    if (!open_ || rows_.empty()) return;
    step([&] {
        fill(pageSize_, true);
        selected_ += pageSize_;
    });
}

void ListBrowser::top() {
    if (!open_) return;
    step([&] {
        rows_.clear();
        fill(pageSize_, true);
        selected_ = 1;
    });
}

void ListBrowser::bottom() {
    if (!open_) return;
    step([&] { toEnd(); });
}

void ListBrowser::thumbTo(int position) {
    if (!canDragThumb()) return;
    if (position <= 1) return top();
    if (position >= kStops) return bottom();
    const size_t k = size_t(position - 1);
    putKey(stopComponent(), order().stops == Stops::Numbers ? numberStops_[k].toString() : textStops_[k]);
    step([&] { locateAt(false); });
}

void ListBrowser::locate() {
    if (!open_) return;
    step([&] { locateAt(false); });
}

// ------------------------------------------------------------------ locators

// The value into key field `component`, the range value into the range field
// and the fields after it blanked, ready for locating.
bool ListBrowser::putKey(int component, const std::string& value) {
    const KeyDef& k = keyDef();
    if (rangeValue_) file_->setFieldText(k.components.front().field, std::to_string(*rangeValue_));
    if (!file_->setFieldText(k.components[size_t(component)].field, value)) return false;
    for (size_t i = size_t(component) + 1; i < k.components.size(); ++i) file_->setFieldText(k.components[i].field, "");
    return true;
}

bool ListBrowser::putLocator() {
    if (!putKey(freeComponent(), locatorText_)) return false;
    step([&] { locateAt(false); });
    return true;
}

bool ListBrowser::typeChar(std::string_view character) {
    const int comp = open_ ? freeComponent() : -1;
    if (comp < 0 || character.empty()) return false;
    switch (order().locator) {
        case Locator::None: return false;
        case Locator::Step: {
            const FieldDef& f = keyField(comp);
            auto begins = [&] { return selected_ > 0 && startsWith(keyText(selectedRow()->key[size_t(comp)], f), character); };
            // Walks through the records that begin with the character, then back to the first.
            return step([&] {
                if (begins()) {
                    if (selected_ == int(rows_.size())) fill(1, true);
                    selected_ = std::min(selected_ + 1, int(rows_.size()));
                }
                if (!begins()) {
                    if (!putKey(comp, std::string(utf8Prefix(character, 1)))) return false;
                    locateAt(false);
                }
                return true;
            });
        }
        case Locator::Incremental: {
            if (utf8Length(locatorText_) >= kLocatorLength) return true;
            const std::string before = locatorText_;
            locatorText_ += character;
            if (putLocator()) return true;
            locatorText_ = before;
            return false;
        }
    }
    return false;
}

bool ListBrowser::backspace() {
    if (!open_ || order().locator != Locator::Incremental || freeComponent() < 0) return false;
    if (locatorText_.empty()) return true;
    locatorText_ = std::string(utf8Prefix(locatorText_, utf8Length(locatorText_) - 1));
    putLocator();
    return true;
}

bool ListBrowser::entryLocate(std::string_view value) {
    const int comp = open_ ? freeComponent() : -1;
    if (comp < 0 || trim(value).empty() || !putKey(comp, std::string(value))) return false;
    locatorText_ = std::string(utf8Prefix(value, kLocatorLength));
    step([&] { locateAt(false); });
    return true;
}

// ------------------------------------------------------------------ buttons

LONG ListBrowser::callForm(LONG request) {
    inForm_ = true;
    LONG answer = REQUESTCANCELLED;
    try {
        answer = update(request);
    } catch (...) {
        inForm_ = false;
        throw;
    }
    inForm_ = false;
    return answer;
}

void ListBrowser::insertRecord() {
    if (!canInsert()) return;
    file_->clear();
    // A new record in a ranged list belongs to the master's record.
    if (rangeValue_) file_->setFieldText(keyDef().components.front().field, std::to_string(*rangeValue_));
    // The form asks and writes outside the list's steps; what it saved is read after.
    const bool saved = callForm(INSERTRECORD) == REQUESTCOMPLETED;
    step([&] {
        if (saved) locateAt(true);
        else rebuildKeeping();
    });
}

void ListBrowser::changeRecord() {
    if (!canChange()) return;
    // Watched: a write over another station's change of it is refused.
    const bool saved = regetSelected(true) && callForm(CHANGERECORD) == REQUESTCOMPLETED;
    step([&] {
        if (saved) locateAt(true);  // its key may have changed
        else rebuildKeeping();
    });
}

void ListBrowser::deleteRecord() {
    if (!canChange()) return;
    const bool deleted = regetSelected(false) && callForm(DELETERECORD) == REQUESTCOMPLETED;
    step([&] {
        if (!deleted) return rebuildKeeping();
        const int keep = selected_;
        rows_.erase(rows_.begin() + (keep - 1));
        std::optional<Anchor> from;
        if (!rows_.empty()) from = Anchor{rows_.front().key, rows_.front().id};
        reread(from);
        selected_ = keep;
    });
}

void ListBrowser::selectRecord() {
    if (!canSelect()) return;
    step([&] {
        regetSelected(false);
        closeWith(REQUESTCOMPLETED);
    });
}

void ListBrowser::closeList() {
    if (!open_) return;
    closeWith(REQUESTCANCELLED);
    notify();
}

void ListBrowser::activate() {
    if (chooser_) selectRecord();
    else changeRecord();
}

std::string ListBrowser::popupItems() const {
    auto item = [](bool enabled, const char* text) { return std::string(enabled ? "" : "~") + text; };
    return item(canInsert(), "&Unesi") + "|" + item(canChange(), "&Mijenjaj") + "|" + item(canChange(), "&Briši") +
           "|-|" + item(canSelect(), "O&daberi");
}

void ListBrowser::popup() {
    if (!open_) return;
    switch (prompter().popup(popupItems())) {
        case 1: insertRecord(); break;
        case 2: changeRecord(); break;
        case 3: deleteRecord(); break;
        case 4: selectRecord(); break;
        default: break;
    }
}

// ------------------------------------------------------------------ listeners

void ListBrowser::listen(std::function<void()> listener) {
    listeners_.push_back({std::make_shared<bool>(true), std::move(listener)});
}

Subscription ListBrowser::subscribe(std::function<void()> listener) {
    auto alive = std::make_shared<bool>(true);
    listeners_.push_back({alive, std::move(listener)});
    return Subscription(std::move(alive));
}

void ListBrowser::notify() {
    std::erase_if(listeners_, [](const Listener& l) { return !*l.alive; });
    const auto listeners = listeners_;  // a listener may add or remove listeners
    for (const Listener& l : listeners)
        if (*l.alive) l.told();
}

}  // namespace marel
