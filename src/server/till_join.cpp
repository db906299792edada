#include "till_join.h"

#include <cstdlib>
#include <fstream>

#include "server/schema.h"
#include "server/server_file.h"

namespace shop::server {

namespace {
std::string newToken() {
    std::ifstream random("/dev/urandom", std::ios::binary);
    unsigned char bytes[16] = {};
    random.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    static const char* hex = "0123456789abcdef";
    std::string token;
    for (const unsigned char b : bytes) {
        token += hex[b >> 4];
        token += hex[b & 15];
    }
    return random ? token : std::string();
}

JoinResult refused(Refusal refusal, const std::string& till, const std::string& detail = {}) {
    JoinResult r{refusal, refusalText(refusal, till)};
    if (!detail.empty()) r.message += "（" + detail + "）";
    return r;
}
}  // namespace

bool isTillCode(const std::string& code) {
    if (code.empty() || code.size() > 8) return false;
    for (const char ch : code)
        if (!((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z')))
            return false;
    return true;
}

JoinResult joinTill(const std::string& runDir, const std::string& connection,
                    const std::string& till, Timeouts timeouts) {
    if (!isTillCode(till)) return {Refusal::Failed, "收银机编号应为 1 到 8 个字母或数字"};
    SplitConnection split = splitPassword(connection);
    if (!split.ok) return refused(Refusal::Failed, till, split.error);
    // libpq signs in with PGPASSWORD too: that password is the one to keep.
    if (const char* fromEnvironment = std::getenv("PGPASSWORD");
        split.password.empty() && fromEnvironment)
        split.password = fromEnvironment;
    PgConnection c = PgConnection::open(connection, timeouts);
    if (!c.isOpen()) return refused(connectRefusal(c.error()), till, c.error());
    if (const Refusal r = schemaRefusal(c); r != Refusal::None) return refused(r, till);

    ServerFile file;
    file.connection = split.connection;
    file.till = till;
    const std::optional<ServerFile> before = readServerFile(runDir);
    file.token =
        before && before->till == till && !before->token.empty() ? before->token : newToken();
    if (file.token.empty()) return refused(Refusal::Failed, till, "/dev/urandom");
    const PgResult meta =
        c.exec("SELECT key, value FROM shop_meta WHERE key IN ('shop_id', 'shop_name')");
    if (!meta.ok()) return refused(Refusal::Failed, till, meta.error());
    for (int i = 0; i < meta.rows(); ++i)
        (meta.text(i, 0) == "shop_id" ? file.shopId : file.shopName) = meta.text(i, 1);

    const PgResult taken = c.exec(std::string("INSERT INTO tills (code, token_hash) VALUES ($1, ") +
                                      kTokenHashSql + ") ON CONFLICT (code) DO NOTHING",
                                  {till, file.token});
    if (!taken.ok()) return refused(Refusal::Failed, till, taken.error());
    const PgResult mine =
        c.exec(std::string("SELECT token_hash = ") + kTokenHashSql + " FROM tills WHERE code = $1",
               {till, file.token});
    if (!mine.ok()) return refused(Refusal::Failed, till, mine.error());
    if (mine.rows() != 1 || mine.text(0, 0) != "t") return refused(Refusal::TillTaken, till);

    if (!writePasswordFile(passwordFilePath(runDir), split.password))
        return refused(Refusal::Failed, till, passwordFilePath(runDir));
    if (!writeServerFile(runDir, file))
        return refused(Refusal::Failed, till, serverFilePath(runDir));
    return {Refusal::None, "收银机 " + till + " 已加入门店服务器（" + file.shopName + "）"};
}

}  // namespace shop::server
