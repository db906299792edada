#include "table_format.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "text.h"

namespace shop::storage::format {

namespace {

void setWhy(std::string* why, std::string text) {
    if (why) *why = std::move(text);
}

std::uint32_t bigEndian32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

bool exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Runs a statement that yields one integer.
// The one integer `sql` gives; nullopt otherwise, with SQLite's reason in
// `why` (taken before the statement goes: finalizing a statement whose step
// found the file busy leaves "not an error" behind).
std::optional<std::int64_t> singleInt(sqlite3* db, const char* sql, std::string& why) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        why = sqlite3_errmsg(db);
        return std::nullopt;
    }
    std::optional<std::int64_t> out;
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW && sqlite3_column_type(st, 0) == SQLITE_INTEGER)
        out = sqlite3_column_int64(st, 0);
    else
        why = rc == SQLITE_ROW ? "not a number" : sqlite3_errmsg(db);
    sqlite3_finalize(st);
    return out;
}

std::string columnText(sqlite3_stmt* st, int col) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(st, col)))
             : std::string();
}

HeaderInfo stateOf(const struct stat& st, const unsigned char* counter) {
    return HeaderInfo{
        static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
        bigEndian32(counter), static_cast<std::int64_t>(st.st_size),
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

}  // namespace

bool validFields(const std::vector<FieldDesc>& fields) {
    if (fields.empty() || fields.size() > static_cast<std::size_t>(kMaxFields)) return false;
    for (const FieldDesc& f : fields) {
        if (f.type != FieldType::Text && f.type != FieldType::Bytes) return false;
        if (f.maxLength <= 0 || f.maxLength > kMaxValueBytes) return false;
        if (f.name.size() > static_cast<std::size_t>(kMaxFieldNameBytes) || !isValidUtf8(f.name))
            return false;
        if (f.name.find('\0') != std::string::npos) return false;
    }
    return true;
}

bool writeSchema(sqlite3* db, const std::vector<FieldDesc>& fields) {
    if (!validFields(fields)) return false;
    const std::string tags = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                             ";PRAGMA user_version=" + std::to_string(kFormatVersion) + ";";
    if (!exec(db, "PRAGMA journal_mode=DELETE") || !exec(db, "BEGIN IMMEDIATE")) return false;
    bool ok = exec(db, tags.c_str()) && exec(db, kFieldsSql) && exec(db, kRecordsSql) &&
              exec(db, kCellsSql);
    sqlite3_stmt* st = nullptr;
    ok = ok && sqlite3_prepare_v2(db, "INSERT INTO fields(pos, name, type, maxlen) VALUES(?,?,?,?)",
                                  -1, &st, nullptr) == SQLITE_OK;
    for (std::size_t i = 0; ok && i < fields.size(); ++i) {
        sqlite3_bind_int(st, 1, static_cast<int>(i + 1));
        sqlite3_bind_text(st, 2, fields[i].name.data(), static_cast<int>(fields[i].name.size()),
                          SQLITE_STATIC);
        sqlite3_bind_int(st, 3, static_cast<int>(fields[i].type));
        sqlite3_bind_int(st, 4, fields[i].maxLength);
        ok = sqlite3_step(st) == SQLITE_DONE;
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    if (ok && exec(db, "COMMIT")) return true;
    exec(db, "ROLLBACK");
    return false;
}

namespace {

Status damaged(const std::string& path, std::string why) {
    return Status::error(Status::Code::Damaged, path, std::move(why));
}

// A journal beside the table must be a plain file: SQLite opens it to see
// whether it is hot, and opening a pipe would wait forever.
bool journalAcceptable(const std::string& journal, Status* why) {
    struct stat st {};
    if (::lstat(journal.c_str(), &st) != 0) return true;
    if (S_ISREG(st.st_mode)) return true;
    if (why) *why = damaged(journal, "journal is not a regular file");
    return false;
}

}  // namespace

std::optional<HeaderInfo> checkHeader(const std::string& path, Status* why) {
    const std::string journal = path + "-journal";
    if (!journalAcceptable(journal, why)) return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int err = errno;
        if (why)
            *why = Status::error(err == ENOENT  ? Status::Code::NotFound
                                 : err == ELOOP ? Status::Code::Damaged
                                                : Status::Code::IoError,
                                 path, std::string("cannot open: ") + std::strerror(err));
        return std::nullopt;
    }
    struct stat st {};
    unsigned char h[100];
    std::optional<HeaderInfo> out;
    Status problem;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        problem = damaged(path, "not a regular file");
    } else if (const ssize_t n = ::pread(fd, h, sizeof h, 0); n < 0) {
        problem = Status::error(Status::Code::IoError, path,
                                std::string("cannot read: ") + std::strerror(errno));
    } else if (n != static_cast<ssize_t>(sizeof h) || std::memcmp(h, "SQLite format 3", 16) != 0) {
        problem = damaged(path, "not a table file");
    } else if (h[18] != 1 || h[19] != 1) {
        // Only rollback-journal files: anything else would leave side files.
        problem = damaged(path, "unsupported journal mode");
    } else if (static_cast<std::int32_t>(bigEndian32(h + 68)) != kApplicationId) {
        problem = damaged(path, "not a table of this shop");
    } else if (static_cast<std::int32_t>(bigEndian32(h + 60)) != kFormatVersion) {
        problem = damaged(path, "unknown format version");
    } else {
        std::uint32_t pageSize = (std::uint32_t{h[16]} << 8) | h[17];
        if (pageSize == 1) pageSize = 65536;
        const std::uint64_t needed = std::uint64_t{bigEndian32(h + 28)} * pageSize;
        const bool sizeValid = bigEndian32(h + 24) == bigEndian32(h + 92) && needed != 0;
        // While a journal exists, a writer is at work or was killed midway
        // and SQLite restores the file from the journal. The size is taken
        // after the header was read and no journal was seen: a writer that
        // committed meanwhile has written every page before its journal went.
        const auto shortFile = [&] {
            return ::access(journal.c_str(), F_OK) != 0 && ::fstat(fd, &st) == 0 &&
                   static_cast<std::uint64_t>(st.st_size) < needed;
        };
        if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) {
            problem = damaged(path, "damaged header");
        } else if (sizeValid && static_cast<std::uint64_t>(st.st_size) < needed && shortFile()) {
            problem = damaged(path, "file is truncated");
        } else {
            out = stateOf(st, h + 24);
        }
    }
    if (!out && why) *why = problem;
    ::close(fd);
    return out;
}

