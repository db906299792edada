// The employee entry form driven through its controls against a temporary run
// folder: completeness check, what a save stores, the photo and the reset.
#include "employees/entry_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <filesystem>

#include "app/scripted_platform.h"
#include "employee_fixture.h"
#include "storage/date_text.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "support/run_folder.h"
#include "support/window_probe.h"

namespace shop::employees {
namespace {

using test::control;
namespace f = storage::schemas::employee_field;

class EntryWindowTest : public ::testing::Test {
protected:
    test::RunFolder run;
    app::ScriptedPlatform platform;
    QTemporaryDir files;

    void setItem(EntryWindow& w, const char* name, const QString& text) {
        if (auto* edit = w.findChild<QLineEdit*>(QString::fromUtf8(name)))
            edit->setText(text);
        else if (auto* combo = w.findChild<QComboBox*>(QString::fromUtf8(name)))
            combo->setEditText(text);
        else
            ADD_FAILURE() << "no item " << name;
    }
    // Every item gets a text of its own, "值<position>".
    void fillAll(EntryWindow& w) {
        for (const FormItem& item : formItems())
            setItem(w, item.control, QStringLiteral("值%1").arg(item.position));
    }
    void clickSave(EntryWindow& w) { control<QPushButton>(w, "图形按钮_生成账单2")->click(); }
    void clickPhoto(EntryWindow& w) { control<QPushButton>(w, "图形按钮_生成账单1")->click(); }
    QString lastMessage() const {
        const QStringList m = platform.messages();
        return m.isEmpty() ? QString() : m.last();
    }
    std::vector<EmployeeRecord> stored() const { return test::employeesIn(run.paths().employee()); }
    QString file(const char* name, const QByteArray& bytes) {
        return test::writeFile(files.filePath(QString::fromUtf8(name)), bytes);
    }
};

TEST_F(EntryWindowTest, FormAsDesigned) {
    EntryWindow w;
    ASSERT_FALSE(w.failedToOpen());
    EXPECT_EQ(w.size(), QSize(685, 460));
    EXPECT_EQ(test::labelText(w, "透明标签1"), "澄屿_添加员工");
    EXPECT_EQ(test::labelText(w, "透明标签2"), "入职填写信息");
    EXPECT_EQ(test::labelText(w, "透明标签3"), "头像信息");
    EXPECT_EQ(
        test::captionLines(test::labelText(w, "透明标签4")),
        QStringList({"员工姓名；", "员工性别；", "员工年龄；", "员工出生日期；", "员工民族；",
                     "员工籍贯；", "员工居民身份证号码；", "员工文化程度；", "员工毕业学校名称；",
                     "员工学校地址；", "员工QQ/微信；", "员工政治面貌；", "员工现在居住地址；",
                     "员工联系电话", "员工入职时间", "员工部门；", "员工编号；", "员工岗位；"}));
    const auto items = [&](const char* name) {
        QStringList texts;
        if (auto* combo = control<QComboBox>(w, name))
            for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
        return texts;
    };
    EXPECT_EQ(items("组合框_性别"), QStringList({"男", "女"}));
    EXPECT_EQ(items("组合框_政治面貌"),
              QStringList({"中共党员", "中共预备党员", "共青团员", "民革党员", "民盟盟党员",
                           "民建会员", "民进会员", "农工党党员", "共产党员", "群众"}));
    EXPECT_EQ(items("组合框_文化程度"),
              QStringList({"小学", "初中", "高中", "大学", "大学学历以上"}));
    EXPECT_EQ(control<QLineEdit>(w, "编辑框_出生日期")->text(), "年月日");
    EXPECT_EQ(control<QLineEdit>(w, "编辑框_民族")->text(), "汉族");
    EXPECT_EQ(control<QLineEdit>(w, "编辑框_籍贯")->text(), "汉族");
    EXPECT_TRUE(control<QLineEdit>(w, "编辑框1")->isHidden());
    EXPECT_NE(control<QDateEdit>(w, "日期框_入职"), nullptr);
    for (const char* name : {"图片框1", "图片框2", "图片框_头像"})
        EXPECT_NE(control<QLabel>(w, name), nullptr);
    for (const char* name :
         {"图形按钮_生成账单", "图形按钮1_关闭1", "图形按钮1_关闭4", "图形按钮1_关闭5"})
        EXPECT_NE(control<QPushButton>(w, name), nullptr);
    // The table is open, under its base name, while the window is.
    EXPECT_TRUE(storage::select(storage::kEmployeeTableName));
}

TEST_F(EntryWindowTest, EachItemAloneEmptyIsNamedAndNothingIsWritten) {
    EntryWindow w;
    for (const FormItem& item : formItems()) {
        fillAll(w);
        setItem(w, item.control, QString());
        platform.clear();
        clickSave(w);
        EXPECT_EQ(platform.messages(), QStringList{QString::fromUtf8(item.emptyMessage)})
            << item.control;
    }
    EXPECT_TRUE(stored().empty());
}

TEST_F(EntryWindowTest, SaveStoresEveryFieldAtItsPosition) {
    EntryWindow w;
    fillAll(w);
    setItem(w, "编辑框_年龄", "30");
    setItem(w, "编辑框_部门", "  ");  // blanks count as filled and are stored as typed
    control<QDateEdit>(w, "日期框_入职")->setDate(QDate(2023, 9, 1));
    clickSave(w);
    EXPECT_EQ(platform.messages(), QStringList{"已存入数据库"});
    const auto rows = stored();
    ASSERT_EQ(rows.size(), 1u);
    const EmployeeRecord& r = rows[0];
    EXPECT_EQ(r[f::kPhoto], "");  // no photo: an empty byte string
    EXPECT_EQ(r[f::kAge], "30岁");
    EXPECT_EQ(r[f::kJoined], storage::dateText({2023, 9, 1, 0, 0, 0}));
    EXPECT_EQ(r[f::kJoined], "2023年9月1日");
    EXPECT_EQ(r[f::kDepartment], "  ");
    for (int position : {2, 3, 4, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19})
        EXPECT_EQ(r[position], "值" + std::to_string(position)) << position;
    EXPECT_TRUE(control<QLineEdit>(w, "编辑框1")->text().isEmpty());
}

TEST_F(EntryWindowTest, ResetAfterSaveAndSaveTwiceGivesTwoRecords) {
    EntryWindow w;
    fillAll(w);
    setItem(w, "组合框_性别", "女");
    setItem(w, "编辑框_民族", "回族");
    control<QDateEdit>(w, "日期框_入职")->setDate(QDate(2022, 2, 2));
    clickSave(w);
    for (const char* name :
         {"编辑框_编号", "编辑框_姓名", "编辑框_年龄", "编辑框_部门", "编辑框_籍贯",
          "编辑框_员工身份证号码", "编辑框_学校名称", "编辑框_学校地址", "编辑框_QQ微信",
          "编辑框_员工联系电话", "编辑框_居住地址", "编辑框_岗位名称"})
        EXPECT_TRUE(control<QLineEdit>(w, name)->text().isEmpty()) << name;
    EXPECT_EQ(control<QLineEdit>(w, "编辑框_出生日期")->text(), "年月日");
    EXPECT_EQ(control<QLineEdit>(w, "编辑框_民族")->text(), "回族");
    EXPECT_EQ(control<QComboBox>(w, "组合框_性别")->currentText(), "男");
    EXPECT_EQ(control<QComboBox>(w, "组合框_政治面貌")->currentText(), "中共党员");
    EXPECT_EQ(control<QComboBox>(w, "组合框_文化程度")->currentText(), "小学");
    EXPECT_EQ(control<QDateEdit>(w, "日期框_入职")->date(), QDate(2022, 2, 2));

    // The same person again: nothing detects duplicates.
    fillAll(w);
    clickSave(w);
    fillAll(w);
    clickSave(w);
    const auto rows = stored();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][f::kSex], "女");
    EXPECT_EQ(rows[1][f::kName], rows[2][f::kName]);
}

