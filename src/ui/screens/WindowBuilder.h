#pragma once
// Turns a window resource into Qt widgets inside one QWidget (which the frame
// puts into an MDI window) and runs the controls' side of the window:
// - entries show their variable through their picture; typed text is read back
//   when the entry is accepted (Enter, Tab, leaving it for another control of
//   the window, or acceptAll). Text the picture refuses beeps, the entry shows
//   its variable again and keeps the focus: nothing invalid reaches a variable;
// - check boxes and option groups write their value the moment they change;
// - Ctrl+' in a control marked for it recalls the value from the history
//   the form supplies;
// - a keystroke that puts a character the entry's picture can never read (a
//   letter in an amount or a date) beeps and inserts nothing;
// - Enter presses the default button (after accepting the entry it was typed in);
// - Alt+letter goes to the one control whose caption carries that letter;
//   where two lists carry buttons of the same caption (each list its own
//   Insert, Change, Delete), to the one of the list that has or last had the
//   focus (keyGroup); likewise the "&DA" of two option groups;
// - the controls move and stretch with the window (WINDOWRESIZETYPE), never
//   over each other nor below what their captions and values need; the
//   window cannot be made smaller than that.
// Every control lies directly in the root widget; tab pages and groups only
// decide what is shown, so one coordinate system serves the whole window.
// Buttons take the focus from the keyboard only; the window runtime accepts
// the entry being edited before a click (or a button's key) acts.
#include <QKeySequence>
#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Resize.h"
#include "ui/screens/WindowResource.h"

class QWidget;
class QButtonGroup;
class QKeyEvent;
class QFontMetrics;
class QPushButton;
class QSize;

namespace marel {

// Pixels the widest value of a picture takes in a font: its width in
// characters at the widest digit (and never less than the average letter),
// so that neither a full number nor a code of digits is ever cut; a long text
// picture (a name) at the average letter.
int widestValueWidth(const QFontMetrics& metrics, const Picture& picture);
constexpr int kCodeLength = 20;  // text pictures up to this long hold codes of digits
// The width a widget needs to show a picture's widest value (an entry: with
// its frame and margins), or its own caption whole.
int neededWidth(const QWidget* widget, const std::optional<Picture>& picture);

class WindowBuilder : public QObject {
    Q_OBJECT
public:
    // Builds the controls into `root`, gives it the window's title and size,
    // and shows every control from its variable. The builder belongs to root.
    WindowBuilder(WindowResource resource, QWidget* root);
    ~WindowBuilder() override;
    // The builder whose root is `window` (or lies directly in it); nullptr for none.
    static WindowBuilder* of(QWidget* window);

    QWidget* root() const { return root_; }
    const WindowResource& resource() const { return resource_; }
    // The widget of a control (a Tab's page for a Tab); nullptr for an unknown id.
    QWidget* control(std::string_view id) const;
    template <class W>
    W* control(std::string_view id) const {
        return qobject_cast<W*>(control(id));
    }

    // The description of a control; nullptr for an unknown id.
    const Control* definition(std::string_view id) const;

    // ---- variables
    void display();  // every control from its variable
    void display(std::string_view id);
    // Reads an entry into its variable and runs its accepted handler.
    bool accept(std::string_view id);
    // Re-accepts every enabled entry of the window, on every tab, in order.
    // The first one refused gets the focus, and the answer is false.
    bool acceptAll();
    bool acceptingAll() const { return acceptingAll_; }
    // Before a click on `target` (or a button pressed by its key) acts: the
    // entry with the focus, when it holds typing not yet accepted and the
    // target acts for its window, is accepted first. False when the entry
    // refused what was typed (the focus stays there) or taking it turned to
    // the user: the action must not run.
    static bool acceptTyped(QWidget* target);

    // ---- properties
    void select(std::string_view id);  // focus, bringing its tab forward
    void selectFirst();                // the first entry of the window
    void enable(std::string_view id, bool on = true);
    void disable(std::string_view id) { enable(id, false); }
    void hide(std::string_view id, bool hidden = true);
    void show(std::string_view id) { hide(id, false); }
    void setText(std::string_view id, const std::string& text);  // caption
    void press(std::string_view id);                             // as if clicked
    // Puts a widget of the caller's (a list) where the control stands. A list
    // whose widget wants more width than the control has (its columns) gets
    // it: the control widens as widen() does.
    void replace(std::string_view id, QWidget* widget);
    // Makes the control up to `extra` pixels wider, the window with it as
    // far as `maxWidth`: what lies to its right moves along, as does a button
    // aligned with its right edge; a container or field ending at that edge
    // (the tab it sits on, a list below it) widens too. Room the window has
    // to spare on the right is used first. The window's layout on resizing
    // starts from there.
    void widen(std::string_view id, int extra, int maxWidth);

    // ---- events
    // Accepted: an entry read into its variable, a button pressed, a check box
    // or an option group changed. For an entry, false keeps the focus in it
    // and stops acceptAll.
    void onAccepted(std::string_view id, std::function<bool()> handler);
    // As onAccepted for a handler that never holds the control: a button's
    // action, or what follows an entry that takes any value.
    void whenAccepted(std::string_view id, std::function<void()> action);
    // Selected: the control received the focus inside the window.
    void onSelected(std::string_view id, std::function<void()> handler);
    void onTabChanged(std::string_view sheetId, std::function<void(int)> handler);
    // A key pressed in the control; true when the handler used it.
    void onKey(std::string_view id, std::function<bool(QKeyEvent*)> handler);
    // The window's owner has finished with it (a form that ended): no handler
    // runs any more, also none that an event queued before.
    void detach();

