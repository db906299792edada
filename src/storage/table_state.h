// The per-thread open-table set behind the table facility.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "connection_cache.h"
#include "table.h"
#include "table_connection.h"

namespace shop::storage::detail {

// Counts the changes made to one file by any connection of this process, so
// a thread's cached reads notice another thread's writes without asking the
// file.
using ChangeCounter = std::atomic<std::uint64_t>;
std::shared_ptr<ChangeCounter> changeCounter(const format::HeaderInfo& file);

struct OpenTable {
    std::uint64_t id = 0;
    std::string path;      // as the caller gave it
    std::string baseName;  // file name without folder and ".edb"
    std::vector<FieldDesc> fields;
    bool readOnly = false;
    int cursor = 1;
    format::HeaderInfo file;
    std::shared_ptr<ChangeCounter> changes;
    std::uint64_t batchToken = 0;  // nonzero while a batch runs on it

    // Moves the counter on; gives the version it stood at before.
    std::uint64_t changed() const { return changes->fetch_add(1, std::memory_order_acq_rel); }
    std::uint64_t version() const { return changes->load(std::memory_order_acquire); }
};

struct ThreadTables {
    // In order of opening; reopening moves a table to the end.
    std::vector<std::unique_ptr<OpenTable>> tables;
    OpenTable* current = nullptr;
    ConnectionCache connections{kDefaultConnections};

    static constexpr std::size_t kDefaultConnections = 16;

    ~ThreadTables() {
        // Close connections before the tables they belong to.
        connections.clear();
    }
};

ThreadTables& threadTables();

// The connection of an open table, opened again (and checked again) when
// it was evicted. nullptr when the file no longer opens as the same table.
Connection* connect(OpenTable& table);

// Drops a table from the set: rolls back a batch on it, closes its connection.
void dropTable(ThreadTables& t, OpenTable* table);

// Record count of the table, served from the read cache while nothing changed.
std::optional<int> countRecords(OpenTable& table, Connection& c);

// Base name of a path: file name without its folder and a trailing ".edb".
std::string baseNameOf(const std::string& path);
// Paths with an empty, "." or ".." component (apart from a leading "/") are refused.
bool acceptablePath(const std::string& path);

}  // namespace shop::storage::detail