std::optional<HeaderInfo> fileStateOf(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    unsigned char counter[4];
    struct stat st {};
    const bool read =
        ::pread(fd, counter, sizeof counter, 24) == static_cast<ssize_t>(sizeof counter) &&
        ::fstat(fd, &st) == 0;
    ::close(fd);
    if (!read) return std::nullopt;
    return stateOf(st, counter);
}

bool checkSchema(sqlite3* db, std::string* why) {
    std::string reason;
    const auto applicationId = singleInt(db, "PRAGMA application_id", reason);
    const auto version =
        applicationId ? singleInt(db, "PRAGMA user_version", reason) : std::nullopt;
    if (!applicationId || !version) {
        // A busy or unreadable file is not a foreign one: keep SQLite's word.
        setWhy(why, "unreadable schema: " + reason);
        return false;
    }
    if (*applicationId != kApplicationId || *version != kFormatVersion) {
        setWhy(why, "not a table of this shop");
        return false;
    }
    struct Expected {
        const char* name;
        const char* sql;
    };
    // In name order, as the query returns them.
    static const Expected expected[] = {
        {"cells", kCellsSql}, {"fields", kFieldsSql}, {"records", kRecordsSql}};
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(
            db, "SELECT type, name, tbl_name, sql, rootpage FROM sqlite_schema ORDER BY name", -1,
            &st, nullptr) != SQLITE_OK) {
        setWhy(why, std::string("unreadable schema: ") + sqlite3_errmsg(db));
        return false;
    }
    std::size_t n = 0;
    bool ok = true;
    int rc = SQLITE_DONE;
    // Each table has its own b-tree: two tables sharing one would overwrite
    // each other's records on the first write.
    std::int64_t roots[std::size(expected)] = {};
    while (ok && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        const std::string type = columnText(st, 0), name = columnText(st, 1),
                          table = columnText(st, 2), sql = columnText(st, 3);
        ok = n < std::size(expected) && type == "table" && name == expected[n].name &&
             table == name && sql == expected[n].sql &&
             sqlite3_column_type(st, 4) == SQLITE_INTEGER;
        if (ok) {
            roots[n] = sqlite3_column_int64(st, 4);
            for (std::size_t i = 0; i < n; ++i) ok = ok && roots[i] != roots[n];
            ok = ok && roots[n] > 1;
        }
        ++n;
    }
    if (ok && rc != SQLITE_DONE) {
        setWhy(why, std::string("unreadable schema: ") + sqlite3_errmsg(db));
        ok = false;
    } else if (!ok || n != std::size(expected)) {
        setWhy(why, "schema is not the table format");
        ok = false;
    }
    sqlite3_finalize(st);
    return ok;
}