    // ---- keys
    // Controls that act for one list (the list, its buttons, its tabs and
    // locator). An Alt letter that several controls answer goes to the one
    // in the group that has, or last had, the focus. Unknown ids are skipped.
    // The radios of each option group are such a group of their own.
    void keyGroup(const std::vector<std::string>& ids);
    // What Alt+letter (`key`) does in this window; empty when no control
    // shown and enabled answers it.
    std::function<void()> altKey(const QKeySequence& key);
    // The Alt keys that two controls able to show at the same time both
    // answer, where no list focus rule tells them apart, one line each:
    // "Alt+U: &Unesi / &Unos". Controls hidden at the moment are left out
    // (Select of a plain list); controls on different tabs of one sheet never
    // show together. Empty for a window whose every letter means one thing.
    std::vector<std::string> keyClashes() const;

    // Where Ctrl+' finds the value to recall (nothing: no value to recall).
    void setHistory(std::function<std::optional<std::string>(const FieldRef&)> history) {
        history_ = std::move(history);
    }

    // Reads afresh what every lookup's value names (the record may have
    // changed meanwhile) and shows it.
    void refreshLookups();
    // A lookup's list is open.
    bool choosing() const { return choosing_; }
    // Opens the list of a lookup (by its entry's id), as its button does;
    // true when a record was chosen.
    bool chooseFor(std::string_view id);

    int pixelsX(int dialogUnits) const;
    int pixelsY(int dialogUnits) const;

    // ---- the controls as built, in resource order (a container before its
    // children), for those who check a window's layout
    size_t controlCount() const { return items_.size(); }
    QWidget* widgetAt(size_t i) const { return items_[i].widget; }
    const Control& definitionAt(size_t i) const { return *items_[i].def; }
    int parentAt(size_t i) const { return items_[i].parent; }  // -1 for a control of the window itself

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The layout the resize strategies start from: the controls as they stand,
    // moved apart where they need more room.
    void startLayout();
    // The least size of a control: its caption, its widest value.
    QSize least(int i) const;
    // The width a window's content can have in the room windows open in.
    static int roomForContent();
    struct Item {
        const Control* def = nullptr;
        int parent = -1;
        QWidget* widget = nullptr;
        int tabIndex = -1;              // Tab: its page in the sheet
        QButtonGroup* group = nullptr;  // Option
        std::optional<Picture> picture;
        bool hidden = false;
        bool enabled = true;
        std::function<bool()> accepted;
        std::function<void()> selected;
        std::function<void(int)> tabChanged;
        std::function<bool(QKeyEvent*)> key;
        // A lookup's entry: the value last read and whether it named a
        // record; the value whose list the user closed without a choice.
        int lookupOf = -1;  // the button and the text of a lookup: its entry
        int lookupText = -1;
        std::optional<std::string> lookedUp;
        bool found = false;
        std::optional<std::string> declined;
        int keyGroup = -1;
    };
    struct KeyAnswer {
        int item;    // the control whose caption (or own key) answers it
        int target;  // the control it acts on (a prompt's: the field it names)
        QString caption;
        bool own;  // the control's own key (Control::key), not its caption's letter
    };

    void build(const Control& c, int parent);
    void linkLookups();
    void widenToContents();
    QWidget* makeWidget(const Control& c, int i, int parent);
    QWidget* makeText(const Control& c, bool number);
    QWidget* makeButton(const Control& c, int i);
    QWidget* makeCheck(const Control& c, int i);
    QWidget* makeOption(const Control& c, int i);
    QWidget* makeSheet(int i);
    int find(std::string_view id) const;  // -1 when unknown
    int require(std::string_view id) const;
    int itemOf(const QObject* o) const;
    void showItem(int i);
    bool acceptEntry(int i, bool always, bool queuedRefocus = false);
    void selectItem(int i);
    void ditto(int i);
    bool shown(int i) const;
    bool enabledIn(int i) const;
    void applyStates();
    QPushButton* defaultButton() const;
    void resized();
    static void expandLookups(std::vector<Control>& controls);
    bool readLookup(int i, bool always);
    bool lookupAccepted(int i, bool changed, bool queued);
    bool openChooser(int i);
    void enteredLookup(int i);
    bool canAsk() const;
    bool refusesTyping(const Item& it, const QKeyEvent* key) const;
    // The controls answering Alt keys, with their keys; those hidden now
    // (and, when `shownNow`, those not shown or disabled now) are left out.
    std::vector<std::pair<QKeySequence, KeyAnswer>> keyAnswers(bool shownNow) const;
    int itemAt(const QWidget* w) const;  // the control a widget of the window belongs to
    void pressed(int i) const;           // what Alt does to the control i
    void ownKey(int i);                  // what the control's own key does
    int groupOf(const KeyAnswer& a) const;
    int newKeyGroup();
    void place(const std::vector<WINDOWRESIZETYPE::Move>& moves);

    WindowResource resource_;
    QWidget* root_;
    std::vector<Item> items_;
    WINDOWRESIZETYPE resize_;
    std::function<std::optional<std::string>(const FieldRef&)> history_;
    int pendingBuddy_ = -1;
    std::vector<uint64_t> groupFocused_;  // per key group: the turn it last had the focus, 0 never
    uint64_t focusTurns_ = 0;
    int baseX_ = 0, baseY_ = 0;
    bool acceptingAll_ = false;
    bool settingUp_ = false;  // the layout is being set: a resize moves nothing
    bool detached_ = false;
    bool choosing_ = false;
    int listsRun_ = 0;  // lookups' lists opened so far
};

}  // namespace marel
