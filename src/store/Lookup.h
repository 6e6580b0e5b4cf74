#pragma once
// Reading records by their number over and over, as a report of a payment
// does: its lines name the same places, banks and income types again and
// again, so each is read from the database once and copied back after.
#include <cstdint>
#include <type_traits>
#include <unordered_map>
#include <utility>

namespace marel {

template <class File>
class RecordLookup {
public:
    explicit RecordLookup(File& file) : file_(file) {}
    // Puts record `number` into the file's buffer; a blank buffer and false
    // when there is none (a statutory print prints blanks and goes on).
    bool read(int64_t number) {
        if (auto it = seen_.find(number); it != seen_.end()) {
            file_.record() = it->second.first;
            return it->second.second;
        }
        file_.clear();
        file_.OZNAKA = decltype(file_.OZNAKA)(number);
        const bool found = file_.get(file_.KEYOZNAKA) == 0;
        if (!found) file_.clear();
        seen_.emplace(number, std::pair{file_.record(), found});
        return found;
    }

private:
    using Record = std::remove_reference_t<decltype(std::declval<File&>().record())>;
    File& file_;
    std::unordered_map<int64_t, std::pair<Record, bool>> seen_;
};

}  // namespace marel
