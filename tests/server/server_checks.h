// What the server holds, for the tests' checks.
#pragma once

#include <string>

#include "shop_server_fixture.h"

namespace shop::test {

struct ServerCounts {
    long long tickets = 0, distinctReceipts = 0, rows = 0, units = 0;
};

// Counts over every till, or one till's.
ServerCounts serverCounts(const std::string& till = "");
// The server's stock of a goods.
long long serverStock(const std::string& name);

}  // namespace shop::test
