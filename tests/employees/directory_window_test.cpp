// The employee directory driven through its controls: the tree, the details,
// "清空" and the windows it opens.
#include "employees/directory_window.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <optional>

#include "app/frameless_window.h"
#include "app/scripted_platform.h"
#include "employee_fixture.h"
#include "employees/directory_texts.h"
#include "employees/employee_form.h"
#include "employees/entry_window.h"
#include "leave/leave_window.h"
#include "salary/salary_window.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/run_folder.h"
#include "support/window_probe.h"

namespace shop::employees {
namespace {

using test::control;
using test::labelText;
namespace fs = std::filesystem;
namespace f = storage::schemas::employee_field;

class DirectoryWindowTest : public ::testing::Test {
protected:
    test::RunFolder run;
    app::ScriptedPlatform platform;

    void addEmployees(const std::vector<EmployeeRecord>& records) {
        test::addEmployees(run.paths().employee(), records);
    }
    static QTreeWidget* tree(const DirectoryWindow& w) {
        return control<QTreeWidget>(w, "树型框1");
    }
    static QStringList childTexts(const DirectoryWindow& w) {
        QStringList texts;
        const QTreeWidgetItem* root = tree(w)->topLevelItem(0);
        for (int i = 0; root && i < root->childCount(); ++i) texts << root->child(i)->text(0);
        return texts;
    }
    static void choose(const DirectoryWindow& w, int child) {
        QTreeWidgetItem* root = tree(w)->topLevelItem(0);
        tree(w)->setCurrentItem(child < 0 ? root : root->child(child));
    }
    // A right click on the tree where `child` is drawn, then the menu item.
    static void rightClickAndChoose(DirectoryWindow& w, int child, const QString& action) {
        QTreeWidget* t = tree(w);
        const QPoint at = t->visualItemRect(t->topLevelItem(0)->child(child)).center();
        QTest::mouseClick(t->viewport(), Qt::RightButton, {}, at);
        for (QAction* a : w.menu()->actions())
            if (a->text() == action) a->trigger();
        w.menu()->close();
    }
    void makeLeaveTable(const std::string& name) {
        ASSERT_TRUE(storage::create(*run.paths().leaveTable(name), storage::schemas::leave()));
    }
    bool leaveTableExists(const std::string& name) const {
        return fs::exists(*run.paths().leaveTable(name));
    }
    static void fillForm(EntryWindow& entry, const QString& text) {
        for (const FormItem& item : formItems()) {
            if (auto* edit = entry.findChild<QLineEdit*>(QString::fromUtf8(item.control)))
                edit->setText(text);
            else if (auto* combo = entry.findChild<QComboBox*>(QString::fromUtf8(item.control)))
                combo->setEditText(text);
        }
    }
};

TEST_F(DirectoryWindowTest, TreeListsEveryEmployeeUnderTheRoot) {
    addEmployees(
        {test::sampleEmployee("张三"), test::sampleEmployee("李四"), test::sampleEmployee("张三")});
    DirectoryWindow w;
    ASSERT_FALSE(w.failedToOpen());
    EXPECT_EQ(w.size(), QSize(813, 477));
    EXPECT_EQ(labelText(w, "透明标签_程序名称"), "澄屿员工管理系统");
    ASSERT_EQ(tree(w)->topLevelItemCount(), 1);
    EXPECT_EQ(tree(w)->topLevelItem(0)->text(0), "所有员工");
    EXPECT_EQ(childTexts(w), QStringList({"张三", "李四", "张三"}));
    EXPECT_EQ(w.menu()->title(), "设置");
    QStringList actions;
    for (QAction* a : w.menu()->actions()) actions << a->text();
    EXPECT_EQ(actions, QStringList({"添加员工", "清空"}));
    EXPECT_EQ(labelText(w, "透明标签_添加员工"), "添加员工");
    EXPECT_EQ(labelText(w, "透明标签_请假记录"), "请假记录");
    EXPECT_EQ(labelText(w, "透明标签_工资管理"), "工资管理");
    EXPECT_EQ(test::captionLines(labelText(w, "透明标签_个人资料")),
              QStringList({"员工头像", "员工编号；", "员工姓名；", "员工性别；", "员工年龄；",
                           "入职时间；", "政治面貌 ；", "工作部门；", "出生日期；", "员工民族；",
                           "员工籍贯；", "身份证号码；", "文化程度；", "学校名称；", "学校地址；",
                           "居住地址；", "联系电话；", "员工岗位；"}));
    // Filling the tree leaves no table open.
    EXPECT_EQ(storage::openCount(), 0);
}

TEST_F(DirectoryWindowTest, EmptyTableGivesOnlyTheRoot) {
    DirectoryWindow w;
    EXPECT_EQ(tree(w)->topLevelItem(0)->childCount(), 0);
}

TEST_F(DirectoryWindowTest, ChoosingAnEmployeeShowsTheRecordButNotTheAccount) {
    const QByteArray photo = test::bmpBytes(120, 160);
    addEmployees({test::sampleEmployee("张三"), test::sampleEmployee("李四", photo.toStdString())});
    DirectoryWindow w;
    choose(w, 1);
    EXPECT_EQ(labelText(w, "透明标签_名字"), "员工资料；李四");
    const std::vector<std::pair<const char*, int>> shown{
        {"透明标签_员工编号", 2},        {"透明标签_员工姓名", 3},
        {"透明标签_员工性别", 4},        {"透明标签_员工年龄", 5},
        {"透明标签_入职时间", 6},        {"透明标签_政治面貌", 7},
        {"透明标签_员工工作部门", 8},    {"透明标签_员工出生日期", 9},
        {"透明标签_员工民族", 10},       {"透明标签_员工籍贯", 11},
        {"透明标签_员工身份证号码", 12}, {"透明标签_员工文化程度", 13},
        {"透明标签_员工学校名称", 14},   {"透明标签_员工学校地址", 15},
        {"透明标签_居住地址", 17},       {"透明标签_联系电话", 18},
        {"透明标签_员工岗位", 19}};
    const EmployeeRecord expected = test::sampleEmployee("李四");
    for (const auto& [label, position] : shown)
        EXPECT_EQ(labelText(w, label).toStdString(),
                  position == f::kIdCard ? maskedIdCard(expected[position]) : expected[position])
            << label;
    const QString account = QString::fromStdString(expected[f::kWeChatQq]);
    for (const QLabel* label : w.findChildren<QLabel*>())
        EXPECT_FALSE(label->text().contains(account));
    EXPECT_TRUE(labelText(w, "透明标签_员工工作部门1").isEmpty());
    EXPECT_FALSE(control<QLabel>(w, "图片框_头像")->pixmap().isNull());

    choose(w, 0);  // no photo: the box is emptied
    EXPECT_EQ(labelText(w, "透明标签_员工姓名"), "张三");
    EXPECT_TRUE(control<QLabel>(w, "图片框_头像")->pixmap().isNull());
    EXPECT_EQ(storage::openCount(), 0);
}

TEST_F(DirectoryWindowTest, SecondOfTwoSameNamesShowsTheSecondRecord) {
    auto first = test::sampleEmployee("王五");
    auto second = test::sampleEmployee("王五");
    first[f::kNumber] = "001";
    second[f::kNumber] = "002";
    addEmployees({first, second});
    DirectoryWindow w;
    choose(w, 1);
    EXPECT_EQ(labelText(w, "透明标签_员工编号"), "002");
    choose(w, 0);
    EXPECT_EQ(labelText(w, "透明标签_员工编号"), "001");
}

TEST_F(DirectoryWindowTest, RootOrAnItemWithoutRecordClearsTheDetails) {
    addEmployees({test::sampleEmployee("张三"), test::sampleEmployee("李四")});
    DirectoryWindow w;
    choose(w, 1);
    ASSERT_EQ(labelText(w, "透明标签_员工姓名"), "李四");
    choose(w, -1);
    EXPECT_EQ(labelText(w, "透明标签_名字"), "员工资料；");
    EXPECT_TRUE(labelText(w, "透明标签_员工姓名").isEmpty());
    EXPECT_TRUE(labelText(w, "透明标签_联系电话").isEmpty());

    choose(w, 1);
    // The table shrinks behind the window's back: item 2 no longer has a record.
    {
        ASSERT_TRUE(storage::open(run.paths().employee()));
        storage::Batch batch;
        storage::zap();
        batch.commit();
        storage::close();
    }
    choose(w, 0);
    EXPECT_TRUE(labelText(w, "透明标签_员工姓名").isEmpty());
}

TEST_F(DirectoryWindowTest, ClearRemovesTheCurrentEmployeeAndOnlyTheirLeaveTable) {
    addEmployees({test::sampleEmployee("张三"), test::sampleEmployee("李四"),
                  test::sampleEmployee("张三"), test::sampleEmployee("王五")});
    makeLeaveTable("张三");
    makeLeaveTable("李四");
    makeLeaveTable("王五");
    const std::string salary = *run.paths().salaryTable("张三");
    ASSERT_TRUE(storage::create(salary, storage::schemas::salary()));
    DirectoryWindow w;
    choose(w, 0);
    // The right click lands on 李四, but "清空" acts on the current item.
    platform.queueAnswer(true);
    rightClickAndChoose(w, 1, "清空");
    EXPECT_EQ(platform.questions(),
              QStringList{"清空员工提示信息|确定删除员工“张三”（共 2 "
                          "名同名员工）的资料和请假记录吗？其工资发放记录会保留。"});
    EXPECT_TRUE(fs::exists(salary));             // the record of money paid stays
    EXPECT_EQ(tree(w)->currentItem(), nullptr);  // rebuilt
    EXPECT_EQ(childTexts(w), QStringList({"李四", "王五"}));
    const auto rows = test::employeesIn(run.paths().employee());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][f::kName], "李四");
    EXPECT_EQ(rows[1][f::kName], "王五");
    EXPECT_FALSE(leaveTableExists("张三"));
    EXPECT_TRUE(leaveTableExists("李四"));
    EXPECT_TRUE(leaveTableExists("王五"));
    EXPECT_TRUE(platform.messages().isEmpty());
    EXPECT_TRUE(storage::checkIntegrity(run.paths().employee()).empty());

