#include "pg_result.h"

#include <libpq-fe.h>

#include <cstdlib>

namespace shop::server {

void PgResult::Clear::operator()(pg_result* r) const { PQclear(r); }

PgResult::PgResult(pg_result* result) : m_result(result) {}

bool PgResult::ok() const {
    if (!m_result) return false;
    const ExecStatusType s = PQresultStatus(m_result.get());
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
}

std::string PgResult::sqlState() const {
    if (!m_result) return {};
    const char* state = PQresultErrorField(m_result.get(), PG_DIAG_SQLSTATE);
    return state ? state : "";
}

std::string PgResult::error() const {
    if (ok()) return {};
    if (!m_result) return "no answer from the server";
    const char* primary = PQresultErrorField(m_result.get(), PG_DIAG_MESSAGE_PRIMARY);
    std::string message = primary ? primary : PQresultErrorMessage(m_result.get());
    if (const std::size_t nl = message.find('\n'); nl != std::string::npos) message.resize(nl);
    return message.empty() ? "the server refused" : message;
}

int PgResult::rows() const { return m_result ? PQntuples(m_result.get()) : 0; }

int PgResult::affected() const { return m_result ? std::atoi(PQcmdTuples(m_result.get())) : 0; }

bool PgResult::isNull(int row, int column) const {
    return !m_result || row >= rows() || column >= PQnfields(m_result.get()) ||
           PQgetisnull(m_result.get(), row, column);
}

std::string PgResult::text(int row, int column) const {
    if (isNull(row, column)) return {};
    return std::string(PQgetvalue(m_result.get(), row, column),
                       static_cast<std::size_t>(PQgetlength(m_result.get(), row, column)));
}

std::string_view PgResult::view(int row, int column) const {
    return {PQgetvalue(m_result.get(), row, column),
            static_cast<std::size_t>(PQgetlength(m_result.get(), row, column))};
}

long long PgResult::number(int row, int column) const {
    return std::strtoll(text(row, column).c_str(), nullptr, 10);
}

}  // namespace shop::server
