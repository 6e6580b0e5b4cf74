#pragma once
// The record update form, without its window: every form that inserts,
// changes or deletes one record runs through this one engine, given the
// request (1 insert, 2 change, 3 delete) and returning its answer
// (1 completed, 2 cancelled). A screen supplies only its
// particulars: the file, the titles, the other files it needs, the defaults
// of a new record and its own check before saving.
//
// A new record gets its number (highest OZNAKA + 1) and is added the moment
// the form opens, so that lines belonging to it can be entered at once; it is
// removed again, with whatever was entered under it, unless the form is
// completed.
//
// The engine works on the file's record buffer of its screen's buffer set:
// other screens have buffers of their own, so the record stays as the user
// left it while other windows are used, and the version read when the form
// opened is the one its OK is checked against.
#include <boost/core/noncopyable.hpp>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/DataFile.h"
#include "store/Warnings.h"
#include "ui/FieldRef.h"
#include "ui/Request.h"

namespace marel {

class UpdateForm : private boost::noncopyable {
public:
    // `name` identifies the form's history record ("UPISOSOBE").
    UpdateForm(DataFile& file, std::string name);
    ~UpdateForm();

    // ---- particulars of the screen
    std::string insertTitle;
    std::string changeTitle;
    std::vector<DataFile*> otherFiles;
    std::function<void()> defaults;  // a new record's values, after its number
    std::function<bool()> validate;  // the screen's check on OK; false keeps the form open
    std::function<void(bool)> busy;  // the window's busy cursor, on and off

    // ---- the course of a form
    // Takes the request and prepares: an insert numbers and adds the record,
    // a delete asks and deletes. True when the window is to be shown (insert
    // or change); false when the form is already finished (its answer is
    // then in response()).
    bool open(LONG request);
    int request() const { return request_; }
    const std::string& title() const { return request_ == INSERTRECORD ? insertTitle : changeTitle; }

    enum class Outcome {
        Close,       // finished: close the window
        Stay,        // stay in the form, showing the buffer again
        FirstField,  // stay, with the focus on the first field
    };
    // OK, once every field has been accepted.
    Outcome ok();
    // Cancel, or the window closed by the user.
    void cancel() { response_ = REQUESTCANCELLED; }
    // Ends the form (also done by the destructor): removes a new record that was
    // not completed and releases the files. Returns the answer.
    int close();
    int response() const { return response_; }

    // The value of a field of the form's file as this form saved it last
    // (Ctrl+'); nothing before the first save or for other variables.
    std::optional<std::string> history(const FieldRef& field) const;

private:
    using Copy = std::vector<std::string>;
    Copy copy() const;
    void restore(const Copy& c);
    bool number();
    void remove();
    void removeAdded();
    template <class F>
    auto underBusy(F&& f) {
        if (busy) busy(true);
        auto r = f();
        if (busy) busy(false);
        return r;
    }

    DataFile& file_;
    std::string name_;
    FileUse files_;
    int request_ = 0;
    int response_ = REQUESTCANCELLED;
    bool opened_ = false;
    bool closed_ = false;
    bool added_ = false;
    int64_t id_ = 0;      // the record the form edits
    int64_t addedVersion_ = 0;  // its version as this form added it
    Copy saved_;          // as loaded, to see whether anything changed
};

}  // namespace marel
