#include <gtest/gtest.h>
#include <sqlite3.h>

#include "store/Store.h"

using namespace marel;

namespace {

struct Mapped {
    int code;
    int detail;
    int store;
};

// The engine's codes as the store reports them; a detail left over from an
// earlier failure of another kind must not decide a constraint's code.
const Mapped kMapped[] = {
    {SQLITE_BUSY, SQLITE_BUSY, kFileLocked},
    {SQLITE_LOCKED, SQLITE_LOCKED_SHAREDCACHE, kFileLocked},
    {SQLITE_CONSTRAINT, SQLITE_CONSTRAINT_UNIQUE, kDuplicateKey},
    {SQLITE_CONSTRAINT, SQLITE_CONSTRAINT_PRIMARYKEY, kDuplicateKey},
    {SQLITE_CONSTRAINT, SQLITE_CONSTRAINT_FOREIGNKEY, kLinkBroken},
    {SQLITE_CONSTRAINT, SQLITE_CONSTRAINT_NOTNULL, kRuleBroken},
    {SQLITE_CONSTRAINT, SQLITE_BUSY, kRuleBroken},
    {SQLITE_CONSTRAINT_UNIQUE, SQLITE_ERROR, kDuplicateKey},
    {SQLITE_READONLY, SQLITE_READONLY, kAccessDenied},
    {SQLITE_FULL, SQLITE_FULL, kDiskFull},
    {SQLITE_NOTADB, SQLITE_NOTADB, kFileInvalid},
    {SQLITE_CORRUPT, SQLITE_CORRUPT, kFileInvalid},
    {SQLITE_IOERR, SQLITE_IOERR_WRITE, kStoreFailure},
    {SQLITE_ERROR, SQLITE_ERROR, kStoreFailure},
};

TEST(Engine, FailuresMapIntoTheStoresCodes) {
    for (const Mapped& m : kMapped)
        EXPECT_EQ(Connection::storeCodeOf(m.code, m.detail), m.store) << m.code << "/" << m.detail;
}

}  // namespace
