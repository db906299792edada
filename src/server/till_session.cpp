#include "till_session.h"

#include "server/schema.h"

namespace shop::server {

std::string refusalText(Refusal refusal, const std::string& till) {
    switch (refusal) {
        case Refusal::None:
            return "";
        case Refusal::Unreachable:
            return "门店服务器连不上";
        case Refusal::WrongPassword:
            return "门店服务器拒绝了用户名或密码";
        case Refusal::NoSchema:
            return "门店服务器尚未建好：请先运行 shop_table server init";
        case Refusal::NewerSchema:
            return "门店服务器的数据版本比本程序新：请先升级本程序";
        case Refusal::OtherShop:
            return "这不是本店的门店服务器";
        case Refusal::TillTaken:
            return "收银机编号 " + till + " 已被另一台收银机使用";
        case Refusal::NotJoined:
            return "门店服务器不认识收银机 " + till + "：请重新加入";
        case Refusal::Failed:
            return "门店服务器拒绝了请求";
    }
    return "";
}

Refusal connectRefusal(const std::string& message) {
    for (const char* phrase : {"password authentication failed", "no password supplied", "role \"",
                               "permission denied for database"})
        if (message.find(phrase) != std::string::npos) return Refusal::WrongPassword;
    return Refusal::Unreachable;
}

Refusal schemaRefusal(PgConnection& connection) {
    const int version = serverSchemaVersion(connection);
    if (version < 0) return connection.isOpen() ? Refusal::NoSchema : Refusal::Unreachable;
    if (version > schemaVersion()) return Refusal::NewerSchema;
    if (version < schemaVersion()) return Refusal::NoSchema;
    return Refusal::None;
}

std::string TillSession::message(const std::string& till) const {
    const std::string text = refusalText(refusal, till);
    return detail.empty() || refusal != Refusal::Unreachable ? text : text + "（" + detail + "）";
}

TillSession openTillSession(const std::string& runDir, const ServerFile& file, Timeouts timeouts) {
    TillSession s;
    s.connection = PgConnection::open(tillConnection(runDir, file), timeouts);
    if (!s.connection.isOpen()) {
        s.detail = s.connection.error();
        s.refusal = connectRefusal(s.detail);
        return s;
    }
    if ((s.refusal = schemaRefusal(s.connection)) != Refusal::None) return s;
    bool ok = false;
    const std::string shop =
        s.connection.value("SELECT value FROM shop_meta WHERE key = 'shop_id'", {}, &ok);
    if (!ok) {
        s.refusal = s.connection.isOpen() ? Refusal::Failed : Refusal::Unreachable;
        s.detail = s.connection.error();
        return s;
    }
    if (shop != file.shopId) {
        s.refusal = Refusal::OtherShop;
        return s;
    }
    const PgResult till = s.connection.exec(
        std::string("SELECT token_hash = ") + kTokenHashSql + " FROM tills WHERE code = $1",
        {file.till, file.token});
    if (!till.ok()) {
        s.refusal = s.connection.isOpen() ? Refusal::Failed : Refusal::Unreachable;
        s.detail = till.error();
        return s;
    }
    if (till.rows() == 0)
        s.refusal = Refusal::NotJoined;
    else if (till.text(0, 0) != "t")
        s.refusal = Refusal::TillTaken;
    else
        s.refusal = Refusal::None;
    return s;
}

JoinedSession openJoinedSession(const std::string& runDir, Timeouts timeouts) {
    JoinedSession joined;
    joined.file = readServerFile(runDir);
    if (!joined.file) {
        joined.failure = "本机没有加入门店服务器";
        return joined;
    }
    joined.session = openTillSession(runDir, *joined.file, timeouts);
    if (!joined.session.ok()) joined.failure = joined.session.message(joined.file->till);
    return joined;
}

}  // namespace shop::server