TEST_F(EntryWindowTest, PhotoIsShownFittedAndStoredUnchanged) {
    EntryWindow w;
    const QByteArray bytes = test::bmpBytes(400, 200);
    platform.queueFile(file("wide.bmp", bytes));
    clickPhoto(w);
    ASSERT_EQ(platform.fileFilters().size(), 1);
    EXPECT_TRUE(platform.fileFilters()[0].contains("*.bmp"));
    EXPECT_EQ(w.photo(), bytes);
    const QLabel* box = control<QLabel>(w, "图片框_头像");
    const QPixmap shown = box->pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.width(), box->contentsRect().width());  // the wide side fills the box
    EXPECT_NEAR(shown.height() * 2, shown.width(), 2);      // aspect kept

    fillAll(w);
    clickSave(w);
    fillAll(w);
    clickSave(w);  // a photo stays for every later save
    const auto rows = stored();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(QByteArray::fromStdString(rows[0][f::kPhoto]), bytes);
    EXPECT_EQ(QByteArray::fromStdString(rows[1][f::kPhoto]), bytes);
}

// A photo may be a BMP, PNG or JPEG picture: shown, and stored byte for byte.
TEST_F(EntryWindowTest, EveryPictureKindIsShownAndStoredAsItsFileBytes) {
    EXPECT_EQ(EntryWindow::photoFilter(), "图片 (*.bmp *.png *.jpg *.jpeg)");
    const struct {
        const char* file;
        const char* format;
    } kinds[] = {{"p.bmp", "BMP"}, {"p.png", "PNG"}, {"p.jpg", "JPEG"}, {"p.jpeg", "JPEG"}};
    std::vector<QByteArray> chosen;
    EntryWindow w;
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.file);
        const QByteArray bytes = test::pictureBytes(90, 120, k.format);
        ASSERT_FALSE(bytes.isEmpty());
        platform.queueFile(file(k.file, bytes));
        clickPhoto(w);
        EXPECT_EQ(w.photo(), bytes);
        EXPECT_FALSE(control<QLabel>(w, "图片框_头像")->pixmap().isNull());
        fillAll(w);
        clickSave(w);
        chosen.push_back(bytes);
    }
    EXPECT_EQ(platform.fileFilters(), QStringList(4, EntryWindow::photoFilter()));
    const auto rows = stored();
    ASSERT_EQ(rows.size(), chosen.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(QByteArray::fromStdString(rows[i][f::kPhoto]), chosen[i]) << kinds[i].file;
}

