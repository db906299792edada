#include "server_checks.h"

namespace shop::test {

ServerCounts serverCounts(const std::string& till) {
    server::PgConnection c = ShopServer::instance().adminConnection();
    ServerCounts n;
    n.tickets =
        std::stoll("0" + c.value("SELECT count(*) FROM tickets WHERE $1 IN ('', till)", {till}));
    n.distinctReceipts = std::stoll(
        "0" +
        c.value("SELECT count(DISTINCT receipt) FROM tickets WHERE $1 IN ('', till)", {till}));
    n.rows =
        std::stoll("0" + c.value("SELECT count(*) FROM sale_rows WHERE $1 IN ('', till)", {till}));
    n.units = std::stoll("0" + c.value("SELECT coalesce(sum(quantity::bigint), 0) FROM sale_rows"
                                       " WHERE $1 IN ('', till)",
                                       {till}));
    return n;
}

long long serverStock(const std::string& name) {
    server::PgConnection c = ShopServer::instance().adminConnection();
    return std::stoll("0" + c.value("SELECT stock FROM products WHERE name = $1", {name}));
}

}  // namespace shop::test
