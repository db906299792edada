#include "till_process.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "app/run_directory.h"
#include "app/scripted_platform.h"
#include "barcodes/barcode_table.h"
#include "checkout/main_window.h"
#include "checkout/sale_journal.h"
#include "storage/table.h"
#include "support/run_folder.h"

extern char** environ;

namespace shop::test {

using shop::checkout::SaleRow;

storage::Moment tillSessionStart(int session) { return {2024, 3, 5, 14 + session, 0, 0}; }

Child spawnProcess(const std::string& program, const std::vector<std::string>& args,
                   const std::vector<std::string>& env, bool readOutput) {
    Child child;
    int fds[2] = {-1, -1};
    if (readOutput && pipe(fds) != 0) return child;
    // Everything the child needs is made before the fork.
    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e) envText.emplace_back(*e);
    envText.emplace_back("QT_QPA_PLATFORM=offscreen");
    envText.insert(envText.end(), env.begin(), env.end());
    std::vector<char*> argv = {const_cast<char*>(program.c_str())}, envp;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // Later settings win: the child sees each name once, with its last value.
    std::vector<std::string> seen;
    for (auto it = envText.rbegin(); it != envText.rend(); ++it) {
        const std::string name = it->substr(0, it->find('='));
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
        seen.push_back(name);
        envp.push_back(const_cast<char*>(it->c_str()));
    }
    envp.push_back(nullptr);
    child.pid = fork();
    if (child.pid == 0) {
        if (readOutput) {
            dup2(fds[1], STDOUT_FILENO);
            ::close(fds[0]);
            ::close(fds[1]);
        }
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    if (readOutput) {
        ::close(fds[1]);
        child.out = fds[0];
    }
    return child;
}

Child spawnTill(const char* mode, const std::string& dir, unsigned seed, int steps, int session,
                const std::vector<std::string>& env) {
    return spawnProcess(
        SHOP_TILL_SESSION,
        {mode, dir, std::to_string(seed), std::to_string(steps), std::to_string(session)}, env,
        true);
}

void readUntil(int fd, std::string& text, const std::string& marker) {
    char buf[4096];
    while (text.find(marker) == std::string::npos) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        text.append(buf, static_cast<std::size_t>(n));
    }
}

std::string readToEnd(int fd) {
    std::string text;
    readUntil(fd, text, std::string(1, '\0') + "never");
    return text;
}

int waitFor(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

States parseStates(const std::string& text) {
    States states;
    std::size_t at = 0;
    while (true) {
        const std::size_t eol = text.find('\n', at);
        if (eol == std::string::npos || text.compare(at, 6, "state ") != 0) break;
        const std::size_t blank = text.find(' ', at + 6);
        const std::size_t bytes = std::stoul(text.substr(blank + 1, eol - blank - 1));
        if (eol + 1 + bytes > text.size()) break;
        const auto sale =
            shop::checkout::decodeJournal(std::string_view(text).substr(eol + 1, bytes));
        if (!sale) break;
        Rows rows;
        for (const SaleRow& r : sale->rows) rows.push_back({r.name, r.price, r.quantity, r.date});
        states.push_back(std::move(rows));
        at = eol + 1 + bytes;
    }
    return states;
}

void stockTheShop(const RunFolder& run) {
    run.setProducts({{"矿泉水", "1.2", "6"},
                     {"牛奶", "12元", "3"},
                     {"面包", "0.1", "9"},
                     {"大米", "69.6", "2"}});
    run.setProductSave({"矿泉水", "牛奶", "面包", "大米"});
    std::vector<barcodes::CodeEntry> codes;
    for (const ScanCode& c : kCodes) codes.push_back({c.code, c.goods});
    if (!barcodes::addCodes(run.paths().barcodes(), codes).ok()) ADD_FAILURE() << "no codes";
}

Restart restartProgram(const std::string& runDir) {
    Restart r;
    shop::storage::closeAll();
    app::setRunDirectory(runDir);
    {
        shop::app::ScriptedPlatform platform;
        shop::checkout::MainWindow window({});
        r.started = !platform.exited() && !window.failedToStart();
        r.messages = platform.messages();
    }
    shop::storage::closeAll();
    r.journalsLeft = shop::checkout::journalsIn(runDir).size();
    return r;
}

std::size_t rowsMissing(const Rows& expected, Rows found) {
    std::size_t missing = 0;
    for (const auto& row : expected) {
        const auto it = std::find(found.begin(), found.end(), row);
        if (it == found.end())
            ++missing;
        else
            found.erase(it);
    }
    return missing;
}

}  // namespace shop::test
