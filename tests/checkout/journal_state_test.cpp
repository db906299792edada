// What the cashier is told about the run's journal: a journal that cannot be
// written shows in the main window at once and stays in view until it writes
// again; the end of a session promises the rows to the next start only when
// a journal on disk holds them.
#include <gtest/gtest.h>

#include <QStatusBar>
#include <filesystem>
#include <fstream>
#include <optional>

#include "checkout/sale_journal.h"
#include "support/main_window_driver.h"

namespace shop::checkout {
namespace {

namespace fs = std::filesystem;
using test::MainWindowDriver;

// A folder with a file in it in place of the journal: no write of the
// journal gets through, whoever runs the test (root included), until it is
// lifted. The journal the run had open is gone.
class BlockedJournal {
public:
    explicit BlockedJournal(std::string path) : m_path(std::move(path)) {
        fs::remove(m_path);
        fs::create_directory(m_path);
        std::ofstream(m_path + "/in the way") << "x";
    }
    ~BlockedJournal() { lift(); }
    BlockedJournal(const BlockedJournal&) = delete;
    BlockedJournal& operator=(const BlockedJournal&) = delete;
    void lift() const { fs::remove_all(m_path); }

private:
    std::string m_path;
};

void startSelling(MainWindowDriver& d) {
    d.run.setProducts({{"苹果", "2.5", "9"}});
    d.run.setProductSave({"苹果"});
    d.start();
    ASSERT_FALSE(d.platform.exited());
}
std::string journalOf(const MainWindowDriver& d) {
    return journalPath(d.run.dir(), fs::path(d.window->runSalesPath()).filename().string());
}
void sellOne(const MainWindowDriver& d) {
    d.chooseGoods(0);
    d.chooseQuantity(QStringLiteral("1"));
    d.click("图形按钮_添加");
}
QString statusMessage(const MainWindowDriver& d) {
    return d.child<QStatusBar>("状态条1")->currentMessage();
}

TEST(JournalState, AJournalThatCannotBeWrittenIsShownAtOnceUntilItWritesAgain) {
    MainWindowDriver d;
    startSelling(d);
    sellOne(d);
    EXPECT_EQ(statusMessage(d), "");
    const BlockedJournal blocked(journalOf(d));
    sellOne(d);
    EXPECT_TRUE(statusMessage(d).contains(QStringLiteral("未结销售日志无法写入")))
        << statusMessage(d).toStdString();
    sellOne(d);
    EXPECT_FALSE(statusMessage(d).isEmpty()) << "it stays while the journal fails";
    blocked.lift();
    sellOne(d);
    EXPECT_EQ(statusMessage(d), "");
    ASSERT_TRUE(readJournal(journalOf(d)));
    EXPECT_EQ(readJournal(journalOf(d))->rows.size(), 4u);
}

// The session ends (TERM) while the sales table cannot take the rows: the
// promise of recovery is made exactly when a journal on disk holds them.
TEST(JournalState, TheEndOfASessionPromisesRecoveryOnlyWhenAJournalHoldsTheRows) {
    for (const bool journalWritable : {true, false}) {
        SCOPED_TRACE(journalWritable ? "journal written" : "journal not written");
        MainWindowDriver run;
        startSelling(run);
        const std::string path = journalOf(run);
        std::optional<BlockedJournal> blocked;
        if (!journalWritable) blocked.emplace(path);
        sellOne(run);
        sellOne(run);
        fs::remove_all(run.run.paths().salesFolder());  // the rows cannot be stored

        ::testing::internal::CaptureStderr();
        run.window->endSession();
        const std::string said = ::testing::internal::GetCapturedStderr();

        EXPECT_EQ(run.platform.exitCode(), 1);
        const bool promised = said.find("已留待下次启动时恢复") != std::string::npos;
        EXPECT_EQ(promised, journalWritable) << said;
        if (!journalWritable) {
            EXPECT_NE(said.find("无法保留"), std::string::npos) << said;
        }
        blocked.reset();
        const auto kept = readJournal(path);
        EXPECT_EQ(kept && kept->rows.size() == 2, promised) << "the promise is the truth";
    }
}

}  // namespace
}  // namespace shop::checkout