    // Items and records stay aligned after the rebuild.
    choose(w, 1);
    EXPECT_EQ(labelText(w, "透明标签_员工姓名"), "王五");
}

// "清空" asks first, naming the one employee; only a Yes removes anything.
TEST_F(DirectoryWindowTest, ClearAsksFirstAndOnlyAYesRemoves) {
    const struct {
        const char* what;
        std::optional<bool> answer;
        bool removed;
    } cases[] = {{"yes", true, true}, {"no", false, false}, {"no answer", std::nullopt, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform.clear();
        test::writeAll(run.paths().employee(), {});
        addEmployees({test::sampleEmployee("李四"), test::sampleEmployee("王五")});
        if (!leaveTableExists("王五")) makeLeaveTable("王五");
        DirectoryWindow w;
        choose(w, 1);
        if (c.answer) platform.queueAnswer(*c.answer);
        rightClickAndChoose(w, 1, "清空");
        EXPECT_EQ(platform.questions(),
                  QStringList{"清空员工提示信息|确定删除员工“王五”的资料和请假记录吗？"
                              "其工资发放记录会保留。"});
        EXPECT_EQ(childTexts(w), c.removed ? QStringList{"李四"} : QStringList({"李四", "王五"}));
        EXPECT_EQ(test::employeesIn(run.paths().employee()).size(), c.removed ? 1u : 2u);
        EXPECT_EQ(leaveTableExists("王五"), !c.removed);
    }
}

TEST_F(DirectoryWindowTest, ClearWithNobodyCurrentOrTheRootRemovesNothing) {
    addEmployees({test::sampleEmployee("张三")});
    makeLeaveTable("张三");
    DirectoryWindow w;
    rightClickAndChoose(w, 0, "清空");  // nothing current
    choose(w, -1);
    rightClickAndChoose(w, 0, "清空");  // the root
    EXPECT_EQ(test::employeesIn(run.paths().employee()).size(), 1u);
    EXPECT_TRUE(leaveTableExists("张三"));
    EXPECT_EQ(childTexts(w), QStringList({"张三"}));
    EXPECT_TRUE(platform.questions().isEmpty());  // nobody to ask about
}

TEST_F(DirectoryWindowTest, ClearOfANameThatCannotNameAFileDeletesNoLeaveTable) {
    addEmployees({test::sampleEmployee("../张三"), test::sampleEmployee("李四")});
    makeLeaveTable("张三");
    DirectoryWindow w;
    choose(w, 0);
    platform.queueAnswer(true);
    rightClickAndChoose(w, 0, "清空");
    EXPECT_EQ(childTexts(w), QStringList({"李四"}));
    EXPECT_TRUE(leaveTableExists("张三"));
}

TEST_F(DirectoryWindowTest, MissingTableIsReported) {
    fs::remove(run.paths().employee());
    DirectoryWindow w;
    EXPECT_TRUE(w.failedToOpen());
    EXPECT_EQ(platform.messages(), QStringList{"数据库打开失败"});
    EXPECT_EQ(tree(w)->topLevelItem(0)->text(0), "所有员工");
}

// The directory's handlers, a modal form from its menu and its close button
// each close only what they opened: the non-modal form keeps saving, and the
// main window's table stays open.
TEST_F(DirectoryWindowTest, ClosingWindowsNeverClosesATableAnotherWindowKeeps) {
    addEmployees({test::sampleEmployee("张三"), test::sampleEmployee("李四")});
    ASSERT_TRUE(storage::open(run.paths().productSave()));
    QWidget owner;
    QPointer<EntryWindow> entry;
    {
        DirectoryWindow w(&owner);
        w.show();
        control<QPushButton>(w, "图形按钮1_添加员工")->click();
        entry = w.findChild<EntryWindow*>();
        ASSERT_TRUE(entry);
        QTimer::singleShot(0, &w, [] {
            if (auto* modal = qobject_cast<EntryWindow*>(QApplication::activeModalWidget()))
                control<QPushButton>(*modal, "图形按钮1_关闭5")->click();
        });
        choose(w, 0);
        rightClickAndChoose(w, 0, "添加员工");
        choose(w, 1);
        platform.queueAnswer(true);
        rightClickAndChoose(w, 1, "清空");
        ASSERT_EQ(childTexts(w), QStringList({"张三"}));
        control<QPushButton>(w, "图形按钮1_关闭5")->click();
        EXPECT_FALSE(w.isVisible());
    }
    ASSERT_TRUE(entry);
    fillForm(*entry, "王五");
    control<QPushButton>(*entry, "图形按钮_生成账单2")->click();
    EXPECT_EQ(platform.messages(), QStringList{"已存入数据库"});
    const auto rows = test::employeesIn(run.paths().employee());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][f::kName], "王五");
    EXPECT_TRUE(storage::isOpen(run.paths().productSave()));
    entry->close();
}

