// The leave window driven through its controls against a temporary run
// folder: the name list, choosing an employee, and submissions on their
// background thread.
#include "leave/leave_window.h"

#include <gtest/gtest.h>

#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/drag_state.h"
#include "app/scripted_platform.h"
#include "reliability/file_size_limit.h"
#include "staff_fixture.h"
#include "storage/table.h"
#include "support/background_work.h"
#include "support/run_folder.h"

namespace shop::leave {
namespace {

namespace fs = std::filesystem;
using test::Rows;

// Records every box like the scripted platform and lets a test act while a
// box is "up" (on the window's thread, as a real box would run).
class BoxPlatform : public app::ScriptedPlatform {
public:
    std::function<void(const QString&)> whileShown;
    void message(QWidget* parent, const QString& text) override {
        app::ScriptedPlatform::message(parent, text);
        if (whileShown) whileShown(text);
    }
};

class LeaveWindowTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(work.waitAll()); }

    std::string leavePath(const std::string& name) const { return *run.paths().leaveTable(name); }

    void addStaff(const std::vector<test::Staff>& staff) const {
        test::addStaff(run.paths().employee(), staff);
    }

    LeaveWindow& openWindow() {
        window = std::make_unique<LeaveWindow>(nullptr, work.executor());
        return *window;
    }

    template <typename T>
    T* control(const char* name) const {
        T* c = window->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    void choose(int row) const { control<QListWidget>("列表框_员工姓名")->setCurrentRow(row); }

    // Picks the dates and the decision ("同意", "拒绝" or neither) and submits,
    // then waits for the background work to end.
    void submit(QDate start, QDate end, const char* decision) {
        control<QDateEdit>("日期框_始")->setDate(start);
        control<QDateEdit>("日期框_结束")->setDate(end);
        if (decision)
            control<QRadioButton>(decision == std::string("同意") ? "单选框_同意" : "单选框_拒绝")
                ->setChecked(true);
        control<QPushButton>("图形按钮_")->click();
        ASSERT_TRUE(work.waitAll());
    }

    test::Rows listRows() const {
        return test::rowsOf(control<QTreeWidget>("超级列表框_请假记录"));
    }

    static std::string day(QDate d) { return test::dayText(d); }

    BoxPlatform platform;
    test::RunFolder run;
    test::BackgroundWork work;  // outlives the window, which holds its executor
    std::unique_ptr<LeaveWindow> window;
};

const QDate kMarch5(2024, 3, 5), kMarch9(2024, 3, 9), kApril1(2024, 4, 1), kApril3(2024, 4, 3);

TEST_F(LeaveWindowTest, OpensWithEveryNameInTableOrderAndNothingChosen) {
    addStaff({{"001", "张三", ""}, {"002", "李四", ""}, {"003", "张三", ""}});
    app::dragState(QStringLiteral("leave/图片框1")).flag = 1;  // a drag left over from before
    LeaveWindow& w = openWindow();

    EXPECT_EQ(w.size(), QSize(431, 431));
    EXPECT_EQ(app::dragState(QStringLiteral("leave/图片框1")).flag, 0);
    QListWidget* names = control<QListWidget>("列表框_员工姓名");
    ASSERT_EQ(names->count(), 3);
    EXPECT_EQ(names->item(0)->text(), "张三");
    EXPECT_EQ(names->item(1)->text(), "李四");
    EXPECT_EQ(names->item(2)->text(), "张三");
    EXPECT_FALSE(control<QRadioButton>("单选框_同意")->isChecked());
    EXPECT_FALSE(control<QRadioButton>("单选框_拒绝")->isChecked());
    EXPECT_EQ(control<QLabel>("透明标签_程序名称")->text(), "请假记录");
    EXPECT_EQ(control<QLabel>("透明_员工姓名")->text(), "员工编号");
    QTreeWidgetItem* header = control<QTreeWidget>("超级列表框_请假记录")->headerItem();
    EXPECT_EQ(header->text(0), "请假记录起时间");
    EXPECT_EQ(header->text(1), "请假记录终时间");
    EXPECT_EQ(header->text(2), "请假结果");
    EXPECT_TRUE(control<QLineEdit>("编辑框1")->isHidden());
    EXPECT_TRUE(control<QLineEdit>("编辑框2")->isHidden());
    EXPECT_TRUE(platform.messages().isEmpty());

    w.show();
    for (const char* inert : {"图形按钮1_关闭1", "图形按钮1_关闭4", "图形按钮_生成账单"})
        control<QPushButton>(inert)->click();
    EXPECT_TRUE(w.isVisible());
    control<QPushButton>("图形按钮1_关闭5")->click();
    EXPECT_FALSE(w.isVisible());
}

TEST_F(LeaveWindowTest, ChoosingTheKthNameShowsRecordKPlusOneAndItsPhoto) {
    addStaff({{"001", "张三", test::pictureBytes(60, 80)},
              {"002", "李四", test::pictureBytes(200, 100, Qt::red)}});
    openWindow();

    choose(1);
    EXPECT_EQ(control<QLineEdit>("编辑框_员工编号")->text(), "002");
    EXPECT_EQ(control<QLineEdit>("编辑框_员工姓名")->text(), "李四");
    QLabel* photo = control<QLabel>("图片框_头像");
    const QPixmap shown = photo->pixmap();
    ASSERT_FALSE(shown.isNull());
    // Fitted into the box with its shape kept: a 2:1 picture fills the width.
    EXPECT_EQ(shown.width(), photo->contentsRect().width());
    EXPECT_NEAR(shown.height(), shown.width() / 2, 1);
    EXPECT_EQ(shown.toImage().pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::red));
    // No leave table yet: an empty list and not a word.
    EXPECT_TRUE(listRows().empty());
    EXPECT_TRUE(platform.messages().isEmpty());

