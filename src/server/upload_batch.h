// One upload: a run of records of one local table, stored on the server in
// one transaction under their till-made keys. Rows already there are left
// as they are, and only rows stored now lower the server's stock, by a
// relative update in the same transaction: a replay changes nothing.
#pragma once

#include <string>

#include "server/outbox.h"
#include "server/pg_connection.h"

namespace shop::server {

struct BatchResult {
    bool committed = false;
    int stored = 0;  // records new to the server
    std::string error;
};

// Records [offset, offset + count) of `table`'s cells (record numbers
// table.first + offset ...).
BatchResult uploadBatch(PgConnection& connection, const std::string& till, const OutboxTable& table,
                        int offset, int count);

}  // namespace shop::server
