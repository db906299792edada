// Another process writing a table nonstop: every open and read here still
// succeeds, because every step of an open waits for the file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "storage/table.h"
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

TEST_F(TableBusy, OpensAndReadsSucceedWhileAnotherProcessWritesNonstop) {
    const std::string p = makeTable("t.edb", 10);
    closeAll();
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) writeForever(p);

    int opens = 0, failures = 0;
    std::string firstFailure;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < end) {
        const Status s = openTable(p, (opens & 1) != 0);
        const auto count = s.ok() ? countRecords() : std::nullopt;
        if (!s.ok() || !count || *count < 10) {
            ++failures;
            if (firstFailure.empty()) firstFailure = s.ok() ? lastStatus().message() : s.message();
        }
        close(p);
        ++opens;
    }
    int status = 0;
    EXPECT_EQ(::waitpid(writer, &status, WNOHANG), 0) << "the writer stopped early";
    ::kill(writer, SIGKILL);
    ::waitpid(writer, &status, 0);
    EXPECT_EQ(failures, 0) << "of " << opens << " opens; first: " << firstFailure;
    EXPECT_GT(opens, 10);
    EXPECT_EQ(checkIntegrity(p), "") << "a writer killed midway leaves a sound table";
}

}  // namespace
