#include "directory_window.h"

#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidget>

#include "app/platform.h"
#include "directory_texts.h"
#include "employee_look.h"
#include "employee_table.h"
#include "entry_window.h"
#include "leave/leave_window.h"
#include "leave_cleanup.h"
#include "salary/salary_window.h"
#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "ui/caption_lines.h"
#include "ui/photo_box.h"
#include "ui/run_paths.h"
#include "ui_directory_window.h"

namespace shop::employees {

namespace f = storage::schemas::employee_field;
using ui::dataPaths;

namespace {

const QStringList kCaptions{"员工头像",   "员工编号；",   "员工姓名；", "员工性别；", "员工年龄；",
                            "入职时间；", "政治面貌 ；",  "工作部门；", "出生日期；", "员工民族；",
                            "员工籍贯；", "身份证号码；", "文化程度；", "学校名称；", "学校地址；",
                            "居住地址；", "联系电话；",   "员工岗位；"};

// Caption pitch and where the photo's caption stands, as in the designer file.
constexpr int kRowPitch = 21;
constexpr int kPhotoCaptionIndent = 443;

const QString kNamePrefix = QStringLiteral("员工资料；");

// The directory's controls whose designed names say something other than
// what they do, by their role.
QPushButton& hiddenTitleButton(const Ui::DirectoryWindow& form) { return *form.图形按钮_生成账单; }
QPushButton& entryButton(const Ui::DirectoryWindow& form) { return *form.图形按钮1_添加员工; }
QPushButton& leaveButton(const Ui::DirectoryWindow& form) { return *form.图形按钮1_添加员工1; }
QPushButton& salaryButton(const Ui::DirectoryWindow& form) { return *form.图形按钮1_工资管理; }

}  // namespace

DirectoryWindow::DirectoryWindow(QWidget* parent)
    : FramelessWindow(parent), ui(std::make_unique<Ui::DirectoryWindow>()) {
    ui->setupUi(this);
    applyEmployeeLook(this);
    setDesignedGeometry(QSize(813, 477));
    // Closing closes no table: every handler here closes what it opened, and
    // the current table belongs to someone else (an entry form, the main window).
    setTitleBar({ui->图片框1, ui->透明标签_程序名称, ui->图形按钮1_关闭1, ui->图形按钮1_关闭4,
                 ui->图形按钮1_关闭5},
                QStringLiteral("directory/图片框1"), app::DragReset::Never);
    app::stylePictureButton(&hiddenTitleButton(*ui), QStringLiteral("act-receipt"));
    app::stylePictureButton(&entryButton(*ui), QStringLiteral("act-add"));
    app::stylePictureButton(&leaveButton(*ui), QStringLiteral("act-calendar"));
    app::stylePictureButton(&salaryButton(*ui), QStringLiteral("act-money"));
    ui::setCaptionLines(ui->透明标签_个人资料, kCaptions, kRowPitch, kPhotoCaptionIndent);

    m_menu = new QMenu(QStringLiteral("设置"), this);
    connect(m_menu->addAction(QStringLiteral("添加员工")), &QAction::triggered, this,
            &DirectoryWindow::openEntryModal);
    connect(m_menu->addAction(QStringLiteral("清空")), &QAction::triggered, this,
            &DirectoryWindow::clearRemembered);

    // The right button must not move the current item: "清空" acts on the
    // item that was current, not on the one under the pointer.
    ui->树型框1->viewport()->installEventFilter(this);
    connect(ui->树型框1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { showItem(item); });
    connect(&entryButton(*ui), &QPushButton::clicked, this, &DirectoryWindow::openEntryNonModal);
    connect(&leaveButton(*ui), &QPushButton::clicked, this, &DirectoryWindow::openLeave);
    connect(&salaryButton(*ui), &QPushButton::clicked, this, &DirectoryWindow::openSalary);

    fillTree();
}

DirectoryWindow::~DirectoryWindow() {
    // Windows opened without modality are the owner's to close: hand them to
    // the directory's own parent so they live on after the directory.
    for (const QPointer<QWidget>& window : m_shown) {
        if (!window || !window->isVisible()) continue;  // closed: deleted with us
        window->setParent(parentWidget(), window->windowFlags());
        window->show();
    }
}

void DirectoryWindow::fillTree() {
    QTreeWidget* tree = ui->树型框1;
    const QSignalBlocker quiet(tree);
    tree->clear();
    clearDetails();
    m_remembered.reset();
    auto* root = new QTreeWidgetItem(tree, {QStringLiteral("所有员工")});
    const auto names = employeeNames(dataPaths().employee());
    if (!names) {
        app::showMessage(this, QStringLiteral("数据库打开失败"));
        m_failed = true;
        done(0);
        return;
    }
    for (const std::string& name : *names)
        new QTreeWidgetItem(root, {QString::fromStdString(name)});
    root->setExpanded(true);
}

void DirectoryWindow::showItem(QTreeWidgetItem* item) {
    QTreeWidget* tree = ui->树型框1;
    QTreeWidgetItem* root = tree->topLevelItem(0);
    if (!item || item == root || item->parent() != root) {
        clearDetails();  // the root stands for nobody
        return;
    }
    EmployeeRecord record;
    switch (readEmployee(dataPaths().employee(), root->indexOfChild(item) + 1, record)) {
        case Lookup::OpenFailed:
            return;  // details stay as they were
        case Lookup::NoRecord:
            clearDetails();
            return;
        case Lookup::Found:
            showRecord(record);
            return;
    }
}

void DirectoryWindow::showRecord(const EmployeeRecord& record) {
    const auto text = [&](int position) { return QString::fromStdString(record[position]); };
    ui::showPhoto(ui->图片框_头像, QByteArray::fromStdString(record[f::kPhoto]));
    ui->透明标签_名字->setText(kNamePrefix + text(f::kName));
    ui->透明标签_员工编号->setText(text(f::kNumber));
    ui->透明标签_员工姓名->setText(text(f::kName));
    ui->透明标签_员工性别->setText(text(f::kSex));
    ui->透明标签_员工年龄->setText(text(f::kAge));
    ui->透明标签_入职时间->setText(text(f::kJoined));
    ui->透明标签_政治面貌->setText(text(f::kPolitical));
    ui->透明标签_员工工作部门->setText(text(f::kDepartment));
    ui->透明标签_员工出生日期->setText(text(f::kBirth));
    ui->透明标签_员工民族->setText(text(f::kEthnic));
    ui->透明标签_员工籍贯->setText(text(f::kNative));
    // Anyone at the counter can see the directory: the middle of the
    // number stays hidden here (the entry form shows what is typed).
    ui->透明标签_员工身份证号码->setText(QString::fromStdString(maskedIdCard(record[f::kIdCard])));
    ui->透明标签_员工文化程度->setText(text(f::kEducation));
    ui->透明标签_员工学校名称->setText(text(f::kSchool));
    ui->透明标签_员工学校地址->setText(text(f::kSchoolAddress));
    // The WeChat or QQ account (field 16) is kept private: shown nowhere.
    ui->透明标签_居住地址->setText(text(f::kHomeAddress));
    ui->透明标签_联系电话->setText(text(f::kPhone));
    ui->透明标签_员工岗位->setText(text(f::kPost));
}

void DirectoryWindow::clearDetails() { showRecord(EmployeeRecord{}); }

bool DirectoryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->树型框1->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::RightButton) {
            popUpMenu(press->globalPosition().toPoint());
            return true;
        }
    }
    return FramelessWindow::eventFilter(watched, event);
}

