// One result of the server, owned: cleared when the owner goes.
#pragma once

#include <memory>
#include <string>
#include <string_view>

struct pg_result;

namespace shop::server {

class PgResult {
public:
    PgResult() = default;
    explicit PgResult(pg_result* result);

    // A command that completed (with or without rows).
    bool ok() const;
    // The server's SQLSTATE ("23505" for a taken key); empty without one.
    std::string sqlState() const;
    // The server's message, first line only; empty when ok.
    std::string error() const;

    int rows() const;
    // Rows an INSERT, UPDATE or DELETE changed; 0 for any other command.
    int affected() const;
    bool isNull(int row, int column) const;
    std::string text(int row, int column) const;
    // The same without a copy, for a row and column known to be there; valid
    // while the result lives. Empty for a null.
    std::string_view view(int row, int column) const;
    long long number(int row, int column) const;

private:
    struct Clear {
        void operator()(pg_result* r) const;
    };
    std::unique_ptr<pg_result, Clear> m_result;
};

}  // namespace shop::server
