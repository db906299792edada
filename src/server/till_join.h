// Joining a till to the shop server: the server takes the till code (or
// refuses one another till holds) and the till keeps where its server is.
#pragma once

#include <string>

#include "server/till_session.h"

namespace shop::server {

struct JoinResult {
    Refusal refusal = Refusal::Failed;
    std::string message;  // for the shop; never holds the password
    bool ok() const { return refusal == Refusal::None; }
};

// A till code: 1 to 8 ASCII letters or digits.
bool isTillCode(const std::string& code);

// Registers `till` on the server at `connection` (which may carry the
// password) and writes the run folder's server file and password file. A run
// folder that joined before with the same code joins again with its own
// token. Nothing is written locally unless the server took the till.
JoinResult joinTill(const std::string& runDir, const std::string& connection,
                    const std::string& till, Timeouts timeouts = {});

}  // namespace shop::server
