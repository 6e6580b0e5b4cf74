#pragma once
// Record buffers per screen. Every data file has one record buffer, reached
// by its prefix (`OSO.OIB`); but two screens open side by side must never see
// each other's records, or a change saved in one window would replace what
// is typed in another. A BufferSet holds, for every data file, the buffer of
// one screen while another screen has its turn: the window runtime makes a
// screen's set current before any event reaches one of its windows, and the
// lists, forms and choosers the screen calls run in the same set.
//
// The set that is current keeps nothing itself: its buffers are the live ones
// in the files. Making another set current exchanges the two.
#include <boost/core/noncopyable.hpp>
#include <memory>
#include <vector>

#include "store/DataFile.h"
#include "store/Store.h"

namespace marel {

class BufferSet : private boost::noncopyable {
public:
    // Blank buffers for every file (as if just cleared, nothing read).
    BufferSet();
    ~BufferSet();

    static std::shared_ptr<BufferSet> make() { return std::make_shared<BufferSet>(); }
    // The set whose buffers are live now; the program's own set at the start.
    static const std::shared_ptr<BufferSet>& current();
    // The set of the program itself (start-up and the frame's own commands).
    static const std::shared_ptr<BufferSet>& program();

    // Puts this set's buffers into the files and keeps the live ones in the
    // set that was current until now.
    static void makeCurrent(const std::shared_ptr<BufferSet>& set);
    bool isCurrent() const { return current().get() == this; }

private:
    void exchange();

    std::vector<FileBuffer> kept_;
    ErrorState error_;
};

// Makes a set current for the life of a scope, and the one before it again at the end.
class BufferScope : private boost::noncopyable {
public:
    explicit BufferScope(std::shared_ptr<BufferSet> set) : before_(BufferSet::current()) {
        if (set) BufferSet::makeCurrent(set);
    }
    ~BufferScope() {
        if (before_) BufferSet::makeCurrent(before_);
    }

private:
    std::shared_ptr<BufferSet> before_;
};

}  // namespace marel
