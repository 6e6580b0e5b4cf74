#pragma once
// The description of a window: its title, its size and a table of controls.
// A screen is mostly such a table; WindowBuilder turns it into widgets.
//
// Positions and sizes are in dialog units: across, a quarter of the average
// character width of the window's font; down, an eighth of its height. A
// window thus keeps its proportions with any font. Every position is taken
// from the window's top-left corner, also for the controls inside a tab, a
// group or an option group, which are listed as that container's children.
//
// A caption's "&" marks its key (Alt+letter): "&OK", "Po pr&ezimenu". A
// resource is data bound to variables, so screens build it in a function
// when the window opens, after the files and local variables exist.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/FieldRef.h"

class QWidget;

namespace marel {

struct DlgRect {
    int x = 0, y = 0, width = 0, height = 0;
};

enum class ControlKind {
    Prompt,  // a caption; it gives its key to the control that follows it
    Entry,   // typed input bound to a variable through a picture
    Text,    // a bound variable shown through a picture, not editable (else its text)
    Button,
    Check,   // a check box bound to a variable: `value` when on, `offValue` when off
    Option,  // an option group bound to a variable; its Radio children carry the values
    Radio,
    Sheet,   // tab sheets; its children are Tabs
    Tab,     // one page of a Sheet; its children show only while it is the current page
    Group,   // a titled frame around its children
    List,    // the place of a list; the list browser puts its own widget there
    Image,   // a picture from the program's resources (":/...")
    Lookup,  // a number or code naming a record of another file (see LookupTarget)
};

// A number or code that names a record of another file, as one control: the
// entry, a "..." button right of it that opens the file's list to choose from
// (id + ".lookup"; none when it has no list), and the text of the record
// named (id + ".naziv"). The builder runs it all:
// - the text beside follows the value: read by the key whenever it changes;
// - a typed value that names nothing opens the list, positioned near it; so
//   does coming into the entry while it names nothing, once per value (a list
//   the user closed does not come back until the value changes);
// - the button always opens the list;
// - one list at a time per window: while it is open, nothing opens another;
// - the list is modal to its form; when it closes the form is in front and
//   active, and the focus goes on to the next field (or `next`) when a record
//   was chosen, back to the entry when not; the Tab or Enter that opened the
//   list is spent on it;
// - OK reads the record afresh; it refuses a value naming nothing when the
//   lookup is `required`.
struct LookupTarget {
    DataFile* file = nullptr;  // the file named into
    Key key{};                 // its key on the named field
    FieldRef keyField;         // the file's field the entry's value is
    // The text shown beside, read from the file's buffer holding the record;
    // empty when the entry names nothing.
    std::function<std::string()> text;
    // Runs the file's list as a chooser beside `caller` (it opens on the
    // record in the file's buffer); true when one was chosen, which is then
    // in the buffer.
    std::function<bool(QWidget* caller)> choose;
    int textWidth = 100;  // dialog units of the text beside
    std::string tip;      // of the button
    bool required = false;
    // The control the focus goes to once a record is chosen, when it is not
    // the next entry (a bank chosen leads to the account, past its check digits).
    std::string next{};
    int textChars = 0;  // the longest text it shows, in letters (0: as wide as textWidth)
};

// The text of a field of the record read, for a LookupTarget.
std::function<std::string()> fieldText(DataFile& file, std::string_view field);
// A list screen as a chooser, for a LookupTarget.
template <class List>
std::function<bool(QWidget*)> chooser() {
    return [](QWidget* caller) { return List::choose(std::make_unique<List>(), caller) == 1; };
}

struct Control {
    ControlKind kind = ControlKind::Prompt;
    std::string id;       // how the screen reaches the control; may be empty
    std::string text;     // caption, title, image path
    DlgRect at;
    FieldRef field;
    std::string picture;  // "@s25", "@n-14", "@d17" ...
    std::string value;    // Radio: the value it stands for; Check: the value when on
    std::string offValue; // Check: the value when off
    std::string tip;      // tool tip
    std::string key;      // a key of its own besides the caption's: "F5", "Alt+Q"
    bool hidden = false;
    bool disabled = false;
    bool readOnly = false;
    bool ditto = false;      // Ctrl+' recalls the value last saved by the form
    bool isDefault = false;  // Enter presses it
    std::vector<Control> children;
    std::shared_ptr<const LookupTarget> lookup;  // Lookup: what it names

