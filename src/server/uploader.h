// The till's uploader: a worker thread of its own that sends every record of
// the outbox to the shop server, moving the cursor after each commit, and
// brings the shop's catalogue down whenever the server says it changed. The
// counter never waits for it: the checkout only pokes it when a sale is
// stored, and hears back through a callback on this thread (for a window,
// pass it on to the window's thread). Offline it keeps trying, and the
// outbox drains by itself once the server is back.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "server/catalogue.h"
#include "server/outbox.h"
#include "server/server_file.h"
#include "server/till_session.h"
#include "server/upload_cursor.h"

namespace shop::server {

struct UploadStatus {
    bool online = false;
    int pending = 0;       // records not yet on the server
    long long stored = 0;  // records this uploader stored so far
    int catalogues = 0;    // times the server's catalogue came down into the tables
    Refusal refusal = Refusal::Unreachable;
    std::string message;  // why offline, in the shop's words; empty online
    friend bool operator==(const UploadStatus&, const UploadStatus&) = default;
};

struct UploaderOptions {
    Timeouts timeouts{3, 10000};
    std::chrono::milliseconds poll{1000};   // a look at the outbox without a poke
    std::chrono::milliseconds retry{2000};  // between attempts to reach the server
    int batch = 500;                        // records per transaction
};

class Uploader {
public:
    using Listener = std::function<void(const UploadStatus&)>;

    Uploader(std::string runDir, ServerFile file, Listener listener, UploaderOptions options = {});
    ~Uploader();  // stops the thread; what is not uploaded stays in the outbox
    Uploader(const Uploader&) = delete;
    Uploader& operator=(const Uploader&) = delete;

    // Something new is in the outbox: look now.
    void poke();
    UploadStatus status() const;

private:
    void run();
    bool connect();
    // Takes the server's catalogue into the local tables when it changed.
    void refreshCatalogue();
    // Sends the tables' records, moving the cursor after each commit; false
    // (and why) at the first transaction the server did not take.
    bool send(const std::vector<OutboxTable>& tables, UploadCursor& cursor, std::string* failure);
    void publish(UploadStatus status);
    bool waitFor(std::chrono::milliseconds period);

    const std::string m_runDir;
    const ServerFile m_file;
    const Listener m_listener;
    const UploaderOptions m_options;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_poked = false;
    bool m_stopping = false;
    UploadStatus m_status;

    // Worker thread only.
    PgConnection m_connection;
    Catalogue m_catalogue;  // as last applied
    bool m_catalogueDue = false;
    std::thread m_thread;  // last: starts once everything above is made
};

}  // namespace shop::server
