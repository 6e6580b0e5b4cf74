#include "store/BufferSet.h"

#include "store/Records.h"

namespace marel {

namespace {
std::shared_ptr<BufferSet>& currentSet() {
    static std::shared_ptr<BufferSet> set = BufferSet::program();
    return set;
}
}  // namespace

BufferSet::BufferSet() {
    kept_.reserve(allFiles().size());
    for (DataFile* f : allFiles()) kept_.push_back(f->blankBuffer());
}

BufferSet::~BufferSet() = default;

const std::shared_ptr<BufferSet>& BufferSet::program() {
    static const std::shared_ptr<BufferSet> set = make();
    return set;
}

const std::shared_ptr<BufferSet>& BufferSet::current() { return currentSet(); }

void BufferSet::exchange() {
    const auto& files = allFiles();
    for (size_t i = 0; i < files.size(); ++i) files[i]->swapBuffer(kept_[i]);
    std::swap(lastErrorState(), error_);
}

void BufferSet::makeCurrent(const std::shared_ptr<BufferSet>& set) {
    std::shared_ptr<BufferSet>& live = currentSet();
    if (!set || set == live) return;
    // The live buffers go back to the set they belong to, then the new set's come in.
    live->exchange();
    set->exchange();
    live = set;
}

}  // namespace marel