    choose(0);
    EXPECT_EQ(control<QLineEdit>("编辑框_员工编号")->text(), "001");
    EXPECT_EQ(control<QLineEdit>("编辑框_员工姓名")->text(), "张三");
}

TEST_F(LeaveWindowTest, APhotoThatIsNoPictureShowsNothing) {
    addStaff({{"001", "张三", test::pictureBytes(60, 80)},
              {"002", "坏图", std::string(5000, '\x42')},
              {"003", "无图", ""}});
    openWindow();
    choose(0);
    ASSERT_FALSE(control<QLabel>("图片框_头像")->pixmap().isNull());
    choose(1);
    EXPECT_TRUE(control<QLabel>("图片框_头像")->pixmap().isNull());
    EXPECT_EQ(control<QLineEdit>("编辑框_员工姓名")->text(), "坏图");
    choose(0);
    choose(2);
    EXPECT_TRUE(control<QLabel>("图片框_头像")->pixmap().isNull());
}

TEST_F(LeaveWindowTest, SubmissionsCreateTheTableAndAreListedInOrder) {
    addStaff({{"001", "张三", ""}});
    openWindow();
    choose(0);
    submit(kMarch5, kMarch9, "拒绝");

    const std::string path = leavePath("张三");
    const std::vector<storage::FieldDesc> fields = test::fieldsOf(path);
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[0].name, "请假时间");
    EXPECT_EQ(fields[1].name, "请假终止时间");
    EXPECT_EQ(fields[2].name, "状态");
    for (const auto& f : fields) {
        EXPECT_EQ(f.type, storage::FieldType::Text);
        EXPECT_EQ(f.maxLength, 512);
    }
    const Rows expected{{day(kMarch5), day(kMarch9), "拒绝"}};
    EXPECT_EQ(test::readAll(path), expected);
    EXPECT_EQ(listRows(), expected);
    EXPECT_EQ(control<QLineEdit>("编辑框1")->text().toStdString(), day(kMarch5));
    EXPECT_EQ(control<QLineEdit>("编辑框2")->text().toStdString(), day(kMarch9));
    // Refusing asks nothing; the worker left no table open on this thread.
    EXPECT_TRUE(platform.messages().isEmpty());
    EXPECT_EQ(storage::openCount(), 0);

    // A later request is listed after the earlier one, also at the next opening.
    submit(kApril1, kApril3, "同意");
    const Rows both{{day(kMarch5), day(kMarch9), "拒绝"}, {day(kApril1), day(kApril3), "同意"}};
    EXPECT_EQ(test::readAll(path), both);
    EXPECT_EQ(listRows(), both);
    openWindow();
    choose(0);
    EXPECT_EQ(listRows(), both);
}

TEST_F(LeaveWindowTest, ApprovalShowsTheBoxBeforeTheRequestIsStored) {
    addStaff({{"001", "张三", ""}});
    openWindow();
    choose(0);
    std::size_t storedWhileShown = 99;
    platform.whileShown = [&](const QString&) {
        storedWhileShown = test::readAll(leavePath("张三")).size();
    };
    submit(kMarch5, kMarch9, "同意");

    EXPECT_EQ(platform.messages(), QStringList{"同意"});
    EXPECT_EQ(storedWhileShown, 0u);
    EXPECT_EQ(test::readAll(leavePath("张三")), (Rows{{day(kMarch5), day(kMarch9), "同意"}}));
}

