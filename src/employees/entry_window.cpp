#include "entry_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

#include "app/platform.h"
#include "app/title_band.h"
#include "employee_look.h"
#include "employee_table.h"
#include "photo.h"
#include "storage/data_paths.h"
#include "storage/date_text.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "ui/caption_lines.h"
#include "ui/photo_box.h"
#include "ui/run_paths.h"
#include "ui_entry_window.h"

namespace shop::employees {

namespace f = storage::schemas::employee_field;

namespace {

const QStringList kCaptions{"员工姓名；",           "员工性别；",     "员工年龄；",
                            "员工出生日期；",       "员工民族；",     "员工籍贯；",
                            "员工居民身份证号码；", "员工文化程度；", "员工毕业学校名称；",
                            "员工学校地址；",       "员工QQ/微信；",  "员工政治面貌；",
                            "员工现在居住地址；",   "员工联系电话",   "员工入职时间",
                            "员工部门；",           "员工编号；",     "员工岗位；"};

// Distance between two rows of the form, as laid out in the designer file.
constexpr int kRowPitch = 21;

// The form's controls whose designed names say something other than what
// they do, by their role.
QPushButton& hiddenTitleButton(const Ui::EntryWindow& form) { return *form.图形按钮_生成账单; }
QPushButton& photoButton(const Ui::EntryWindow& form) { return *form.图形按钮_生成账单1; }
QPushButton& saveButton(const Ui::EntryWindow& form) { return *form.图形按钮_生成账单2; }
// The hidden box the date of joining passes through as stored text.
QLineEdit& joinedDateText(const Ui::EntryWindow& form) { return *form.编辑框1; }

// Clears the hidden date box however a save ends.
struct ClearOnExit {
    QLineEdit* box;
    ~ClearOnExit() { box->clear(); }
};

}  // namespace

EntryWindow::EntryWindow(QWidget* parent)
    : FramelessWindow(parent), ui(std::make_unique<Ui::EntryWindow>()) {
    ui->setupUi(this);
    applyEmployeeLook(this);
    setDesignedGeometry(QSize(685, 460));
    setTitleBar(
        {ui->图片框1, ui->透明标签1, ui->图形按钮1_关闭1, ui->图形按钮1_关闭4, ui->图形按钮1_关闭5},
        QStringLiteral("entry/图片框1"), app::DragReset::Never, [this] { closeWindow(); });
    app::stylePictureButton(&hiddenTitleButton(*ui), QStringLiteral("act-receipt"));
    app::styleActionButton(&photoButton(*ui), QStringLiteral("act-photo"));
    app::styleActionButton(&saveButton(*ui), QStringLiteral("act-save"));
    ui::setCaptionLines(ui->透明标签4, kCaptions, kRowPitch);
    ui->日期框_入职->setDate(QDate::currentDate());

    watchTypedInput();
    connect(&photoButton(*ui), &QPushButton::clicked, this, &EntryWindow::choosePhoto);
    connect(&saveButton(*ui), &QPushButton::clicked, this, &EntryWindow::save);

    // The table stays open, under its base name, while the form is open.
    m_table = holdEmployeeTable(ui::dataPaths().employee());
    if (!m_table) {
        app::showMessage(this, QStringLiteral("数据库打开失败"));
        m_failed = true;
        close();
    }
}

EntryWindow::~EntryWindow() = default;

void EntryWindow::closeWindow() {
    done(0);
    // Only this form's hold: another form, or a directory reading the
    // table, keeps its own.
    m_table.reset();
}

QString EntryWindow::photoFilter() { return QStringLiteral("图片 (*.bmp *.png *.jpg *.jpeg)"); }

void EntryWindow::choosePhoto() {
    const QString name = app::chooseOpenFile(this, photoFilter());
    const PhotoFile file = readPhotoFile(name, storage::schemas::kPhotoLimit);
    switch (file.status) {
        case PhotoFile::Status::Cancelled:
        case PhotoFile::Status::Unreadable:
            return;  // the photo stays as it was
        case PhotoFile::Status::TooLarge:
            app::showMessage(
                this, QStringLiteral("头像图片太大（不能超过451541字节），请选择一张小一些的图片"));
            return;
        case PhotoFile::Status::Loaded:
            // Kept as read, even when it is no picture: the box then shows
            // nothing, and so will the directory.
            m_photo = file.bytes;
            ui::showPhoto(ui->图片框_头像, m_photo);
            noteUnsavedInput();
            return;
    }
}

QString EntryWindow::textOf(const char* control) const {
    const QString name = QString::fromUtf8(control);
    if (auto* edit = findChild<QLineEdit*>(name)) return edit->text();
    if (auto* combo = findChild<QComboBox*>(name)) return combo->currentText();
    return {};
}

std::array<std::string, kFormItemCount> EntryWindow::itemTexts() const {
    std::array<std::string, kFormItemCount> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = textOf(formItems()[i].control).toStdString();
    return texts;
}

EmployeeRecord EntryWindow::record() const {
    EmployeeRecord r;
    r[f::kPhoto] = m_photo.toStdString();
    for (const FormItem& item : formItems()) r[item.position] = textOf(item.control).toStdString();
    r[f::kAge] = storedAge(r[f::kAge]);
    r[f::kJoined] = joinedDateText(*ui).text().toStdString();
    return r;
}

void EntryWindow::save() {
    ClearOnExit clearDate{&joinedDateText(*ui)};
    if (const auto reminder = completenessReminder(itemTexts())) {
        app::showMessage(this, QString::fromStdString(*reminder));
        return;
    }
    saveChecked();
}

void EntryWindow::saveChecked() {
    const QDate joined = ui->日期框_入职->date();
    joinedDateText(*ui).setText(QString::fromStdString(
        storage::dateText({joined.year(), joined.month(), joined.day(), 0, 0, 0})));
    if (!storage::reattach(storage::kEmployeeTableName)) {  // made again if its file went
        app::showMessage(this, QStringLiteral("打开失败"));
        return;
    }
    const AppendOutcome outcome = appendEmployee(record());
    if (outcome.saved) {
        inputStored();
        Q_EMIT employeeSaved();
        app::showMessage(this, QStringLiteral("已存入数据库"));
        reset();
        return;
    }
    // Nothing of the record stayed; the form keeps it for another try.
    app::showMessage(this, QString::fromStdString(saveFailureMessage(outcome.failed)));
}

void EntryWindow::reset() {
    for (QLineEdit* edit :
         {ui->编辑框_编号, ui->编辑框_姓名, ui->编辑框_年龄, ui->编辑框_部门, ui->编辑框_籍贯,
          ui->编辑框_员工身份证号码, ui->编辑框_学校名称, ui->编辑框_学校地址, ui->编辑框_QQ微信,
          ui->编辑框_员工联系电话, ui->编辑框_居住地址, ui->编辑框_岗位名称})
        edit->clear();
    ui->编辑框_出生日期->setText(QStringLiteral("年月日"));
    for (QComboBox* combo : {ui->组合框_性别, ui->组合框_政治面貌, ui->组合框_文化程度}) {
        combo->setCurrentIndex(0);
        combo->setEditText(combo->itemText(0));
    }
}

}  // namespace shop::employees
