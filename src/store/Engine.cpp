#include "store/Engine.h"

namespace marel {

int Connection::open(const std::string& location, bool readOnly) {
    close();
    if (!isServerAddress(location)) {
        pg_.reset();
        return lite_.open(location, readOnly);
    }
    pg_ = std::make_unique<PgConnection>();
    return pg_->open(location, readOnly);
}

void Connection::close() {
    if (pg_) pg_->close();
    // Kept after a close: the words of a failed open are still asked for.
    lite_.close();
}

Statement Connection::prepare(std::string_view sql, bool kept) {
    if (pg_) return Statement(pg_->prepare(sql));
    return Statement(lite_.prepare(sql, kept));
}

}  // namespace marel