void DirectoryWindow::popUpMenu(QPoint globalPos) {
    m_menu->popup(globalPos);
    QTreeWidgetItem* item = ui->树型框1->currentItem();
    if (item && item->parent() == ui->树型框1->topLevelItem(0))
        m_remembered = item->text(0).toStdString();
    else
        m_remembered.reset();  // nothing current, or the root: nobody to remove
}

void DirectoryWindow::clearRemembered() {
    if (!m_remembered) return;
    const std::string name = *m_remembered;
    const QTreeWidgetItem* root = ui->树型框1->topLevelItem(0);
    int namesakes = 0;
    for (int i = 0; i < root->childCount(); ++i)
        namesakes += root->child(i)->text(0).toStdString() == name ? 1 : 0;
    if (!app::askYesNo(this, QStringLiteral("清空员工提示信息"),
                       QString::fromStdString(removalQuestion(name, namesakes))))
        return;
    const storage::DataPaths paths = dataPaths();
    const RemoveOutcome outcome = removeEmployeesNamed(paths.employee(), name);
    if (!outcome.opened) {
        app::showMessage(this, QStringLiteral("数据库打开失败"));
        done(0);
        return;
    }
    if (outcome.removed == 0) return;
    // The listing lets other events run, this window's close button included.
    const QPointer<DirectoryWindow> self(this);
    deleteLeaveTable(paths, name);
    if (!self) return;
    // Rebuilt, so that item k still stands for record k.
    fillTree();
}

void DirectoryWindow::openEntryModal() {
    EntryWindow entry(this);
    if (entry.failedToOpen()) return;
    connect(&entry, &EntryWindow::employeeSaved, this, &DirectoryWindow::refreshTree);
    entry.exec();
}

void DirectoryWindow::refreshTree() {
    QTreeWidget* tree = ui->树型框1;
    QTreeWidgetItem* current = tree->currentItem();
    const int chosen =
        current && current->parent() ? tree->topLevelItem(0)->indexOfChild(current) : -1;
    fillTree();
    if (m_failed) return;
    // The employee being looked at stays chosen; a new one is last.
    if (QTreeWidgetItem* item = tree->topLevelItem(0)->child(chosen)) tree->setCurrentItem(item);
}

void DirectoryWindow::keepShown(QWidget* window) {
    // A child of the directory, so the directory's modality does not block
    // it; it destroys itself when closed.
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_shown.removeAll(QPointer<QWidget>());
    m_shown.append(window);
    window->show();
}

void DirectoryWindow::openEntryNonModal() {
    auto* entry = new EntryWindow(this);
    if (entry->failedToOpen()) {
        delete entry;
        return;
    }
    connect(entry, &EntryWindow::employeeSaved, this, &DirectoryWindow::refreshTree);
    keepShown(entry);
}

void DirectoryWindow::openLeave() {
    leave::LeaveWindow window(this);
    if (window.failedToOpen()) return;
    // The leave window starts on the employee chosen here: its list holds
    // the same records in the same order.
    QTreeWidgetItem* current = ui->树型框1->currentItem();
    if (current && current->parent() == ui->树型框1->topLevelItem(0))
        window.startOn(ui->树型框1->topLevelItem(0)->indexOfChild(current));
    window.exec();
}

void DirectoryWindow::openSalary() {
    auto* window = new salary::SalaryWindow(this);
    if (window->failedToOpen()) {
        delete window;
        return;
    }
    keepShown(window);
}

}  // namespace shop::employees
