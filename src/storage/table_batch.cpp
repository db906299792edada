// All-or-nothing runs of writes on one table.
#include <algorithm>
#include <atomic>

#include "failure.h"
#include "table.h"
#include "table_state.h"

namespace shop::storage {

using namespace detail;

namespace {

std::atomic<std::uint64_t> g_nextToken{1};

// The table of this thread that carries the batch, with its connection.
struct BatchTarget {
    OpenTable* table = nullptr;
    Connection* connection = nullptr;
};

BatchTarget target(std::uint64_t token) {
    ThreadTables& t = threadTables();
    auto it =
        std::find_if(t.tables.begin(), t.tables.end(),
                     [&](const std::unique_ptr<OpenTable>& p) { return p->batchToken == token; });
    if (it == t.tables.end()) return {};
    // A pinned connection is never evicted, so it is still in the cache.
    return {it->get(), t.connections.find((*it)->id)};
}

void finish(const BatchTarget& b) {
    b.table->batchToken = 0;
    if (b.connection) b.connection->pinned = false;
    b.table->changed();
}

}  // namespace

Batch::Batch() {
    OpenTable* table = threadTables().current;
    // One batch per table at a time; a read-only table takes no writes.
    if (!table || table->readOnly || table->batchToken != 0) return;
    Connection* c = connect(*table);
    m_token = g_nextToken.fetch_add(1);
    table->batchToken = m_token;
    // Taking the write lock now means the commit cannot fail on a lock that
    // another thread took meanwhile. When the batch cannot start (the file
    // stays busy, it cannot be read), the table still belongs to it: every
    // write inside fails and commit reports failure, so nothing is half saved.
    if (!c) return;
    if (const Status sound = c->checkBeforeFirstWrite(table->path); !sound.ok()) {
        fail(sound);
        return;
    }
    if (!c->inTransaction() && c->exec("BEGIN IMMEDIATE"))
        c->pinned = true;
    else
        failSqlite(c->db(), table->path, "cannot start a batch");
}

Batch::~Batch() { rollback(); }

bool Batch::commit() {
    if (m_token == 0) return false;
    const BatchTarget b = target(m_token);
    m_token = 0;
    if (!b.table) return false;  // the table was closed: its writes were rolled back
    bool ok = false;
    if (b.connection && b.connection->inTransaction()) {
        ok = b.connection->exec("COMMIT");
        if (!ok) {
            failSqlite(b.connection->db(), b.table->path, "cannot commit");
            b.connection->exec("ROLLBACK");
        }
    } else {
        // Why the batch could not start or what ended it was recorded then;
        // the failed commit counts as a failure of its own.
        const Status why = lastStatus();
        fail(why.ok() ? Status::error(Status::Code::Invalid, b.table->path, "the batch has failed")
                      : why);
    }
    finish(b);
    return ok;
}

void Batch::rollback() {
    if (m_token == 0) return;
    const BatchTarget b = target(m_token);
    m_token = 0;
    if (!b.table) return;
    if (b.connection && b.connection->inTransaction()) b.connection->exec("ROLLBACK");
    finish(b);
}

}  // namespace shop::storage
