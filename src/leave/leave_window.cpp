#include "leave_window.h"

#include <QDate>

#include "app/event_services.h"
#include "app/platform.h"
#include "app/thread_courier.h"
#include "app/title_band.h"
#include "storage/data_paths.h"
#include "storage/date_text.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "storage/table_visit.h"
#include "ui/photo_box.h"
#include "ui/run_paths.h"
#include "ui_leave_window.h"

namespace shop::leave {

namespace st = shop::storage;
namespace field = st::schemas::employee_field;
using ui::dataPaths;
using ui::fromStd;
using ui::showPhoto;

namespace {

// The window's controls whose designed names say nothing of what they do, by
// their role. The two hidden boxes carry the chosen dates as stored text.
QPushButton& submitButton(const Ui::LeaveWindow& form) { return *form.图形按钮_; }
QLineEdit& startDateText(const Ui::LeaveWindow& form) { return *form.编辑框1; }
QLineEdit& endDateText(const Ui::LeaveWindow& form) { return *form.编辑框2; }

std::string dateText(const QDate& date) {
    return st::dateText(st::Moment{date.year(), date.month(), date.day()});
}

}  // namespace

LeaveWindow::LeaveWindow(QWidget* parent, Executor executor)
    : FramelessWindow(parent),
      ui(new Ui::LeaveWindow),
      m_link(std::make_shared<SubmissionLink>()),
      m_executor(executor ? std::move(executor) : Executor(&app::startBackground)) {
    ui->setupUi(this);
    setDesignedGeometry(QSize(431, 431));
    setTitleBar({ui->图片框1, ui->透明标签_程序名称, ui->图形按钮1_关闭1, ui->图形按钮1_关闭4,
                 ui->图形按钮1_关闭5},
                QStringLiteral("leave/图片框1"), app::DragReset::AtCreation);
    app::styleActionButton(&submitButton(*ui), QStringLiteral("act-submit"));
    ui->日期框_始->setDate(QDate::currentDate());
    ui->日期框_结束->setDate(QDate::currentDate());

    app::UiCourier::instance();  // made on this thread, before any worker needs it
    m_link->view = this;

    connect(ui->列表框_员工姓名, &QListWidget::currentRowChanged, this,
            &LeaveWindow::chooseEmployee);
    connect(&submitButton(*ui), &QPushButton::clicked, this, &LeaveWindow::submit);

    fillNames();
}

LeaveWindow::~LeaveWindow() {
    // A submission still running finds no window from here on.
    m_link->view = nullptr;
}

bool LeaveWindow::submissionRunning() const { return m_link->running.load(); }

void LeaveWindow::fillNames() {
    const auto names = st::readTextColumn(dataPaths().employee(), field::kName, /*readOnly=*/true);
    if (!names) return;
    for (const std::string& name : *names) ui->列表框_员工姓名->addItem(fromStd(name));
}

void LeaveWindow::startOn(int index) {
    if (index >= 0 && index < ui->列表框_员工姓名->count())
        ui->列表框_员工姓名->setCurrentRow(index);
}

void LeaveWindow::chooseEmployee(int index) {
    if (index < 0) return;  // the list was emptied, nothing was chosen
    ui->超级列表框_请假记录->clear();

    const st::DataPaths paths = dataPaths();
    if (st::TableVisit employees(paths.employee(), /*readOnly=*/true); employees.opened()) {
        st::skip(index);
        const std::optional<st::Value> photo = st::readField(field::kPhoto);
        showPhoto(ui->图片框_头像, QByteArray::fromStdString(photo ? photo->data : std::string()));
        ui->编辑框_员工编号->setText(fromStd(st::readText(field::kNumber)));
        ui->编辑框_员工姓名->setText(fromStd(st::readText(field::kName)));
    }

    const std::optional<std::string> path = paths.leaveTable(employeeName());
    if (!path) return;
    if (st::TableVisit leave(*path); leave.opened()) showRecords(readLeaveRecords());
}

void LeaveWindow::submit() {
    // A request that could never be stored as meant is refused before any
    // table is touched.
    if (ui->日期框_结束->date() < ui->日期框_始->date()) {
        app::showMessage(this, QString::fromUtf8(kEndBeforeStart));
        return;
    }
    if (!ui->单选框_同意->isChecked() && !ui->单选框_拒绝->isChecked()) {
        app::showMessage(this, QString::fromUtf8(kNoDecision));
        return;
    }
    // While a submission runs a further click is ignored, so two never write
    // a leave table at once.
    if (!beginSubmission()) return;
    ui->超级列表框_请假记录->clear();
    m_link->running.store(true);
    m_executor([link = m_link, paths = dataPaths()] { runSubmission(link, paths); });
}

std::pair<std::string, std::string> LeaveWindow::putDateTexts() {
    const std::string start = dateText(ui->日期框_始->date());
    const std::string end = dateText(ui->日期框_结束->date());
    startDateText(*ui).setText(fromStd(start));
    endDateText(*ui).setText(fromStd(end));
    return {start, end};
}

void LeaveWindow::clearRecords() { ui->超级列表框_请假记录->clear(); }

std::string LeaveWindow::employeeName() const { return ui->编辑框_员工姓名->text().toStdString(); }

SubmissionView::Decision LeaveWindow::decide() {
    if (ui->单选框_拒绝->isChecked()) return Decision::Refused;
    if (!ui->单选框_同意->isChecked()) return Decision::None;
    // The window may be destroyed while the box is up: nothing of it is
    // touched after the box.
    app::showMessage(this, QStringLiteral("同意"));
    return Decision::Approved;
}

std::pair<std::string, std::string> LeaveWindow::hiddenDateTexts() const {
    return {startDateText(*ui).text().toStdString(), endDateText(*ui).text().toStdString()};
}

void LeaveWindow::showRecords(const std::vector<LeaveRecord>& records) {
    QTreeWidget* list = ui->超级列表框_请假记录;
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(records.size()));
    for (const LeaveRecord& r : records)
        rows << new QTreeWidgetItem(
            QStringList{fromStd(r.start), fromStd(r.end), fromStd(r.decision)});
    list->addTopLevelItems(rows);
}

void LeaveWindow::notStored(const char* why) { app::showMessage(this, QString::fromUtf8(why)); }

void LeaveWindow::submissionEnded() { Q_EMIT submissionFinished(); }

}  // namespace shop::leave