TEST_F(EntryWindowTest, CancelledOrTooLargePhotoKeepsThePhotoAsItWas) {
    EntryWindow w;
    const QByteArray first = test::bmpBytes(60, 80);
    platform.queueFile(file("first.bmp", first));
    clickPhoto(w);
    ASSERT_EQ(w.photo(), first);

    clickPhoto(w);  // cancelled: the dialog returns no name
    EXPECT_EQ(w.photo(), first);
    EXPECT_FALSE(control<QLabel>(w, "图片框_头像")->pixmap().isNull());

    const QByteArray huge = test::bmpBytes(400, 400);  // 480,054 bytes
    ASSERT_GT(huge.size(), storage::schemas::kPhotoLimit);
    platform.queueFile(file("huge.bmp", huge));
    platform.clear();
    clickPhoto(w);
    ASSERT_EQ(platform.messages().size(), 1);
    EXPECT_TRUE(platform.messages()[0].contains("451541"));
    EXPECT_EQ(w.photo(), first);

    fillAll(w);
    clickSave(w);
    const auto rows = stored();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(QByteArray::fromStdString(rows[0][f::kPhoto]), first);  // nothing cut
}

TEST_F(EntryWindowTest, PhotoAtTheLimitIsTakenAndNonPictureShowsNothing) {
    EntryWindow w;
    platform.queueFile(file("ok.bmp", test::bmpBytes(30, 30)));
    clickPhoto(w);
    ASSERT_FALSE(control<QLabel>(w, "图片框_头像")->pixmap().isNull());

    const QByteArray junk(storage::schemas::kPhotoLimit, 'j');
    platform.queueFile(file("junk.bmp", junk));
    clickPhoto(w);
    EXPECT_TRUE(platform.messages().isEmpty());
    EXPECT_EQ(w.photo(), junk);
    EXPECT_TRUE(control<QLabel>(w, "图片框_头像")->pixmap().isNull());

    fillAll(w);
    clickSave(w);
    const auto rows = stored();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][f::kPhoto].size(), std::size_t(storage::schemas::kPhotoLimit));
}

