#pragma once
// The program's data carried from one store to another, whichever engine
// each is on: a data folder onto a server, a server's data into a folder or
// into one file that restores anywhere (store/Backup.h).
//
// Every function returns an empty string when it succeeded, or the reason it
// did not, in Croatian, to be shown as it stands. A transfer that fails
// leaves the target as it was.
#include <cstdint>
#include <string>
#include <vector>

namespace marel {

class Connection;
class Store;

struct TransferCount {
    int tables = 0;  // tables of the program's files, empty ones included
    int64_t rows = 0;
};

// What becomes of the data the target holds.
enum class TransferMode {
    // A target with a single record of the program's files is refused.
    IntoEmpty,
    // Every table of the program's files is emptied first, and the notes of
    // open insert forms go with the records they named.
    Replacing,
};

// Copies every table of the program's files that `from` holds into `to`,
// each record with its id and version and every value as it is, as one read
// of `from` and one write transaction of `to`; tables the target lacks are
// made in its own engine's shape, and its ids go on after the copied ones.
// Before the write ends, every table's records are counted and every amount
// column summed on both sides: any difference undoes the whole transfer.
std::string transferData(Store& from, Store& to, TransferCount* count = nullptr);

// The same from a database this process opened by a connection of its own
// (a copy's file), read in a read transaction of its own unless one is open.
std::string transferData(Connection& from, Store& to, TransferMode mode, TransferCount* count = nullptr);

// What a connection's table holds, as either engine tells it: the names of
// its columns (none when there is no such table; `code` gets the engine's
// code of a failed read), and the highest record id it has ever given (0
// when none or unknown).
std::vector<std::string> columnsOf(Connection& connection, const std::string& table, int& code);
int64_t highestIdGiven(Connection& connection, const std::string& table);

}  // namespace marel
