// The salary window driven through its controls against a temporary run
// folder: the employee tree, choosing an employee, and the pay button.
#include "salary/salary_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextDocument>
#include <QTreeWidget>
#include <filesystem>

#include "app/drag_state.h"
#include "app/scripted_platform.h"
#include "leave/staff_fixture.h"
#include "salary/salary_amount.h"
#include "salary/salary_ledger.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/run_folder.h"

namespace shop::salary {
namespace {

namespace fs = std::filesystem;
using test::Rows;

class SalaryWindowTest : public ::testing::Test {
protected:
    void TearDown() override { delete window.data(); }

    std::string salaryPath(const std::string& name) const { return *run.paths().salaryTable(name); }

    void addStaff(const std::vector<test::Staff>& staff) const {
        test::addStaff(run.paths().employee(), staff);
    }

    void makeTable(const std::string& name) const {
        ASSERT_TRUE(storage::create(salaryPath(name), storage::schemas::salary()));
    }

    SalaryWindow& openWindow() {
        delete window.data();
        window = new SalaryWindow;
        window->show();
        return *window;
    }

    template <typename T>
    T* control(const char* name) const {
        T* c = window->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    QTreeWidgetItem* root() const { return control<QTreeWidget>("树型框1")->topLevelItem(0); }

    // Chooses the n-th employee item (from 1).
    void choose(int n) const {
        control<QTreeWidget>("树型框1")->setCurrentItem(root()->child(n - 1));
    }

    void type(const char* box, const QString& text) const {
        control<QLineEdit>(box)->setText(text);
    }

    void press(QDate day, const QString& amount) const {
        control<QDateEdit>("日期框1_发工资时间")->setDate(day);
        type("编辑框_工资金额", amount);
        control<QPushButton>("图形按钮1")->click();
    }

    test::Rows listRows() const { return test::rowsOf(control<QTreeWidget>("超级列表框1")); }

    static std::string day(QDate d) { return test::dayText(d); }

    app::ScriptedPlatform platform;
    test::RunFolder run;
    QPointer<SalaryWindow> window;
};

const QDate kJan31(2024, 1, 31), kFeb29(2024, 2, 29), kMar31(2024, 3, 31);

TEST_F(SalaryWindowTest, OpensWithEveryNameBelowTheRootInTableOrder) {
    addStaff({{"001", "张三", ""}, {"002", "李四", ""}, {"003", "张三", ""}});
    SalaryWindow& w = openWindow();

    EXPECT_EQ(w.size(), QSize(425, 485));
    EXPECT_FALSE(w.isModal());
    QTreeWidget* tree = control<QTreeWidget>("树型框1");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(root()->text(0), "员工工资");
    ASSERT_EQ(root()->childCount(), 3);
    EXPECT_EQ(root()->child(0)->text(0), "张三");
    EXPECT_EQ(root()->child(1)->text(0), "李四");
    EXPECT_EQ(root()->child(2)->text(0), "张三");
    EXPECT_EQ(control<QLabel>("透明标签3")->text(), "澄屿_工资管理");
    QTextDocument captions;
    captions.setHtml(control<QLabel>("透明标签1")->text());
    EXPECT_EQ(captions.toPlainText().split('\n'),
              (QStringList{"员工姓名；", "员工编号；", "发放时间；", "发放工资金额；"}));
    QTreeWidgetItem* header = control<QTreeWidget>("超级列表框1")->headerItem();
    EXPECT_EQ(header->text(0), "发放时间");
    EXPECT_EQ(header->text(1), "发放金额");
    EXPECT_TRUE(control<QLineEdit>("编辑框_时间")->isHidden());
}

TEST_F(SalaryWindowTest, ChoosingTheNthItemShowsNameAndNumberOfRecordN) {
    addStaff({{"001", "张三", ""}, {"002", "李四", ""}});
    openWindow();
    choose(2);
    EXPECT_EQ(control<QLineEdit>("编辑框_姓名")->text(), "李四");
    EXPECT_EQ(control<QLineEdit>("编辑框_编号")->text(), "002");

    // The root stands for no employee: choosing it changes nothing.
    control<QTreeWidget>("树型框1")->setCurrentItem(root());
    EXPECT_EQ(control<QLineEdit>("编辑框_姓名")->text(), "李四");
    EXPECT_EQ(control<QLineEdit>("编辑框_编号")->text(), "002");
    EXPECT_TRUE(platform.messages().isEmpty());
}

TEST_F(SalaryWindowTest, FirstPressCreatesTheTableAndStoresThePayment) {
    addStaff({{"001", "张三", ""}});
    openWindow();
    choose(1);
    press(kJan31, "3000");

    const std::string path = salaryPath("张三");
    const std::vector<storage::FieldDesc> fields = test::fieldsOf(path);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].name, "发放时间");
    EXPECT_EQ(fields[1].name, "工资金额");
    for (const auto& f : fields) {
        EXPECT_EQ(f.type, storage::FieldType::Text);
        EXPECT_EQ(f.maxLength, 255);
    }
    const Rows first{{day(kJan31), "3000"}};
    EXPECT_EQ(test::readAll(path), first);
    EXPECT_EQ(listRows(), first);
    EXPECT_EQ(control<QLineEdit>("编辑框_时间")->text().toStdString(), day(kJan31));
    EXPECT_TRUE(platform.messages().isEmpty());  // no word on success