TEST_F(EntryWindowTest, FailedWritesAreNamedAndLeaveNoRecord) {
    EntryWindow w;
    fillAll(w);
    setItem(w, "编辑框_部门", QString(300, QChar('d')));  // longer than the field holds
    clickSave(w);
    EXPECT_EQ(platform.messages(), QStringList{"工作部门保存失败"});
    EXPECT_TRUE(stored().empty());
    EXPECT_EQ(control<QLineEdit>(w, "编辑框_姓名")->text(), "值3");  // form kept
    EXPECT_TRUE(control<QLineEdit>(w, "编辑框1")->text().isEmpty());

    // A field without a message of its own, and two fields at once: one
    // message that names them.
    platform.clear();
    setItem(w, "编辑框_部门", "销售部");
    setItem(w, "编辑框_姓名", QString(200, QChar(0x5f20)));  // 400 GBK bytes
    clickSave(w);
    EXPECT_EQ(platform.messages(),
              QStringList{"员工信息保存失败：员工姓名未能写入，员工未存入数据库"});
    EXPECT_TRUE(stored().empty());

    platform.clear();
    setItem(w, "编辑框_年龄", QString(300, QChar('9')));
    clickSave(w);
    EXPECT_EQ(platform.messages(),
              QStringList{"员工信息保存失败：员工姓名、年龄未能写入，员工未存入数据库"});
    EXPECT_TRUE(stored().empty());

    platform.clear();
    setItem(w, "编辑框_姓名", "张三");
    setItem(w, "编辑框_年龄", "25");
    clickSave(w);
    EXPECT_EQ(platform.messages(), QStringList{"已存入数据库"});
    EXPECT_EQ(stored().size(), 1u);
}

TEST_F(EntryWindowTest, TableClosedMeanwhileIsReportedAndFormKept) {
    EntryWindow w;
    storage::close(run.paths().employee());
    fillAll(w);
    clickSave(w);
    EXPECT_EQ(platform.messages(), QStringList{"打开失败"});
    EXPECT_EQ(control<QLineEdit>(w, "编辑框_编号")->text(), "值2");
    EXPECT_TRUE(control<QLineEdit>(w, "编辑框1")->text().isEmpty());
    EXPECT_TRUE(stored().empty());
}

TEST_F(EntryWindowTest, CloseButtonClosesTheTableOnlyWhenNoOtherFormHoldsIt) {
    ASSERT_TRUE(storage::open(run.paths().productSave()));  // another window's table, current
    EntryWindow first, second;
    first.show();
    control<QPushButton>(first, "图形按钮1_关闭5")->click();
    EXPECT_FALSE(first.isVisible());
    // The second form still saves into the table both opened.
    fillAll(second);
    clickSave(second);
    EXPECT_EQ(platform.messages(), QStringList{"已存入数据库"});
    EXPECT_EQ(stored().size(), 1u);
    control<QPushButton>(second, "图形按钮1_关闭5")->click();
    EXPECT_FALSE(storage::isOpen(run.paths().employee()));
    EXPECT_TRUE(storage::isOpen(run.paths().productSave()));
}

TEST_F(EntryWindowTest, MissingTableIsReportedAtCreation) {
    std::filesystem::remove(run.paths().employee());
    EntryWindow w;
    EXPECT_TRUE(w.failedToOpen());
    EXPECT_EQ(platform.messages(), QStringList{"数据库打开失败"});
}

}  // namespace
}  // namespace shop::employees
