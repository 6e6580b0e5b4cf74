#pragma once
// Reading records by their number: once, or over and over as a report of a
// payment does (its lines name the same places, banks and income types again
// and again, so each is read from the database once and copied back after).
#include <cstdint>
#include <type_traits>
#include <unordered_map>
#include <utility>

namespace marel {

// Reads the record numbered `number` (its OZNAKA) into the file's buffer; a
// number not found (0 included) leaves the buffer blank. True when found.
template <class File, class Number>
bool readByNumber(File& file, Number number) {
    file.clear();
    if (number == 0) return false;
    file.OZNAKA = decltype(file.OZNAKA)(number);
    if (file.get(file.KEYOZNAKA) == 0) return true;
    file.clear();
    return false;
}

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
        const bool found = readByNumber(file_, number);
        seen_.emplace(number, std::pair{file_.record(), found});
        return found;
    }

private:
    using Record = std::remove_reference_t<decltype(std::declval<File&>().record())>;
    File& file_;
    std::unordered_map<int64_t, std::pair<Record, bool>> seen_;
};

}  // namespace marel
