// The table tool run as its own process: what it prints is safe to look at,
// and its writing commands keep off a run folder a shop program owns.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "storage/data_paths.h"
#include "storage/run_lock.h"
#include "storage/table.h"
#include "table_fixture.h"

using namespace shop::storage;
using namespace shop::storage::testing;

namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;  // standard output and standard error
};

ToolRun runTool(const std::string& args) {
    const std::string command = std::string("'") + SHOP_TEST_TOOL + "' " + args + " 2>&1";
    ToolRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) run.out.append(buf.data(), n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string quoted(const std::string& path) { return "'" + path + "'"; }

class TableTool : public TableTest {
protected:
    // A table whose first record holds the given texts in its four fields.
    std::string tableWith(const std::vector<std::string>& texts) {
        const std::string p = path("t.edb");
        EXPECT_TRUE(create(p, fourTexts()));
        EXPECT_TRUE(open(p));
        EXPECT_TRUE(appendBlank());
        for (std::size_t i = 0; i < texts.size(); ++i)
            EXPECT_TRUE(writeText(static_cast<int>(i) + 1, texts[i]));
        closeAll();
        return p;
    }
};

TEST_F(TableTool, ListShowsControlCharactersAsEscapes) {
    const std::string p = tableWith({"\x1b]0;pwned\x07red\x1b[31m", "a\\b", "两\n行",
                                     "C1\xc2\x9b"
                                     "2J"});
    const ToolRun run = runTool("list " + quoted(p));
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << "an escape sequence reached the terminal";
    EXPECT_EQ(run.out.find('\x07'), std::string::npos);
    EXPECT_EQ(run.out.find("\xc2\x9b"), std::string::npos);
    EXPECT_NE(run.out.find("\\x1b]0;pwned\\x07red\\x1b[31m | a\\\\b | 两\\n行 | C1\\u{009b}2J\n"),
              std::string::npos)
        << run.out;
}

TEST_F(TableTool, ExportNeutralisesCellsASpreadsheetWouldRun) {
    const std::string p =
        tableWith({"=HYPERLINK(\"http://x\",\"点我\")", "+1", "@SUM(A1)", "-2元"});
    ToolRun run = runTool("export " + quoted(p));
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("\"'=HYPERLINK(\"\"http://x\"\",\"\"点我\"\")\",'+1,'@SUM(A1),'-2元\n"),
              std::string::npos)
        << run.out;

    std::filesystem::remove(p);
    const std::string plain = tableWith({"矿泉水", "2元", "a,b", "\tx"});
    run = runTool("export " + quoted(plain));
    EXPECT_NE(run.out.find("矿泉水,2元,\"a,b\",'\tx\n"), std::string::npos) << run.out;
    EXPECT_NE(runTool("").out.find("single quote"), std::string::npos)
        << "the usage text explains the quote";
}

TEST_F(TableTool, ReadCommandsRefuseAJournalPipeAndABadNumbering) {
    const std::string p = makeTable("t.edb", 2);
    closeAll();
    ASSERT_EQ(::mkfifo((p + "-journal").c_str(), 0644), 0);
    for (const char* cmd : {"fields", "list", "check"})
        EXPECT_EQ(runTool(std::string(cmd) + " " + quoted(p)).exitCode, 1) << cmd;
    std::filesystem::remove(p + "-journal");
    ASSERT_TRUE(rawExec(p, "UPDATE records SET rec = 30000000 WHERE rec = 2"));
    const ToolRun run = runTool("list " + quoted(p));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("record numbers"), std::string::npos) << run.out;
}

TEST_F(TableTool, ProvisionKeepsOffARunFolderAnotherProgramOwns) {
    const std::string run = dir() + "/run";
    std::filesystem::create_directories(run);
    {
        RunLock lock;
        ASSERT_TRUE(lock.acquire(run).ok());
        RunLock second;
        EXPECT_EQ(second.acquire(run).code(), Status::Code::Locked);
        const ToolRun refused = runTool("provision " + quoted(run) + " --demo");
        EXPECT_NE(refused.exitCode, 0);
        EXPECT_NE(refused.out.find("running"), std::string::npos) << refused.out;
        EXPECT_FALSE(std::filesystem::exists(joinPath(run, kProductFolder))) << "nothing was made";
    }
    const ToolRun made = runTool("provision " + quoted(run) + " --demo");
    EXPECT_EQ(made.exitCode, 0) << made.out;
    RunLock after;
    EXPECT_TRUE(after.acquire(run).ok()) << "the tool's lock went with it";
}

// Every window has something to show in a demo run folder, and a second
// provision keeps what the shop has changed since.
TEST_F(TableTool, ProvisionDemoFillsEveryKindOfTableOnce) {
    const std::string run = dir() + "/run";
    ASSERT_EQ(runTool("provision " + quoted(run) + " --demo").exitCode, 0);
    const DataPaths paths{run};
    const auto records = [](const std::string& path) {
        if (!open(path, true)) return -1;
        const int n = countRecords().value_or(-1);
        close();
        return n;
    };
    EXPECT_EQ(records(paths.product()), 6);
    EXPECT_EQ(records(paths.productSave()), 6);
    EXPECT_EQ(records(paths.employee()), 3);
    EXPECT_EQ(records(paths.leaveTable("王晓燕").value()), 2);
    EXPECT_EQ(records(paths.salaryTable("李建国").value()), 2);
    EXPECT_EQ(records(paths.dayCloses()), 0) << "made empty, for the first close";
    std::vector<std::string> sales;
    for (const auto& entry : std::filesystem::directory_iterator(paths.salesFolder()))
        sales.push_back(entry.path().string());
    ASSERT_EQ(sales.size(), 1u);
    EXPECT_EQ(records(sales[0]), 5);
    ASSERT_TRUE(open(paths.employee()));
    ASSERT_TRUE(appendBlank());
    close();
    ASSERT_EQ(runTool("provision " + quoted(run) + " --demo").exitCode, 0);
    EXPECT_EQ(records(paths.employee()), 4) << "the shop's own record stays";
    EXPECT_EQ(records(paths.leaveTable("王晓燕").value()), 2) << "nothing added twice";
}

TEST_F(TableTool, TheRunFolderLockGoesWithAKilledProgram) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RunLock lock;
        const char held = lock.acquire(dir()).ok() ? 'y' : 'n';
        (void)::write(ready[1], &held, 1);
        for (;;) ::pause();
    }
    ::close(ready[1]);
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(held, 'y');
    RunLock mine;
    EXPECT_EQ(mine.acquire(dir()).code(), Status::Code::Locked);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir() + "/" + kRunLockName)) << "the file may stay";
    EXPECT_TRUE(mine.acquire(dir()).ok()) << "the lock did not";
}

}  // namespace