// A request that could never be stored as meant (no decision, an end before
// its start) is refused with its reason before any table is touched; one day
// of leave (start and end alike) is a request like any other.
TEST_F(LeaveWindowTest, ARequestWithoutADecisionOrEndingBeforeItStartsIsRefused) {
    addStaff({{"001", "新人", ""}, {"002", "老人", ""}});
    const struct {
        const char* what;
        QDate start, end;
        const char* decision;
        const char* refusal;  // nullptr: stored
    } cases[] = {
        {"no decision", kMarch5, kMarch9, nullptr, kNoDecision},
        {"end before start", kMarch9, kMarch5, "同意", kEndBeforeStart},
        {"end a day before start", kMarch5, kMarch5.addDays(-1), "拒绝", kEndBeforeStart},
        {"one day", kMarch5, kMarch5, "拒绝", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform.clear();
        for (const char* name : {"新人", "老人"}) fs::remove(leavePath(name));
        openWindow();  // a fresh window has neither button chosen
        choose(1);
        submit(c.start, c.end, c.decision);
        if (c.refusal) {
            EXPECT_EQ(platform.messages(), QStringList{QString::fromUtf8(c.refusal)});
            EXPECT_FALSE(fs::exists(leavePath("老人")));
            EXPECT_TRUE(listRows().empty());
        } else {
            EXPECT_EQ(test::readAll(leavePath("老人")), (Rows{{day(c.start), day(c.end), "拒绝"}}));
        }
        EXPECT_FALSE(fs::exists(leavePath("新人")));
    }
}

TEST_F(LeaveWindowTest, WithoutAChosenEmployeeTheTableIsTheBareExtension) {
    openWindow();
    submit(kMarch5, kMarch9, "拒绝");
    const std::string path = run.paths().leaveFolder() + "/.edb";
    EXPECT_EQ(test::readAll(path), (Rows{{day(kMarch5), day(kMarch9), "拒绝"}}));
}

TEST_F(LeaveWindowTest, EmployeesOfOneNameShareTheirLeaveTable) {
    addStaff({{"001", "张三", ""}, {"002", "李四", ""}, {"003", "张三", ""}});
    openWindow();
    choose(0);
    submit(kMarch5, kMarch9, "拒绝");
    choose(1);
    EXPECT_TRUE(listRows().empty());
    choose(2);
    EXPECT_EQ(control<QLineEdit>("编辑框_员工编号")->text(), "003");
    EXPECT_EQ(listRows(), (Rows{{day(kMarch5), day(kMarch9), "拒绝"}}));
}

// Whatever keeps the leave table from being opened or made (no folder, a
// folder in the table's place, a file that is no table), the request is said
// not to be stored, before any "同意" box, and nothing is replaced.
TEST_F(LeaveWindowTest, ALeaveTableThatCannotBeMadeIsSaid) {
    addStaff({{"001", "王五", ""}});
    const QString failed = QString::fromUtf8(kStoreFailedMessage);
    const struct {
        const char* what;
        std::function<void()> plant;
    } cases[] = {
        {"no leave folder", [&] { fs::remove_all(run.paths().leaveFolder()); }},
        {"a folder named like the table", [&] { fs::create_directories(leavePath("王五")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform.clear();
        c.plant();
        openWindow();
        choose(0);
        submit(kMarch5, kMarch9, "同意");
        submit(kMarch5, kMarch9, "拒绝");
        EXPECT_EQ(platform.messages(), (QStringList{failed, failed}));
        EXPECT_TRUE(listRows().empty());
        fs::create_directories(run.paths().leaveFolder());
        EXPECT_TRUE(!fs::exists(leavePath("王五")) || fs::is_directory(leavePath("王五")));
        fs::remove_all(leavePath("王五"));
    }
}

TEST_F(LeaveWindowTest, NamesThatWouldLeaveTheFolderAreRefused) {
    addStaff({{"001", "../x", ""}, {"002", "a/b", ""}});
    fs::create_directories(run.paths().leaveFolder() + "/a");
    openWindow();
    for (int row : {0, 1}) {
        choose(row);
        EXPECT_TRUE(listRows().empty());
        submit(kMarch5, kMarch9, "拒绝");
        EXPECT_TRUE(listRows().empty());
    }
    control<QLineEdit>("编辑框_员工姓名")->setText("..");
    submit(kMarch5, kMarch9, "拒绝");

    EXPECT_FALSE(fs::exists(run.dir() + "/x.edb"));
    EXPECT_FALSE(fs::exists(run.paths().leaveFolder() + "/a/b.edb"));
    EXPECT_FALSE(fs::exists(run.dir() + "/员工请假数据库.edb"));
    EXPECT_TRUE(fs::is_empty(run.paths().leaveFolder() + "/a"));
    EXPECT_EQ(platform.messages(), QStringList(3, QString::fromUtf8(kStoreFailedMessage)));
}

TEST_F(LeaveWindowTest, AFileThatIsNoTableIsNeverReplaced) {
    addStaff({{"001", "张三", ""}});
    const QByteArray foreign("not a table of ours");
    QFile file(QString::fromStdString(leavePath("张三")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(foreign);
    file.close();

    openWindow();
    choose(0);
    submit(kMarch5, kMarch9, "同意");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), foreign);
    EXPECT_EQ(platform.messages(), QStringList{QString::fromUtf8(kStoreFailedMessage)});
}

TEST_F(LeaveWindowTest, ClosingTheWindowWhileTheBoxIsUpTouchesNothingOfIt) {
    addStaff({{"001", "张三", ""}});
    openWindow();
    choose(0);
    bool finished = false;
    QObject::connect(window.get(), &LeaveWindow::submissionFinished, [&] { finished = true; });
    platform.whileShown = [&](const QString&) { window.reset(); };
    submit(kMarch5, kMarch9, "同意");

    EXPECT_EQ(window, nullptr);
    EXPECT_FALSE(finished);  // the notice had no window left to come from
    // The owner confirmed the approval, so the request stands.
    EXPECT_EQ(test::readAll(leavePath("张三")), (Rows{{day(kMarch5), day(kMarch9), "同意"}}));
}

// The disk fills while the "同意" box is up: the request cannot be stored,
// and that is said, whether or not the window is still there.
TEST_F(LeaveWindowTest, ARequestThatCannotBeStoredAfterTheBoxIsSaidAndLeavesNothing) {
    addStaff({{"001", "张三", ""}});
    ASSERT_TRUE(storage::create(leavePath("张三"), storage::schemas::leave()));
    test::writeAll(leavePath("张三"), {{"2024年1月2日", "2024年1月3日", "拒绝"}});
    const Rows history = test::readAll(leavePath("张三"));
    for (const bool closeMeanwhile : {false, true}) {
        SCOPED_TRACE(closeMeanwhile ? "window closed while the box is up" : "window open");
        platform.clear();
        openWindow();
        choose(0);
        std::unique_ptr<test::FileSizeLimit> full;
        platform.whileShown = [&](const QString& text) {
            if (text != "同意") return;
            full = std::make_unique<test::FileSizeLimit>(0);
            if (closeMeanwhile) window.reset();
        };
        control<QRadioButton>("单选框_同意")->setChecked(true);
        control<QPushButton>("图形按钮_")->click();
        ASSERT_TRUE(work.waitAll());
        full.reset();
        EXPECT_EQ(platform.messages(), (QStringList{"同意", "请假信息保存失败"}));
        EXPECT_EQ(test::readAll(leavePath("张三")), history);
        EXPECT_EQ(storage::checkIntegrity(leavePath("张三")), "");
        if (window) {
            EXPECT_TRUE(listRows().empty());
        }
    }
}

TEST_F(LeaveWindowTest, AClickWhileASubmissionRunsIsIgnored) {
    addStaff({{"001", "张三", ""}});
    LeaveWindow& w = openWindow();
    choose(0);
    int finished = 0;
    QObject::connect(&w, &LeaveWindow::submissionFinished, [&] { ++finished; });
    bool runningWhileShown = false;
    platform.whileShown = [&](const QString&) {
        runningWhileShown = w.submissionRunning();
        control<QPushButton>("图形按钮_")->click();
        control<QPushButton>("图形按钮_")->click();
    };
    submit(kMarch5, kMarch9, "同意");

    EXPECT_TRUE(runningWhileShown);
    EXPECT_FALSE(w.submissionRunning());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(platform.messages(), QStringList{"同意"});
    EXPECT_EQ(test::readAll(leavePath("张三")).size(), 1u);
    EXPECT_EQ(listRows().size(), 1u);

    // Once it has ended the next click submits again.
    platform.whileShown = nullptr;
    submit(kApril1, kApril3, "同意");
    EXPECT_EQ(test::readAll(leavePath("张三")).size(), 2u);
}

}  // namespace
}  // namespace shop::leave
