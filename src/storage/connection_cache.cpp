#include "connection_cache.h"

#include <algorithm>

namespace shop::storage::detail {

Connection* ConnectionCache::find(std::uint64_t tableId) {
    if (!m_items.empty() && m_items.front().tableId == tableId)
        return m_items.front().connection.get();
    auto it = std::find_if(m_items.begin(), m_items.end(),
                           [&](const Item& i) { return i.tableId == tableId; });
    if (it == m_items.end()) return nullptr;
    std::rotate(m_items.begin(), it, it + 1);
    return m_items.front().connection.get();
}

Connection* ConnectionCache::insert(std::uint64_t tableId, std::unique_ptr<Connection> connection) {
    remove(tableId);
    // Evict from the least recently used end; a connection inside a batch
    // stays open even if that leaves the cache over its capacity.
    for (std::size_t i = m_items.size(); i > 0 && m_items.size() >= m_capacity; --i) {
        if (!m_items[i - 1].connection->pinned)
            m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i - 1));
    }
    m_items.insert(m_items.begin(), Item{tableId, std::move(connection)});
    return m_items.front().connection.get();
}

void ConnectionCache::remove(std::uint64_t tableId) {
    auto it = std::find_if(m_items.begin(), m_items.end(),
                           [&](const Item& i) { return i.tableId == tableId; });
    if (it != m_items.end()) m_items.erase(it);
}

}  // namespace shop::storage::detail