// While the directory runs modally, the entry window it opens from its button
// takes clicks (delivered through the window system, where modality blocks),
// and an unrelated window does not.
TEST_F(DirectoryWindowTest, NonModalEntryWindowIsUsableWhileDirectoryIsModal) {
    DirectoryWindow w;
    bool entryClicked = false, strangerClicked = false;
    QTimer::singleShot(0, &w, [&] {
        control<QPushButton>(w, "图形按钮1_添加员工")->click();
        auto* entry = w.findChild<EntryWindow*>();
        ASSERT_NE(entry, nullptr);
        ASSERT_TRUE(entry->isVisible());
        EXPECT_FALSE(entry->isModal());
        QWidget stranger;
        auto* button = new QPushButton("x", &stranger);
        QObject::connect(button, &QPushButton::clicked, [&] { strangerClicked = true; });
        stranger.show();
        auto* save = control<QPushButton>(*entry, "图形按钮_生成账单2");
        QObject::connect(save, &QPushButton::clicked, [&] { entryClicked = true; });
        QTest::qWait(10);
        QTest::mouseClick(entry->windowHandle(), Qt::LeftButton, {},
                          save->mapTo(entry, save->rect().center()));
        QTest::mouseClick(stranger.windowHandle(), Qt::LeftButton, {}, button->geometry().center());
        QTest::qWait(10);
        w.done(0);
    });
    w.exec();
    EXPECT_TRUE(entryClicked);
    EXPECT_FALSE(strangerClicked);
    EXPECT_EQ(platform.messages(), QStringList{"请你认真填写"});
}

