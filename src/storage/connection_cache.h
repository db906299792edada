// A small least-recently-used set of open connections, one per thread, so the
// number of open files stays bounded however many tables stay "open".
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "table_connection.h"

namespace shop::storage::detail {

class ConnectionCache {
public:
    explicit ConnectionCache(std::size_t capacity) : m_capacity(capacity) {}

    // The connection of that table, made most recently used; nullptr if it
    // is not cached.
    Connection* find(std::uint64_t tableId);
    // Adds a connection, closing the least recently used unpinned ones when
    // the cache is full.
    Connection* insert(std::uint64_t tableId, std::unique_ptr<Connection> connection);
    // Closes the connection of that table (rolling back what it left open).
    void remove(std::uint64_t tableId);
    void clear() { m_items.clear(); }

    std::size_t size() const { return m_items.size(); }
    std::size_t capacity() const { return m_capacity; }
    void setCapacity(std::size_t capacity) { m_capacity = capacity ? capacity : 1; }

private:
    struct Item {
        std::uint64_t tableId;
        std::unique_ptr<Connection> connection;
    };
    // Most recently used first.
    std::vector<Item> m_items;
    std::size_t m_capacity;
};

}  // namespace shop::storage::detail
