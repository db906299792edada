// Another process writing a table nonstop: every open and read here still
// succeeds, because every step of an open waits for the file, and a whole
// table read sees whole commits only.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "storage/table.h"
#include "storage/table_read_all.h"
#include "table_fixture.h"

using namespace shop::storage;
using namespace shop::storage::testing;

namespace {

using TableBusy = TableTest;

// Writes to the table in small commits until killed.
[[noreturn]] void writeForever(const std::string& p) {
    if (!open(p)) ::_exit(2);
    for (int i = 0;; ++i) {
        Batch batch;
        if (!appendBlank() || !writeText(1, cellText(i, 1)) || !batch.commit()) ::_exit(3);
    }
}

// Runs `attempt` over and over for a few seconds while another process
// writes the table at `p` nonstop; `attempt` gives the reason of a failure,
// empty on success. Returns the number of attempts.
template <class Attempt>
int whileAnotherProcessWrites(const std::string& p, Attempt attempt) {
    const pid_t writer = ::fork();
    EXPECT_GE(writer, 0);
    if (writer == 0) writeForever(p);

    int attempts = 0, failures = 0;
    std::string firstFailure;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < end) {
        const std::string failure = attempt(attempts);
        if (!failure.empty() && failures++ == 0) firstFailure = failure;
        ++attempts;
    }
    int status = 0;
    EXPECT_EQ(::waitpid(writer, &status, WNOHANG), 0) << "the writer stopped early";
    ::kill(writer, SIGKILL);
    ::waitpid(writer, &status, 0);
    EXPECT_EQ(failures, 0) << "of " << attempts << " attempts; first: " << firstFailure;
    EXPECT_GT(attempts, 10);
    EXPECT_EQ(checkIntegrity(p), "") << "a writer killed midway leaves a sound table";
    return attempts;
}

TEST_F(TableBusy, OpensAndReadsSucceedWhileAnotherProcessWritesNonstop) {
    const std::string p = makeTable("t.edb", 10);
    closeAll();
    whileAnotherProcessWrites(p, [&](int attempt) -> std::string {
        const Status s = openTable(p, (attempt & 1) != 0);
        const auto count = s.ok() ? countRecords() : std::nullopt;
        close(p);
        if (!s.ok()) return s.message();
        if (!count || *count < 10) return lastStatus().message();
        return {};
    });
}

// Each read sees the table as one commit left it: every record the writer
// added carries its value, none is half there.
TEST_F(TableBusy, WholeTableReadsSeeWholeCommitsWhileAnotherProcessWritesNonstop) {
    const std::string p = makeTable("t.edb", 10);
    closeAll();
    whileAnotherProcessWrites(p, [&](int) -> std::string {
        const TableContents all = readAllRecords(p, 1);
        if (!all.opened || !all.status.ok()) return all.status.message();
        if (all.recordCount() < 10) return "records lost";
        for (std::size_t r = 10; r < all.recordCount(); ++r)
            if (all.cells[r] != cellText(static_cast<int>(r) - 10, 1))
                return "record " + std::to_string(r + 1) + " reads \"" + all.cells[r] + "\"";
        return {};
    });
}

}  // namespace