TEST_F(DirectoryWindowTest, ReadingEmployeesLeavesTheOpenEntryFormsTableOpen) {
    addEmployees({test::sampleEmployee("张三")});
    DirectoryWindow w;
    control<QPushButton>(w, "图形按钮1_添加员工")->click();
    auto* entry = w.findChild<EntryWindow*>();
    ASSERT_NE(entry, nullptr);
    choose(w, 0);
    EXPECT_EQ(labelText(w, "透明标签_员工姓名"), "张三");
    ASSERT_TRUE(storage::isOpen(storage::kEmployeeTableName));

    // The form still saves into the table it opened.
    fillForm(*entry, "王五");
    control<QPushButton>(*entry, "图形按钮_生成账单2")->click();
    EXPECT_EQ(platform.messages(), QStringList{"已存入数据库"});
    EXPECT_EQ(test::employeesIn(run.paths().employee()).size(), 2u);
    entry->close();
}

TEST_F(DirectoryWindowTest, NonModalEntryOutlivesTheDirectory) {
    QWidget owner;
    QPointer<EntryWindow> entry;
    {
        DirectoryWindow w(&owner);
        control<QPushButton>(w, "图形按钮1_添加员工")->click();
        entry = w.findChild<EntryWindow*>();
        ASSERT_TRUE(entry);
    }
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->isVisible());
    EXPECT_EQ(entry->parentWidget(), &owner);
    control<QPushButton>(*entry, "图形按钮1_关闭5")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(entry);  // destroyed by its own close button
}

