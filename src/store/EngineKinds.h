#pragma once
// What every engine's statements report (see store/Engine.h).
#include <string>
#include <vector>

namespace marel {

// What a step of a statement gave.
enum class StepResult { Row, Done, Error };

// The kind of value a column of the current row holds.
enum class ColumnKind { Null, Integer, Real, Text, Blob };

// The SQL an engine spells its own way. The store writes parameters as `?`
// and asks here for the rest.
struct Dialect {
    const char* rowId;           // the record id column as queries name it
    const char* idColumnType;    // ids given in rising order that never return
    const char* croatianOrder;   // the collation of text keys
    const char* integerType;     // whole numbers of 64 bits
    const char* beginRead;       // one state of the database for a whole report
    const char* countTablesSql;  // one row: how many tables the database has
    const char* columnsSql;      // the names of the columns of the table ?
    // type ('table' or 'index'), name and the SQL that made the table ? and its indexes
    const char* schemaSql;
    const char* tableExistsSql;  // a row when the table ? exists
    const char* indexesSql;      // the names of the indexes of the table ? made by SQL
    const char* lastIdSql;       // one row: the highest record id ever given in the table ?
    // A key column's direction in ORDER BY and in an index's column list.
    const char* ascending;
    const char* descending;
    const char* indexAscending;
    const char* indexDescending;
    // Joined to a non-unique index's columns, so that it also keeps the
    // order of records with the same key.
    const char* indexTail;
    // Joined to an insert whose new record id lastInsertId() is to give.
    const char* returningId;
    // "`column` holds the value ?", an empty date (NULL) included.
    std::string (*same)(const std::string& column);
    // An insert into `table` of `columns` that replaces the row with the
    // same values in the first `keyColumns` of them (its primary key).
    std::string (*replacingInsert)(const std::string& table, const std::vector<std::string>& columns,
                                   size_t keyColumns);
};

const Dialect& sqliteDialect();
const Dialect& serverDialect();

}  // namespace marel
