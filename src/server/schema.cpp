#include "schema.h"

#include <vector>

namespace shop::server {

namespace {

// Each step's statements. Roles belong to the whole server, not to one
// database, so they are made only where missing.
const std::vector<std::vector<std::string>>& steps() {
    static const std::vector<std::vector<std::string>> all = {
        {
            "CREATE TABLE shop_meta (key text PRIMARY KEY, value text NOT NULL)",
            // The shop: made once, so a till can tell its own shop's server
            // from another's.
            "INSERT INTO shop_meta VALUES ('shop_id', md5(random()::text || "
            "clock_timestamp()::text)),"
            " ('shop_name', $1)",
            "CREATE TABLE tills (code text PRIMARY KEY, token_hash text NOT NULL,"
            " joined_at timestamptz NOT NULL DEFAULT now())",
            "CREATE TABLE products (position integer PRIMARY KEY, name text NOT NULL,"
            " price text NOT NULL DEFAULT '', stock bigint NOT NULL DEFAULT 0)",
            "CREATE INDEX products_name ON products (name, position)",
            // Every row of every till's sales tables, keyed where it was
            // made: replaying an upload stores nothing twice.
            // The day a run started, from its table's name, as the till's
            // own query finds a range's tables; null for a name without one.
            "CREATE OR REPLACE FUNCTION shop_run_day(run_table text) RETURNS date"
            " LANGUAGE plpgsql IMMUTABLE AS $$"
            " DECLARE p text[] := regexp_match(run_table, '(\\d{1,4})年(\\d{1,2})月(\\d{1,2})日');"
            " BEGIN RETURN make_date(p[1]::integer, p[2]::integer, p[3]::integer);"
            " EXCEPTION WHEN OTHERS THEN RETURN NULL; END $$",
            "CREATE TABLE sale_rows (till text NOT NULL, run_table text NOT NULL,"
            " record integer NOT NULL, name text NOT NULL, price text NOT NULL,"
            " quantity text NOT NULL, moment text NOT NULL,"
            " run_day date GENERATED ALWAYS AS (shop_run_day(run_table)) STORED,"
            " uploaded_at timestamptz NOT NULL DEFAULT clock_timestamp(),"
            " PRIMARY KEY (till, run_table, record))",
            "CREATE INDEX sale_rows_day ON sale_rows (run_day, till, run_table, record)",
            "CREATE TABLE tickets (till text NOT NULL, ticket_table text NOT NULL,"
            " record integer NOT NULL, receipt text NOT NULL, original text NOT NULL,"
            " sales_table text NOT NULL, records text NOT NULL, total text NOT NULL,"
            " tendered text NOT NULL, change text NOT NULL, method text NOT NULL,"
            " cashier text NOT NULL, moment text NOT NULL,"
            " uploaded_at timestamptz NOT NULL DEFAULT clock_timestamp(),"
            " PRIMARY KEY (till, ticket_table, record))",
            "CREATE INDEX tickets_receipt ON tickets (receipt)",
            "DO $$ BEGIN"
            " IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'shop_till') THEN"
            "  CREATE ROLE shop_till NOLOGIN; END IF;"
            " IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'shop_office') THEN"
            "  CREATE ROLE shop_office NOLOGIN; END IF; END $$",
            // A till adds sales and lowers stock; it never changes or
            // deletes a sale, and never edits the catalogue.
            "REVOKE ALL ON shop_meta, tills, products, sale_rows, tickets FROM PUBLIC",
            "GRANT SELECT ON shop_meta, products TO shop_till",
            "GRANT SELECT, INSERT ON tills, sale_rows, tickets TO shop_till",
            "GRANT UPDATE (stock) ON products TO shop_till",
            "GRANT SELECT ON shop_meta, tills, sale_rows, tickets TO shop_office",
            "GRANT SELECT, INSERT, UPDATE, DELETE ON products TO shop_office",
        },
        {
            // The barcodes come down with the catalogue, in the till's table order.
            "CREATE TABLE barcodes (position integer PRIMARY KEY, code text NOT NULL,"
            " goods text NOT NULL)",
            "REVOKE ALL ON barcodes FROM PUBLIC",
            "GRANT SELECT ON barcodes TO shop_till",
            "GRANT SELECT, INSERT, UPDATE, DELETE ON barcodes TO shop_office",
            // Moves with every change of the catalogue: a catalogue the back
            // office emptied comes down empty, one never set does not.
            "CREATE TABLE catalogue_revision (revision bigint NOT NULL)",
            "INSERT INTO catalogue_revision VALUES (0)",
            "REVOKE ALL ON catalogue_revision FROM PUBLIC",
            "GRANT SELECT ON catalogue_revision TO shop_till",
            "GRANT SELECT, UPDATE ON catalogue_revision TO shop_office",
            // The back-office PC is a till too: it joins, sells and uploads
            // with its own sign-in, and is the one that may edit the catalogue.
            "GRANT shop_till TO shop_office",
            // The day close asks for a day's tickets of every till by the day
            // their run started, as for the rows.
            "ALTER TABLE tickets ADD COLUMN run_day date"
            " GENERATED ALWAYS AS (shop_run_day(ticket_table)) STORED",
            "CREATE INDEX tickets_day ON tickets (run_day)",
            // The shop-wide query in the order of the till's own list (by the
            // sale's second, then as stored), read from the index alone. The
            // till sends the second with each row; rows stored before it did
            // have none and are ordered by the till that asks.
            "ALTER TABLE sale_rows ADD COLUMN sale_second bigint",
            "CREATE INDEX sale_rows_shop_wide ON sale_rows"
            " (sale_second, run_day, till, run_table, record)"
            " INCLUDE (name, price, quantity, moment)",
            "CREATE INDEX sale_rows_unshaped ON sale_rows (run_day) WHERE sale_second IS NULL",
        },
    };
    return all;
}

constexpr const char* kVersionKey = "schema_version";

int readVersion(PgConnection& c) {
    bool ok = false;
    const std::string table = c.value("SELECT to_regclass('shop_meta') IS NOT NULL", {}, &ok);
    if (!ok) return -1;
    if (table != "t") return 0;
    const std::string v = c.value("SELECT value FROM shop_meta WHERE key = $1", {kVersionKey}, &ok);
    if (!ok) return -1;
    return v.empty() ? 0 : std::stoi(v);
}

}  // namespace

int schemaVersion() { return static_cast<int>(steps().size()); }

int serverSchemaVersion(PgConnection& connection) { return readVersion(connection); }

InitResult initSchema(PgConnection& admin, const std::string& shopName) {
    InitResult result;
    result.from = readVersion(admin);
    if (result.from < 0) {
        result.message = "cannot read the schema version: " + admin.error();
        return result;
    }
    result.to = result.from;
    if (result.from > schemaVersion()) {
        result.message = "the server's schema is version " + std::to_string(result.from) +
                         ", newer than this program's " + std::to_string(schemaVersion()) +
                         ": use a newer shop_table";
        return result;
    }
    for (int step = result.to; step < schemaVersion(); ++step) {
        const auto fail = [&](const PgResult& r) {
            admin.exec("ROLLBACK");
            result.message = "step " + std::to_string(step + 1) + ": " + r.error();
            return result;
        };
        if (const PgResult r = admin.exec("BEGIN"); !r.ok()) return fail(r);
        // Two inits at once: the second waits here and then finds the step done.
        admin.exec("SELECT pg_advisory_xact_lock(7263541)");
        if (readVersion(admin) > step) {
            admin.exec("ROLLBACK");
            result.to = readVersion(admin);
            continue;
        }
        for (const std::string& sql : steps()[static_cast<std::size_t>(step)]) {
            const bool named = sql.find("$1") != std::string::npos;
            const PgResult r = admin.exec(
                sql, named ? std::vector<std::string>{shopName} : std::vector<std::string>{});
            if (!r.ok()) return fail(r);
        }
        const PgResult mark = admin.exec(
            "INSERT INTO shop_meta VALUES ($1, $2) ON CONFLICT (key) DO UPDATE SET value = $2",
            {kVersionKey, std::to_string(step + 1)});
        if (!mark.ok()) return fail(mark);
        if (const PgResult r = admin.exec("COMMIT"); !r.ok()) return fail(r);
        result.to = step + 1;
    }
    result.ok = true;
    return result;
}

}  // namespace shop::server
