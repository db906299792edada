// Creating tables: never over an existing file, never outside the folder
// the path names, never a half table under the real name.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <thread>

#include "storage/table.h"
#include "table_fixture.h"

using namespace shop::storage;
using namespace shop::storage::testing;

namespace {

using TableCreate = TableTest;

TEST_F(TableCreate, AnExistingFileIsNeverReplaced) {
    const std::string p = makeTable("销售数据2024年3月5日14时7分9秒.edb", 3);
    closeAll();
    const std::string before = readFile(p);
    EXPECT_FALSE(create(p, fourTexts()));
    EXPECT_FALSE(create(p, {{"other", FieldType::Text, 9}}));
    EXPECT_EQ(readFile(p), before);
    ASSERT_TRUE(open(p));
    EXPECT_EQ(recordCount(), 3) << "the first run's sales are still there";

    writeFile(path("note.edb"), "not a table");
    EXPECT_FALSE(create(path("note.edb"), fourTexts()));
    EXPECT_EQ(readFile(path("note.edb")), "not a table");
    ASSERT_EQ(::mkdir(path("folder.edb").c_str(), 0755), 0);
    EXPECT_FALSE(create(path("folder.edb"), fourTexts()));
}

TEST_F(TableCreate, PathsLeavingTheirFolderAreRefused) {
    ASSERT_EQ(::mkdir(path("sub").c_str(), 0755), 0);
    EXPECT_FALSE(create(path("sub/../x.edb"), fourTexts()));
    EXPECT_FALSE(create(path("sub/./x.edb"), fourTexts()));
    EXPECT_FALSE(create(path(".."), fourTexts()));
    EXPECT_FALSE(create(path("sub/"), fourTexts()));
    EXPECT_FALSE(create("", fourTexts()));
    EXPECT_FALSE(std::filesystem::exists(path("x.edb")));
    EXPECT_FALSE(std::filesystem::exists(path("sub/x.edb")));
    EXPECT_TRUE(create(path("sub/x.edb"), fourTexts()))
        << "the same folder without detours is fine";
}

TEST_F(TableCreate, AMissingFolderIsNotMade) {
    EXPECT_FALSE(create(path("没有/x.edb"), fourTexts()));
    EXPECT_FALSE(std::filesystem::exists(path("没有")));
}

TEST_F(TableCreate, FieldListsMustBeSound) {
    EXPECT_FALSE(create(path("a.edb"), {}));
    EXPECT_FALSE(create(path("b.edb"), {{"x", FieldType::Text, 0}}));
    EXPECT_FALSE(create(path("c.edb"), {{"x", static_cast<FieldType>(3), 10}}));
    EXPECT_FALSE(create(path("d.edb"), {{std::string("\xff", 1), FieldType::Text, 10}}));
    EXPECT_FALSE(
        create(path("e.edb"), std::vector<FieldDesc>(256, FieldDesc{"x", FieldType::Text, 10})));
    EXPECT_TRUE(
        create(path("f.edb"), std::vector<FieldDesc>(255, FieldDesc{"x", FieldType::Text, 10})));
    EXPECT_EQ(folderFiles(), std::vector<std::string>{"f.edb"})
        << "failed creates leave nothing behind";
}

TEST_F(TableCreate, TheNewTableIsExactlyOneSoundFile) {
    const std::string p = path("请假.edb");
    ASSERT_TRUE(create(p, {{"请假时间", FieldType::Text, 512}}));
    EXPECT_EQ(folderFiles(), std::vector<std::string>{"请假.edb"});
    EXPECT_EQ(checkIntegrity(p), "");
}

TEST_F(TableCreate, OfTwoSimultaneousCreatesExactlyOneWins) {
    for (int round = 0; round < 10; ++round) {
        const std::string p = path("race" + std::to_string(round) + ".edb");
        std::atomic<int> wins{0};
        std::atomic<bool> go{false};
        auto racer = [&](const char* field) {
            while (!go) std::this_thread::yield();
            if (create(p, {{field, FieldType::Text, 10}})) ++wins;
        };
        std::thread a(racer, "a"), b(racer, "b");
        go = true;
        a.join();
        b.join();
        EXPECT_EQ(wins, 1);
        ASSERT_TRUE(open(p));
        EXPECT_EQ(shop::storage::fields().size(), 1u);
        EXPECT_EQ(checkIntegrity(p), "");
    }
    for (const std::string& f : folderFiles()) EXPECT_EQ(f.rfind("race", 0), 0u) << f;
}

}  // namespace