Status::Code checkNumbering(sqlite3* db, std::string* why, std::int64_t* count) {
    sqlite3_stmt* st = nullptr;
    // Each on its own, so the first and last numbers are two lookups and
    // the count is SQLite's page walk of the small records b-tree (a few
    // bytes per record) that decodes no row; the cells, where the values
    // and photos lie, are not read.
    if (sqlite3_prepare_v2(
            db,
            "SELECT (SELECT count(*) FROM records), (SELECT coalesce(min(rec), 1) FROM records), "
            "(SELECT coalesce(max(rec), 0) FROM records)",
            -1, &st, nullptr) != SQLITE_OK) {
        setWhy(why, std::string("unreadable records: ") + sqlite3_errmsg(db));
        return Status::Code::Damaged;
    }
    Status::Code code = Status::Code::Ok;
    if (sqlite3_step(st) != SQLITE_ROW) {
        setWhy(why, std::string("unreadable records: ") + sqlite3_errmsg(db));
        code = Status::Code::Damaged;
    } else {
        const std::int64_t records = sqlite3_column_int64(st, 0),
                           first = sqlite3_column_int64(st, 1), last = sqlite3_column_int64(st, 2);
        if (records != last || first != 1 || last > kMaxRecords) {
            setWhy(why, "record numbers are not 1.." + std::to_string(records));
            code = Status::Code::Damaged;
        } else if (count) {
            *count = records;
        }
    }
    sqlite3_finalize(st);
    return code;
}

std::optional<std::vector<FieldDesc>> readFields(sqlite3* db, std::string* why) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT pos, name, type, maxlen FROM fields ORDER BY pos", -1, &st,
                           nullptr) != SQLITE_OK) {
        setWhy(why, std::string("unreadable fields: ") + sqlite3_errmsg(db));
        return std::nullopt;
    }
    std::vector<FieldDesc> out;
    bool ok = true;
    int rc = SQLITE_DONE;
    while (ok && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (out.size() >= static_cast<std::size_t>(kMaxFields)) {
            setWhy(why, "too many fields");
            ok = false;
            break;
        }
        const bool typed = sqlite3_column_type(st, 0) == SQLITE_INTEGER &&
                           sqlite3_column_type(st, 1) == SQLITE_TEXT &&
                           sqlite3_column_type(st, 2) == SQLITE_INTEGER &&
                           sqlite3_column_type(st, 3) == SQLITE_INTEGER;
        const std::int64_t type = sqlite3_column_int64(st, 2), maxlen = sqlite3_column_int64(st, 3);
        FieldDesc f{columnText(st, 1), type == 2 ? FieldType::Bytes : FieldType::Text,
                    static_cast<int>(maxlen > 0 && maxlen <= kMaxValueBytes ? maxlen : 0)};
        ok = typed && sqlite3_column_int64(st, 0) == static_cast<std::int64_t>(out.size()) + 1 &&
             (type == 1 || type == 2) && f.maxLength > 0;
        if (!ok) setWhy(why, "bad field description");
        out.push_back(std::move(f));
    }
    if (ok && rc != SQLITE_DONE) {
        setWhy(why, std::string("unreadable fields: ") + sqlite3_errmsg(db));
        ok = false;
    }
    sqlite3_finalize(st);
    if (ok && !validFields(out)) {
        setWhy(why, out.empty() ? "no fields" : "bad field description");
        ok = false;
    }
    if (!ok) return std::nullopt;
    return out;
}

}  // namespace shop::storage::format