TEST_F(DirectoryWindowTest, LeaveWindowOpensModallyAndSalaryWindowDoesNot) {
    addEmployees({test::sampleEmployee("张三")});
    DirectoryWindow w;
    bool leaveWasModal = false;
    QTimer::singleShot(0, &w, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        leaveWasModal = qobject_cast<leave::LeaveWindow*>(modal) != nullptr;
        if (modal) qobject_cast<QDialog*>(modal)->done(0);
    });
    control<QPushButton>(w, "图形按钮1_添加员工1")->click();
    EXPECT_TRUE(leaveWasModal);
    EXPECT_EQ(w.findChild<leave::LeaveWindow*>(), nullptr);  // gone once closed

    control<QPushButton>(w, "图形按钮1_工资管理")->click();
    auto* salary = w.findChild<salary::SalaryWindow*>();
    ASSERT_NE(salary, nullptr);
    EXPECT_TRUE(salary->isVisible());
    EXPECT_FALSE(salary->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// The leave window opened here starts on the employee chosen here; with
// nobody (or the root) chosen it starts on nobody.
TEST_F(DirectoryWindowTest, LeaveWindowStartsOnTheEmployeeChosenHere) {
    auto second = test::sampleEmployee("李四");
    second[f::kNumber] = "002";
    addEmployees({test::sampleEmployee("张三"), second, test::sampleEmployee("李四")});
    for (const int chosen : {1, 2, 0, -1}) {
        SCOPED_TRACE(chosen);
        DirectoryWindow w;
        if (chosen >= 0) choose(w, chosen);
        int row = -2;
        QString number;
        QTimer::singleShot(0, &w, [&] {
            auto* leave = qobject_cast<leave::LeaveWindow*>(QApplication::activeModalWidget());
            if (!leave) return;
            row = control<QListWidget>(*leave, "列表框_员工姓名")->currentRow();
            number = control<QLineEdit>(*leave, "编辑框_员工编号")->text();
            leave->done(0);
        });
        control<QPushButton>(w, "图形按钮1_添加员工1")->click();
        EXPECT_EQ(row, chosen);
        const auto rows = test::employeesIn(run.paths().employee());
        EXPECT_EQ(number.toStdString(), chosen >= 0 ? rows[chosen][f::kNumber] : "");
    }
}

// A new employee saved in an entry form opened from here, modal or not,
// shows in the tree at once, and the employee being looked at stays chosen.
TEST_F(DirectoryWindowTest, ANewEmployeeShowsAtOnce) {
    addEmployees({test::sampleEmployee("张三")});
    DirectoryWindow w;
    choose(w, 0);
    control<QPushButton>(w, "图形按钮1_添加员工")->click();
    auto* entry = w.findChild<EntryWindow*>();
    ASSERT_NE(entry, nullptr);
    fillForm(*entry, "王五");
    control<QPushButton>(*entry, "图形按钮_生成账单2")->click();
    EXPECT_EQ(childTexts(w), QStringList({"张三", "王五"}));
    EXPECT_EQ(tree(w)->currentItem(), tree(w)->topLevelItem(0)->child(0));
    EXPECT_EQ(labelText(w, "透明标签_员工姓名"), "张三");
    entry->close();

    QTimer::singleShot(0, &w, [&] {
        auto* modal = qobject_cast<EntryWindow*>(QApplication::activeModalWidget());
        if (!modal) return;
        fillForm(*modal, "赵六");
        control<QPushButton>(*modal, "图形按钮_生成账单2")->click();
        control<QPushButton>(*modal, "图形按钮1_关闭5")->click();
    });
    rightClickAndChoose(w, 0, "添加员工");
    EXPECT_EQ(childTexts(w), QStringList({"张三", "王五", "赵六"}));
}

// Escape with typed input in the form asks first; a No keeps form and
// typing, a Yes closes the form alone. A held Escape that closed the form
// does not go on to close the directory beneath it.
TEST_F(DirectoryWindowTest, EscapeOverTypedInputAsksAndNeverClosesTheDirectoryToo) {
    DirectoryWindow w;
    w.show();
    control<QPushButton>(w, "图形按钮1_添加员工")->click();
    auto* entry = w.findChild<EntryWindow*>();
    ASSERT_NE(entry, nullptr);
    QLineEdit* name = control<QLineEdit>(*entry, "编辑框_姓名");
    QTest::keyClicks(name, "wang");
    platform.queueAnswer(false);
    QTest::keyClick(name, Qt::Key_Escape);
    EXPECT_EQ(platform.questions(),
              QStringList{QStringLiteral("关闭提示信息|") + app::unsavedInputQuestion()});
    EXPECT_TRUE(entry->isVisible());
    EXPECT_EQ(name->text(), "wang");

    platform.queueAnswer(true);
    QTest::keyClick(name, Qt::Key_Escape);
    EXPECT_FALSE(entry->isVisible());
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(), /*autorep=*/true);
    QApplication::sendEvent(&w, &held);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(platform.questions().size(), 2);
}

TEST_F(DirectoryWindowTest, MenuAddOpensTheEntryWindowModally) {
    addEmployees({test::sampleEmployee("张三")});
    DirectoryWindow w;
    bool sawModal = false;
    QTimer::singleShot(0, &w, [&] {
        auto* entry = qobject_cast<EntryWindow*>(QApplication::activeModalWidget());
        sawModal = entry != nullptr;
        if (entry) control<QPushButton>(*entry, "图形按钮1_关闭5")->click();
    });
    choose(w, 0);
    rightClickAndChoose(w, 0, "添加员工");
    EXPECT_TRUE(sawModal);
    EXPECT_EQ(childTexts(w), QStringList({"张三"}));
}

}  // namespace
}  // namespace shop::employees
