#include "pg_connection.h"

#include <libpq-fe.h>

namespace shop::server {

namespace {
std::string firstLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    if (const std::size_t nl = text.find('\n'); nl != std::string::npos) text.resize(nl);
    return text;
}
}  // namespace

void PgConnection::Finish::operator()(pg_conn* c) const { PQfinish(c); }

PgConnection PgConnection::open(const std::string& connection, Timeouts timeouts) {
    const std::string connectTimeout = std::to_string(timeouts.connectSeconds);
    const std::string options =
        "-c statement_timeout=" + std::to_string(timeouts.statementMilliseconds) +
        " -c lock_timeout=" + std::to_string(timeouts.statementMilliseconds) +
        " -c client_encoding=UTF8";
    // The caller's connection comes first (expanded from dbname); the
    // keywords after it add our bounds. The application name shows whose
    // sessions these are on the server.
    const char* keys[] = {"dbname", "connect_timeout", "options", "application_name", nullptr};
    const char* values[] = {connection.c_str(), connectTimeout.c_str(), options.c_str(),
                            "chengyu_shop", nullptr};
    PgConnection c;
    c.m_conn.reset(PQconnectdbParams(keys, values, 1));
    if (!c.m_conn) {
        c.m_failure = "out of memory";
    } else if (PQstatus(c.m_conn.get()) != CONNECTION_OK) {
        c.m_failure = firstLine(PQerrorMessage(c.m_conn.get()));
        c.m_conn.reset();
    } else {
        // The server's notices (a shutdown under way, a role already there)
        // are for its log, not for the till's standard error.
        PQsetNoticeProcessor(
            c.m_conn.get(), [](void*, const char*) {}, nullptr);
    }
    return c;
}

bool PgConnection::isOpen() const { return m_conn && PQstatus(m_conn.get()) == CONNECTION_OK; }

std::string PgConnection::error() const {
    if (!m_conn) return m_failure.empty() ? "not connected" : m_failure;
    return firstLine(PQerrorMessage(m_conn.get()));
}

std::string PgConnection::failureOf(const PgResult& failed) const {
    return failed.error().empty() ? error() : failed.error();
}

PgResult PgConnection::exec(const std::string& sql, const std::vector<std::string>& params) {
    if (!m_conn) return PgResult();
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const std::string& p : params) values.push_back(p.c_str());
    return PgResult(PQexecParams(m_conn.get(), sql.c_str(), static_cast<int>(values.size()),
                                 nullptr, values.data(), nullptr, nullptr, 0));
}

std::string PgConnection::value(const std::string& sql, const std::vector<std::string>& params,
                                bool* ok) {
    const PgResult r = exec(sql, params);
    if (ok) *ok = r.ok();
    return r.ok() && r.rows() > 0 ? r.text(0, 0) : std::string();
}

std::string PgConnection::encryptPassword(const std::string& user, const std::string& password) {
    if (!m_conn) return {};
    char* verifier = PQencryptPasswordConn(m_conn.get(), password.c_str(), user.c_str(), nullptr);
    if (!verifier) return {};
    std::string out = verifier;
    PQfreemem(verifier);
    return out;
}

int PgConnection::socket() const { return m_conn ? PQsocket(m_conn.get()) : -1; }

std::vector<std::string> PgConnection::notifications() {
    std::vector<std::string> channels;
    if (!m_conn || !PQconsumeInput(m_conn.get())) return channels;
    while (PGnotify* n = PQnotifies(m_conn.get())) {
        channels.emplace_back(n->relname);
        PQfreemem(n);
    }
    return channels;
}

std::string arrayLiteral(const std::vector<std::string>& elements) {
    std::string out = "{";
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (i) out += ',';
        out += '"';
        for (const char ch : elements[i]) {
            if (ch == '"' || ch == '\\') out += '\\';
            out += ch;
        }
        out += '"';
    }
    return out + "}";
}

}  // namespace shop::server