    // Modifiers, so that a resource reads as one table.
    Control withTip(std::string t) && { tip = std::move(t); return std::move(*this); }
    Control withKey(std::string k) && { key = std::move(k); return std::move(*this); }
    Control withId(std::string i) && { id = std::move(i); return std::move(*this); }
    Control hide() && { hidden = true; return std::move(*this); }
    Control disable() && { disabled = true; return std::move(*this); }
    Control readonly() && { readOnly = true; return std::move(*this); }
    Control history() && { ditto = true; return std::move(*this); }
    Control byDefault() && { isDefault = true; return std::move(*this); }
};

struct WindowResource {
    std::string title;
    int width = 0, height = 0;  // dialog units
    std::vector<Control> controls;
};

// ---- one function per kind of control

inline Control makeControl(ControlKind kind, std::string id, std::string text, DlgRect at) {
    Control c;
    c.kind = kind;
    c.id = std::move(id);
    c.text = std::move(text);
    c.at = at;
    return c;
}
inline Control boundControl(ControlKind kind, std::string id, std::string text, FieldRef field, DlgRect at) {
    Control c = makeControl(kind, std::move(id), std::move(text), at);
    c.field = std::move(field);
    return c;
}

inline Control prompt(std::string text, DlgRect at) { return makeControl(ControlKind::Prompt, "", std::move(text), at); }
inline Control entry(std::string id, FieldRef field, std::string picture, DlgRect at) {
    Control c = boundControl(ControlKind::Entry, std::move(id), "", std::move(field), at);
    c.picture = std::move(picture);
    return c;
}
// A lookup: the entry at `at`, its button and text right of it.
inline Control lookup(std::string id, FieldRef field, std::string picture, DlgRect at, LookupTarget look) {
    Control c = boundControl(ControlKind::Lookup, std::move(id), "", std::move(field), at);
    c.picture = std::move(picture);
    c.lookup = std::make_shared<const LookupTarget>(std::move(look));
    return c;
}
inline Control display(std::string id, FieldRef field, std::string picture, DlgRect at) {
    Control c = boundControl(ControlKind::Text, std::move(id), "", std::move(field), at);
    c.picture = std::move(picture);
    return c;
}
inline Control button(std::string id, std::string text, DlgRect at) {
    return makeControl(ControlKind::Button, std::move(id), std::move(text), at);
}
inline Control check(std::string id, std::string text, FieldRef field, DlgRect at, std::string on = "1",
                     std::string off = "0") {
    Control c = boundControl(ControlKind::Check, std::move(id), std::move(text), std::move(field), at);
    c.value = std::move(on);
    c.offValue = std::move(off);
    return c;
}
inline Control option(std::string id, std::string text, FieldRef field, DlgRect at, std::vector<Control> radios) {
    Control c = boundControl(ControlKind::Option, std::move(id), std::move(text), std::move(field), at);
    c.children = std::move(radios);
    return c;
}
inline Control radio(std::string text, std::string value, DlgRect at) {
    Control c = makeControl(ControlKind::Radio, "", std::move(text), at);
    c.value = std::move(value);
    return c;
}
inline Control sheet(std::string id, DlgRect at, std::vector<Control> tabs) {
    Control c = makeControl(ControlKind::Sheet, std::move(id), "", at);
    c.children = std::move(tabs);
    return c;
}
inline Control tab(std::string text, std::vector<Control> controls) {
    Control c = makeControl(ControlKind::Tab, "", std::move(text), {});
    c.children = std::move(controls);
    return c;
}
inline Control group(std::string text, DlgRect at, std::vector<Control> controls) {
    Control c = makeControl(ControlKind::Group, "", std::move(text), at);
    c.children = std::move(controls);
    return c;
}
inline Control list(std::string id, DlgRect at) { return makeControl(ControlKind::List, std::move(id), "", at); }
inline Control image(std::string id, std::string path, DlgRect at) {
    return makeControl(ControlKind::Image, std::move(id), std::move(path), at);
}

// ---- the buttons most windows share

// Select, Insert, Change, Delete and Close in a column right of a list.
inline std::vector<Control> codeListButtons(int x, int y) {
    return {button("select", "O&daberi", {x, y, 50, 14}), button("insert", "&Unesi", {x, y + 20, 50, 14}),
            button("change", "&Mijenjaj", {x, y + 36, 50, 14}), button("delete", "&Briši", {x, y + 52, 50, 14}),
            button("close", "Zatvori", {x, y + 80, 50, 14})};
}

// OK (Enter) and Odustani of a form, side by side.
inline std::vector<Control> okCancelButtons(int x, int y) {
    return {button("ok", "OK", {x, y, 45, 14}).byDefault(), button("cancel", "Odustani", {x + 50, y, 45, 14})};
}

inline void append(std::vector<Control>& to, std::vector<Control> controls) {
    for (Control& c : controls) to.push_back(std::move(c));
}

inline WindowResource withButtons(WindowResource r, std::vector<Control> buttons) {
    append(r.controls, std::move(buttons));
    return r;
}

}  // namespace marel