    press(kFeb29, "3100");
    const Rows both{{day(kJan31), "3000"}, {day(kFeb29), "3100"}};
    EXPECT_EQ(test::readAll(path), both);
    EXPECT_EQ(listRows(), both);
    EXPECT_TRUE(platform.messages().isEmpty());
    EXPECT_EQ(storage::openCount(), 0);
}

TEST_F(SalaryWindowTest, MissingInputsFollowTheRules) {
    addStaff({{"001", "张三", ""}});
    makeTable("张三");
    openWindow();
    choose(1);

    // Number and name but no amount.
    press(kJan31, "");
    EXPECT_EQ(platform.messages(), QStringList{"不能为空"});
    // An amount without a number does nothing at all.
    type("编辑框_编号", "");
    press(kJan31, "3000");
    EXPECT_EQ(platform.messages(), QStringList{"不能为空"});
    EXPECT_TRUE(test::readAll(salaryPath("张三")).empty());
    // A blank is not empty: a blank number passes the rules.
    type("编辑框_编号", " ");
    press(kJan31, "3000");
    EXPECT_EQ(test::readAll(salaryPath("张三")), (Rows{{day(kJan31), "3000"}}));

    // The rules that need an empty date text, which the button always fills.
    EXPECT_EQ(judgePress("001", "", "", ""), PressOutcome::Incomplete);
    EXPECT_EQ(judgePress("", "", "张三", ""), PressOutcome::Incomplete);
    EXPECT_EQ(judgePress("001", "", "张三", "5"), PressOutcome::Nothing);
    EXPECT_EQ(judgePress("", "d", "", ""), PressOutcome::Nothing);
    EXPECT_EQ(judgePress("001", "d", "", "5"), PressOutcome::Store);
}

TEST_F(SalaryWindowTest, PaymentsAreStoredAndListedOldestFirst) {
    addStaff({{"001", "张三", ""}});
    makeTable("张三");
    openWindow();
    choose(1);
    press(kJan31, "1000");
    press(kFeb29, " 2500.5 ");
    press(kMar31, "3000.25");

    const Rows expected{{day(kJan31), "1000"}, {day(kFeb29), "2500.5"}, {day(kMar31), "3000.25"}};
    EXPECT_EQ(test::readAll(salaryPath("张三")), expected);
    EXPECT_EQ(listRows(), expected);

    openWindow();
    choose(1);
    EXPECT_EQ(listRows(), expected);
}

TEST_F(SalaryWindowTest, AnEmployeeWithoutATableShowsAnEmptyList) {
    addStaff({{"001", "张三", ""}, {"002", "李四", ""}, {"003", "张三", ""}});
    makeTable("张三");
    openWindow();
    choose(1);
    press(kJan31, "3000");
    const Rows expected{{day(kJan31), "3000"}};

    choose(2);
    EXPECT_EQ(control<QLineEdit>("编辑框_姓名")->text(), "李四");
    EXPECT_TRUE(listRows().empty());  // not 张三's payment
    // The namesake shares the table.
    choose(3);
    EXPECT_EQ(control<QLineEdit>("编辑框_编号")->text(), "003");
    EXPECT_EQ(listRows(), expected);
    EXPECT_TRUE(platform.messages().isEmpty());
}

// A payment that cannot be stored is said, whatever stops it.
TEST_F(SalaryWindowTest, APaymentThatCannotBeStoredIsSaid) {
    addStaff({{"001", "张三", ""}});
    fs::remove_all(run.paths().salaryFolder());
    openWindow();
    choose(1);
    press(kJan31, "3000");
    EXPECT_FALSE(fs::exists(run.paths().salaryFolder()));
    EXPECT_EQ(platform.messages(), QStringList{"工资信息失败"});

    // A folder where the table should be: nothing opens, nothing is replaced.
    fs::create_directories(salaryPath("张三"));
    press(kJan31, "3000");
    EXPECT_EQ(platform.messages(), (QStringList{"工资信息失败", "工资信息失败"}));
    EXPECT_TRUE(fs::is_directory(salaryPath("张三")));
    EXPECT_TRUE(listRows().empty());
}

// Only a positive amount of money with at most two decimals is paid; anything
// else is refused with one message, before any table is made.
TEST_F(SalaryWindowTest, AnAmountThatIsNoMoneyIsRefused) {
    addStaff({{"001", "张三", ""}});
    openWindow();
    choose(1);
    for (const char* typed :
         {"abc", "-500", "99999999999999999999", "0", "12.345", "1,000", "3000元", " "}) {
        SCOPED_TRACE(typed);
        platform.clear();
        press(kJan31, QString::fromUtf8(typed));
        EXPECT_EQ(platform.messages(), QStringList{QString::fromUtf8(kAmountRefused)});
        EXPECT_FALSE(fs::exists(salaryPath("张三")));
        EXPECT_TRUE(listRows().empty());
    }
}

TEST_F(SalaryWindowTest, AnEmptyNameUsesTheBareExtensionOnlyWhenItExists) {
    openWindow();
    type("编辑框_编号", "001");
    press(kJan31, "3000");
    const std::string bare = run.paths().salaryFolder() + "/.edb";
    EXPECT_FALSE(fs::exists(bare));  // an empty name creates nothing
    EXPECT_TRUE(platform.messages().isEmpty());

    ASSERT_TRUE(storage::create(bare, storage::schemas::salary()));
    press(kJan31, "3000");
    EXPECT_EQ(test::readAll(bare), (Rows{{day(kJan31), "3000"}}));
}

TEST_F(SalaryWindowTest, NamesThatWouldLeaveTheFolderAreRefused) {
    addStaff({{"001", "../x", ""}, {"002", "a/b", ""}});
    fs::create_directories(run.paths().salaryFolder() + "/a");
    openWindow();
    for (int n : {1, 2}) {
        choose(n);
        press(kJan31, "3000");
        press(kJan31, "3000");
    }
    type("编辑框_姓名", "..");
    press(kJan31, "3000");

    EXPECT_FALSE(fs::exists(run.dir() + "/x.edb"));
    EXPECT_FALSE(fs::exists(run.paths().salaryFolder() + "/a/b.edb"));
    EXPECT_FALSE(fs::exists(run.dir() + "/员工工资管理.edb"));
    EXPECT_TRUE(fs::is_empty(run.paths().salaryFolder() + "/a"));
    EXPECT_TRUE(platform.messages().isEmpty());
}

TEST_F(SalaryWindowTest, TheCloseButtonEndsTheDragAndDestroysTheWindow) {
    openWindow();
    app::DragState& drag = app::dragState(QStringLiteral("salary/图片框3"));
    drag.flag = 1;
    control<QPushButton>("图形按钮1_关闭3")->click();  // inert
    control<QPushButton>("图形按钮1_关闭2")->click();  // inert
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(drag.flag, 1);

    control<QPushButton>("图形按钮1_关闭1")->click();
    EXPECT_EQ(drag.flag, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace shop::salary
