#include "uploader.h"

#include <algorithm>

#include "server/outbox.h"
#include "server/upload_batch.h"
#include "server/upload_cursor.h"

namespace shop::server {

Uploader::Uploader(std::string runDir, ServerFile file, Listener listener, UploaderOptions options)
    : m_runDir(std::move(runDir)),
      m_file(std::move(file)),
      m_listener(std::move(listener)),
      m_options(options),
      m_thread([this] { run(); }) {}

Uploader::~Uploader() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void Uploader::poke() {
    {
        const std::lock_guard lock(m_mutex);
        m_poked = true;
    }
    m_wake.notify_all();
}

UploadStatus Uploader::status() const {
    const std::lock_guard lock(m_mutex);
    return m_status;
}

bool Uploader::waitFor(std::chrono::milliseconds period) {
    std::unique_lock lock(m_mutex);
    m_wake.wait_for(lock, period, [this] { return m_poked || m_stopping; });
    m_poked = false;
    return !m_stopping;
}

void Uploader::publish(UploadStatus status) {
    {
        const std::lock_guard lock(m_mutex);
        if (status == m_status) return;
        m_status = status;
    }
    if (m_listener) m_listener(status);
}

bool Uploader::connect() {
    TillSession session = openTillSession(m_runDir, m_file, m_options.timeouts);
    UploadStatus s = status();
    s.online = session.ok();
    s.refusal = session.refusal;
    s.message = session.message(m_file.till);
    publish(s);
    if (!session.ok()) return false;
    m_connection = std::move(session.connection);
    // Listening first, then reading: a change made in between is not missed.
    m_connection.exec("LISTEN shop_catalogue");
    m_catalogue = {};
    m_catalogueDue = true;
    refreshCatalogue();
    return true;
}

void Uploader::refreshCatalogue() {
    std::string error;
    Catalogue items = serverCatalogue(m_connection, &error);
    if (!error.empty()) return;  // tried again on the next round
    if ((items.items.empty() && items.revision == 0) || items == m_catalogue) {
        m_catalogueDue = false;
        return;
    }
    if (!applyCatalogue(m_runDir, items).empty()) return;
    m_catalogueDue = false;
    m_catalogue = std::move(items);
    UploadStatus s = status();
    ++s.catalogues;
    publish(s);
}

void Uploader::run() {
    UploadCursor cursor(m_runDir);
    cursor.load();
    Outbox outbox(m_runDir);
    UploadStatus s;
    s.message = refusalText(Refusal::Unreachable, m_file.till);
    publish(s);
    bool running = true;
    while (running) {
        std::vector<OutboxTable> tables = outbox.pending(cursor);
        s = status();
        s.pending = outbox.pendingRecords();
        publish(s);
        if (!m_connection.isOpen() && !connect()) {
            // A refusal is not mended by asking again at once: the shop has
            // to act. The till keeps asking, less often.
            const bool refused = status().refusal != Refusal::Unreachable;
            running = waitFor(refused ? m_options.retry * 10 : m_options.retry);
            continue;
        }
        if (!m_connection.notifications().empty()) m_catalogueDue = true;
        if (m_catalogueDue) refreshCatalogue();
        std::string failure;
        if (send(tables, cursor, &failure)) {
            running = waitFor(m_options.poll);
            continue;
        }
        s = status();
        if (m_connection.isOpen() && m_connection.exec("SELECT 1").ok()) {
            // The server refused one transaction (a lock waited too long)
            // but is there: the next round replays it from the cursor.
            s.message = "门店服务器未接受上传：" + failure;
            publish(s);
            running = waitFor(m_options.retry / 10);
            continue;
        }
        // The next round connects afresh and replays from the cursor.
        m_connection = PgConnection();
        s.online = false;
        s.refusal = Refusal::Unreachable;
        s.message = refusalText(Refusal::Unreachable, m_file.till);
        publish(s);
        running = waitFor(m_options.retry);
    }
}

bool Uploader::send(const std::vector<OutboxTable>& tables, UploadCursor& cursor,
                    std::string* failure) {
    for (const OutboxTable& table : tables) {
        for (int offset = 0; offset < table.records();) {
            const int count = std::min(m_options.batch, table.records() - offset);
            const BatchResult r = uploadBatch(m_connection, m_file.till, table, offset, count);
            if (!r.committed) {
                *failure = r.error;
                return false;
            }
            offset += count;
            cursor.advance(table.key, table.first - 1 + offset);
            UploadStatus s = status();
            s.pending = std::max(0, s.pending - count);
            s.stored += r.stored;
            s.message.clear();
            publish(s);
        }
    }
    return true;
}
}  // namespace shop::server
