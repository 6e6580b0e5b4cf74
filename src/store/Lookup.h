#pragma once
// Reading a record by its number into its file's buffer, for a screen that
// shows it there (the core reads values: store/Values.h).
#include <cstdint>

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

}  // namespace marel
