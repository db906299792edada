#include "catalogue_edit.h"

#include "server/till_session.h"

namespace shop::server {

namespace {

constexpr const char* kNoRight = "42501";

struct Statement {
    std::string sql;
    std::vector<std::string> params;
    bool mustTouch = false;  // a statement that changes no row means the catalogue moved
};

Statement statementOf(const CatalogueStep& s) {
    using Kind = CatalogueStep::Kind;
    switch (s.kind) {
        case Kind::Add:
            return {
                "INSERT INTO products (position, name, price, stock)"
                " SELECT coalesce(max(position), 0) + 1, $1, $2, $3::bigint FROM products",
                {s.name, s.price, std::to_string(s.stock)}};
        case Kind::Change:
            return {
                "UPDATE products SET name = $2, price = $3, stock = $4::bigint"
                " WHERE position = $1::integer AND name = $5",
                {std::to_string(s.position), s.name, s.price, std::to_string(s.stock), s.expected},
                true};
        case Kind::Empty:
            return {"WITH goods AS (DELETE FROM products) DELETE FROM barcodes", {}};
        case Kind::AddCode:
            return {
                "INSERT INTO barcodes (position, code, goods)"
                " SELECT coalesce(max(position), 0) + 1, $1, $2 FROM barcodes",
                {s.code, s.name}};
        case Kind::RenameCodes:
            return {"UPDATE barcodes SET goods = $2 WHERE goods = $1", {s.expected, s.name}};
        case Kind::Publish:
            break;
    }
    return {};
}

EditResult failed(PgConnection& c, const PgResult& r, EditOutcome outcome = EditOutcome::Failed) {
    EditResult result;
    result.detail = c.failureOf(r);
    result.outcome = !c.isOpen()                ? EditOutcome::Offline
                     : r.sqlState() == kNoRight ? EditOutcome::NoRight
                                                : outcome;
    c.exec("ROLLBACK");
    return result;
}

}  // namespace

CatalogueStep CatalogueStep::add(std::string name, std::string price, long long stock) {
    CatalogueStep s;
    s.kind = Kind::Add;
    s.name = std::move(name);
    s.price = std::move(price);
    s.stock = stock;
    return s;
}

CatalogueStep CatalogueStep::change(int position, std::string expected, std::string name,
                                    std::string price, long long stock) {
    CatalogueStep s = add(std::move(name), std::move(price), stock);
    s.kind = Kind::Change;
    s.position = position;
    s.expected = std::move(expected);
    return s;
}

CatalogueStep CatalogueStep::empty() {
    CatalogueStep s;
    s.kind = Kind::Empty;
    return s;
}

CatalogueStep CatalogueStep::addCode(std::string code, std::string goods) {
    CatalogueStep s;
    s.kind = Kind::AddCode;
    s.code = std::move(code);
    s.name = std::move(goods);
    return s;
}

CatalogueStep CatalogueStep::renameCodes(std::string from, std::string to) {
    CatalogueStep s;
    s.kind = Kind::RenameCodes;
    s.expected = std::move(from);
    s.name = std::move(to);
    return s;
}

CatalogueStep CatalogueStep::publish() { return {}; }

EditResult editCatalogue(PgConnection& c, const std::vector<CatalogueStep>& steps) {
    // The lock keeps two tills' edits apart (an add takes the next position)
    // and holds the sales' stock updates for the moment of the edit. It is
    // taken before any row is touched, and an upload's first touch of the
    // products waits on it: the two queue, never deadlock. Reading the
    // catalogue goes on meanwhile.
    for (const char* sql :
         {"BEGIN", "LOCK TABLE products, barcodes, catalogue_revision IN EXCLUSIVE MODE"})
        if (const PgResult r = c.exec(sql); !r.ok()) return failed(c, r);
    for (const CatalogueStep& step : steps) {
        const Statement s = statementOf(step);
        if (s.sql.empty()) continue;
        const PgResult r = c.exec(s.sql, s.params);
        if (!r.ok()) return failed(c, r);
        if (s.mustTouch && r.affected() == 0) {
            EditResult moved = failed(c, r, EditOutcome::Changed);
            std::string error;
            moved.catalogue = serverCatalogue(c, &error);
            return moved;
        }
    }
    for (const char* sql : {"UPDATE catalogue_revision SET revision = revision + 1",
                            "NOTIFY shop_catalogue", "COMMIT"})
        if (const PgResult r = c.exec(sql); !r.ok()) return failed(c, r);
    // The edit is in; a catalogue that cannot be read back now comes down
    // with the next notification instead (`detail` says why it did not here).
    EditResult done;
    done.outcome = EditOutcome::Done;
    done.catalogue = serverCatalogue(c, &done.detail);
    return done;
}

EditResult editShopCatalogue(const std::string& runDir, const ServerFile& file,
                             const std::vector<CatalogueStep>& steps, Timeouts timeouts) {
    TillSession session = openTillSession(runDir, file, timeouts);
    if (!session.ok()) return {EditOutcome::Offline, session.message(file.till), {}};
    return editCatalogue(session.connection, steps);
}

}  // namespace shop::server
