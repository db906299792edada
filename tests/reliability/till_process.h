// The real main window in a child process (till_child/till_session.cpp) and
// what the trials that stop it need around it: starting it, reading the rows
// it reports after each step, and the next start of the program on the run
// folder it leaves.
#pragma once

#include <sys/types.h>

#include <QStringList>
#include <string>
#include <vector>

#include "storage/date_text.h"

namespace shop::test {

class RunFolder;

using Rows = std::vector<std::vector<std::string>>;
using States = std::vector<Rows>;

// The moment the child's counter clock gives the start of its session
// number `session` (each session an hour after the one before).
storage::Moment tillSessionStart(int session);

struct Child {
    pid_t pid = -1;
    int out = -1;  // the child's standard output, or -1
};

// Starts `program` with `args`, this environment plus `env` ("NAME=value")
// and the offscreen platform; with `readOutput`, its standard output comes
// back through Child::out.
Child spawnProcess(const std::string& program, const std::vector<std::string>& args,
                   const std::vector<std::string>& env, bool readOutput);
// till_session <mode> <dir> <seed> <steps> <session>.
Child spawnTill(const char* mode, const std::string& dir, unsigned seed, int steps, int session = 0,
                const std::vector<std::string>& env = {});

// Reads until `marker` has arrived (or the pipe ends); appends to `text`.
void readUntil(int fd, std::string& text, const std::string& marker);
// Everything until the pipe ends.
std::string readToEnd(int fd);
int waitFor(pid_t pid);

// The complete state reports in `text`, in step order.
States parseStates(const std::string& text);

// The goods the trials sell, two of them with codes for the scanner.
struct ScanCode {
    const char* code;
    const char* goods;
};
inline constexpr ScanCode kCodes[] = {{"6901234567892", "矿泉水"}, {"96385074", "面包"}};
void stockTheShop(const RunFolder& run);

struct Restart {
    bool started = false;  // the window came up (no table refused it)
    QStringList messages;
    std::size_t journalsLeft = 0;
};
// The next start of the program on `runDir`: what it says and leaves.
Restart restartProgram(const std::string& runDir);

// How many rows of `expected` are not in `found` (each found row counts once).
std::size_t rowsMissing(const Rows& expected, Rows found);

}  // namespace shop::test
