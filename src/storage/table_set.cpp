// The open-table set of each thread: open, select, close and names.
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <utility>

#include "failure.h"
#include "table.h"
#include "table_state.h"

namespace shop::storage {

namespace detail {

namespace {

std::atomic<std::uint64_t> g_nextTableId{1};

struct CounterRegistry {
    std::mutex mutex;
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::weak_ptr<ChangeCounter>> counters;
};

CounterRegistry& registry() {
    static CounterRegistry r;
    return r;
}

bool sameFields(const std::vector<FieldDesc>& a, const std::vector<FieldDesc>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const FieldDesc& x, const FieldDesc& y) {
                          return x.name == y.name && x.type == y.type && x.maxLength == y.maxLength;
                      });
}

bool matches(const OpenTable& t, const std::string& nameOrPath) {
    return t.path == nameOrPath || t.baseName == nameOrPath;
}

// The most recently opened table with that name or path.
OpenTable* findTable(ThreadTables& t, const std::string& nameOrPath) {
    for (auto it = t.tables.rbegin(); it != t.tables.rend(); ++it)
        if (matches(**it, nameOrPath)) return it->get();
    return nullptr;
}

}  // namespace

std::shared_ptr<ChangeCounter> changeCounter(const format::HeaderInfo& file) {
    CounterRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    auto& slot = r.counters[{file.device, file.inode}];
    if (auto existing = slot.lock()) return existing;
    // Forget counters of files nobody has open any more.
    std::erase_if(r.counters, [](const auto& kv) { return kv.second.expired(); });
    auto made = std::make_shared<ChangeCounter>(0);
    r.counters[{file.device, file.inode}] = made;
    return made;
}

ThreadTables& threadTables() {
    thread_local ThreadTables tables;
    return tables;
}

Connection* connect(OpenTable& table) {
    ThreadTables& t = threadTables();
    if (Connection* c = t.connections.find(table.id)) return c;
    Status why;
    auto opened = Connection::open(table.path, table.readOnly, &why);
    if (!opened) {
        fail(why);
        return nullptr;
    }
    // The file must still be the table that was opened: same fields.
    if (!sameFields(opened->fields, table.fields)) {
        fail(Status::Code::Damaged, table.path, "the file is no longer the table that was opened");
        return nullptr;
    }
    if (opened->file.device != table.file.device || opened->file.inode != table.file.inode) {
        table.file = opened->file;
        table.changes = changeCounter(table.file);
    }
    return t.connections.insert(table.id, std::move(opened->connection));
}

void dropTable(ThreadTables& t, OpenTable* table) {
    if (!table) return;
    if (table->batchToken != 0) {
        // An unfinished batch on a closed table does not count.
        if (Connection* c = t.connections.find(table->id)) c->exec("ROLLBACK");
        table->changed();
    }
    t.connections.remove(table->id);
    if (t.current == table) t.current = nullptr;
    std::erase_if(t.tables, [&](const std::unique_ptr<OpenTable>& p) { return p.get() == table; });
}

std::string baseNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() > 4) {
        std::string ext = name.substr(name.size() - 4);
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        if (ext == ".edb") name.resize(name.size() - 4);
    }
    return name;
}

