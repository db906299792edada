// Our schema on the shop server: made and upgraded step by step, each step
// in one transaction that also records the version it reaches, so a step
// either happened whole or not at all and running it again changes nothing.
// A server whose schema is newer than this program knows is left alone.
#pragma once

#include <string>

#include "server/pg_connection.h"

namespace shop::server {

// The schema version this program writes and reads.
int schemaVersion();

// The server's schema version: 0 for none yet, -1 when it cannot be read.
int serverSchemaVersion(PgConnection& connection);

struct InitResult {
    bool ok = false;
    int from = 0;  // the version found
    int to = 0;    // the version now there
    std::string message;
};

// Makes or upgrades the schema. `shopName` names a shop made now (an
// existing shop keeps its name). Needs the server's administrator.
InitResult initSchema(PgConnection& admin, const std::string& shopName);

}  // namespace shop::server
