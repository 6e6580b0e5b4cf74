#pragma once
// What the store needs of the database engine beneath it: a Connection and
// its prepared Statements. The store's SQL writes parameters as `?`; what
// engines spell differently (their catalogue, the record id column, the
// session's settings, the kinds of transaction, replacing a row) is asked of
// the Connection by name, never spelled in the store's own files.
//
// One engine is built in. Its classes are final and called directly, without
// a virtual call per column: every field of every row read goes through
// them. Their members are:
//
// Connection: open(path), close(), isOpen(), exec(sql), prepare(sql, kept),
//   lastInsertId(), changes(), totalChanges(), inTransaction(),
//   onBusy(wait, context), errorCode(), errorText(code), storeCode(code),
//   useCroatianOrder(), configure(), and the SQL of the engine's own.
// Statement: bind by position (1-based), step(), columns (0-based), reset(),
//   clearBindings(); empty (false) when its preparing failed.
//
// Engine codes: 0 is success; anything else is the engine's own code, which
// storeCode() maps into the store's codes (see StoreError) and the error
// state keeps beside them.
#include <cstdint>

namespace marel {

// What a step of a statement gave.
enum class StepResult { Row, Done, Error };

// The kind of value a column of the current row holds.
enum class ColumnKind { Null, Integer, Real, Text, Blob };

class SqliteConnection;
class SqliteStatement;
using Connection = SqliteConnection;
using Statement = SqliteStatement;

}  // namespace marel

#include "store/SqliteEngine.h"