bool acceptablePath(const std::string& path) {
    if (path.empty() || path.back() == '/' || path.find('\0') != std::string::npos) return false;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string_view part(path.data() + start, end - start);
        if (part == "." || part == "..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace detail

using namespace detail;

Status openTable(const std::string& path, bool readOnly, int /*shareMode*/) {
    if (!acceptablePath(path)) return fail(Status::Code::Invalid, path, "path is not acceptable");
    ThreadTables& t = threadTables();
    Status why;
    auto existing =
        std::find_if(t.tables.begin(), t.tables.end(),
                     [&](const std::unique_ptr<OpenTable>& p) { return p->path == path; });
    if (existing != t.tables.end()) {
        // A new open checks the header itself; a reopen looks at it here.
        const auto header = format::checkHeader(path, &why);
        if (!header) return fail(why);
        OpenTable* table = existing->get();
        // A read-only reopen never takes write access from a handler that
        // opened the table for writing (the run's sales table stays writable).
        const bool upgrade = table->readOnly && !readOnly;
        const bool replaced =
            table->file.device != header->device || table->file.inode != header->inode;
        if ((upgrade || replaced) && table->batchToken == 0) {
            t.connections.remove(table->id);
            table->readOnly = table->readOnly && readOnly;
            if (!connect(*table)) {
                // The file at that path is no longer this table: open it afresh.
                dropTable(t, table);
                return openTable(path, readOnly);
            }
        }
        // Whatever another program did to the file meanwhile is read afresh.
        if (Connection* c = t.connections.find(table->id)) c->block.clear();
        std::rotate(existing, existing + 1, t.tables.end());
        t.current = t.tables.back().get();
        t.current->cursor = 1;
        return Status();
    }

    auto opened = Connection::open(path, readOnly, &why);
    if (!opened) return fail(why);
    auto table = std::make_unique<OpenTable>();
    table->id = g_nextTableId.fetch_add(1);
    table->path = path;
    table->baseName = baseNameOf(path);
    table->fields = std::move(opened->fields);
    table->readOnly = readOnly;
    table->file = opened->file;
    table->changes = changeCounter(table->file);
    t.connections.insert(table->id, std::move(opened->connection));
    t.tables.push_back(std::move(table));
    t.current = t.tables.back().get();
    noteSuccess();
    return Status();
}

bool open(const std::string& path, bool readOnly, int shareMode) {
    return openTable(path, readOnly, shareMode).ok();
}

bool select(const std::string& nameOrPath) {
    ThreadTables& t = threadTables();
    OpenTable* table = findTable(t, nameOrPath);
    if (!table) return false;
    t.current = table;
    return true;
}

std::string currentName() {
    const OpenTable* c = threadTables().current;
    return c ? c->baseName : std::string();
}

std::string currentPath() {
    const OpenTable* c = threadTables().current;
    return c ? c->path : std::string();
}

void close() {
    ThreadTables& t = threadTables();
    dropTable(t, t.current);
    t.current = nullptr;
}

void close(const std::string& nameOrPath) {
    ThreadTables& t = threadTables();
    dropTable(t, findTable(t, nameOrPath));
}

void closeAll() {
    ThreadTables& t = threadTables();
    while (!t.tables.empty()) dropTable(t, t.tables.back().get());
    t.current = nullptr;
}

Status reattachTable(const std::string& nameOrPath) {
    ThreadTables& t = threadTables();
    OpenTable* table = findTable(t, nameOrPath);
    if (!table) return fail(Status::Code::Invalid, nameOrPath, "the table is not open");
    t.current = table;
    const auto now = format::fileStateOf(table->path);
    if (now && now->device == table->file.device && now->inode == table->file.inode)
        return Status();
    if (table->batchToken != 0)
        return fail(Status::Code::Invalid, table->path, "a batch runs on the table");
    if (!now) {
        // Whatever stands at the path is never replaced: a file that only
        // failed to be read here is taken below, or refused, as it is.
        const Status made = createTable(table->path, table->fields);
        if (!made.ok() && made.code() != Status::Code::Exists) return made;
    }
    // The connection still holds the file that went; the table's file is
    // now the one at its path, checked as any open checks it.
    t.connections.remove(table->id);
    if (!connect(*table)) return lastStatus();
    table->cursor = 1;
    noteSuccess();
    return Status();
}

bool reattach(const std::string& nameOrPath) { return reattachTable(nameOrPath).ok(); }

int openCount() { return static_cast<int>(threadTables().tables.size()); }

bool isOpen(const std::string& nameOrPath) {
    return findTable(threadTables(), nameOrPath) != nullptr;
}

std::vector<FieldDesc> fields() {
    const OpenTable* c = threadTables().current;
    return c ? c->fields : std::vector<FieldDesc>{};
}

}  // namespace shop::storage
