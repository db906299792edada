// The power-cut disk keeps what a sync made durable and lets everything
// after it go or stay, and over many cuts shows every state the rules allow
// and no other; otherwise the trials that use it would prove nothing.
#include "power_cut_disk.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using namespace shop::test;

namespace {

// "name=content;" for each file of the folder, in name order, zero bytes
// shown as "0".
std::string folderText(const std::string& dir) {
    std::set<std::string> lines;
    for (const auto& f : fs::directory_iterator(dir)) {
        std::ifstream in(f.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        std::string content = std::move(text).str();
        for (char& c : content)
            if (c == '\0') c = '0';
        lines.insert(f.path().filename().string() + "=" + content + ";");
    }
    std::string out;
    for (const auto& l : lines) out += l;
    return out;
}

struct Step {
    shop_trace_op op;
    std::string name = {}, name2 = {}, data = {};
};

struct Case {
    const char* what;
    // On a folder holding "old" (content "kept"); fd 3 is the file "f" (or
    // "old"), fd 4 the folder.
    std::vector<Step> steps;
    std::set<std::string> possible;  // every state a cut may leave, each seen
};

}  // namespace

TEST(PowerCutDisk, ACutLeavesWhatWasSyncedAndAnyStateOfWhatWasNot) {
    const std::vector<Case> cases = {
        {"a synced write in a synced folder stays",
         {{SHOP_TRACE_OPEN, "f"},
          {SHOP_TRACE_WRITE, "", "", "new"},
          {SHOP_TRACE_SYNC},
          {SHOP_TRACE_OPEN, "."},
          {SHOP_TRACE_SYNC, "."}},
         {"f=new;old=kept;"}},
        {"an unsynced write may or may not reach the disk, its size apart from its data",
         {{SHOP_TRACE_OPEN, "f"},
          {SHOP_TRACE_OPEN, "."},
          {SHOP_TRACE_SYNC, "."},
          {SHOP_TRACE_WRITE, "", "", "new"}},
         {"f=;old=kept;", "f=new;old=kept;", "f=000;old=kept;"}},
        {"a file made without a folder sync may be gone, synced data and all",
         {{SHOP_TRACE_OPEN, "f"}, {SHOP_TRACE_WRITE, "", "", "new"}, {SHOP_TRACE_SYNC}},
         {"old=kept;", "f=new;old=kept;"}},
        {"a rename without a folder sync is the old name or the new, never both",
         {{SHOP_TRACE_RENAME, "old", "f"}},
         {"old=kept;", "f=kept;"}},
        {"a rename the folder sync follows stays",
         {{SHOP_TRACE_RENAME, "old", "f"}, {SHOP_TRACE_OPEN, "."}, {SHOP_TRACE_SYNC, "."}},
         {"f=kept;"}},
        {"folder changes reach the disk in order",
         {{SHOP_TRACE_LINK, "old", "f"}, {SHOP_TRACE_UNLINK, "old"}},
         {"old=kept;", "f=kept;old=kept;", "f=kept;"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir root;
        std::ofstream(root.filePath("old").toStdString()) << "kept";
        const std::string dir = root.path().toStdString();
        PowerCutDisk disk(dir);
        for (const Step& s : c.steps) {
            TraceOp op;
            op.op = s.op;
            op.pid = 1;
            op.fd = s.name == "." ? 4 : 3;
            op.path = s.name == "." ? dir : dir + "/" + s.name;
            op.path2 = dir + "/" + s.name2;
            op.flags = O_CREAT;
            op.data = s.data;
            if (s.op == SHOP_TRACE_SYNC || s.op == SHOP_TRACE_WRITE) op.path.clear();
            disk.apply(op);
        }
        ASSERT_TRUE(disk.problems().empty()) << disk.problems().front();
        std::set<std::string> seen;
        std::mt19937 random(7);
        for (int i = 0; i < 200; ++i) {
            QTemporaryDir cut;
            disk.cut(cut.path().toStdString(), random);
            seen.insert(folderText(cut.path().toStdString()));
        }
        EXPECT_EQ(seen, c.possible);
    }
}

// Pages of a file go each their own way: a cut may keep the new first page
// and the old second one.
TEST(PowerCutDisk, EachUnsyncedPageIsKeptOrLostOnItsOwn) {
    QTemporaryDir root;
    const std::string dir = root.path().toStdString();
    std::ofstream(dir + "/f") << std::string(4096, 'a') << std::string(4096, 'a');
    PowerCutDisk disk(dir);
    TraceOp open;
    open.op = SHOP_TRACE_OPEN;
    open.fd = 3;
    open.path = dir + "/f";
    disk.apply(open);
    TraceOp write;
    write.op = SHOP_TRACE_WRITE;
    write.fd = 3;
    write.data = std::string(8192, 'b');
    disk.apply(write);
    std::set<std::string> seen;
    std::mt19937 random(3);
    for (int i = 0; i < 100; ++i) {
        QTemporaryDir cut;
        disk.cut(cut.path().toStdString(), random);
        std::ifstream in(cut.filePath("f").toStdString(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const std::string content = std::move(text).str();
        ASSERT_EQ(content.size(), 8192u);
        seen.insert(std::string{content[0], content[4096]});
    }
    EXPECT_EQ(seen, (std::set<std::string>{"aa", "ab", "ba", "bb"}));
}
