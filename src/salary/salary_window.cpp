#include "salary_window.h"

#include <QDate>
#include <QLabel>

#include "app/platform.h"
#include "app/title_band.h"
#include "salary_amount.h"
#include "salary_ledger.h"
#include "storage/data_paths.h"
#include "storage/date_text.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "storage/table_visit.h"
#include "ui/caption_lines.h"
#include "ui/run_paths.h"
#include "ui_salary_window.h"

namespace shop::salary {

namespace st = shop::storage;
namespace field = st::schemas::employee_field;
using ui::dataPaths;
using ui::fromStd;

namespace {

// The window's controls whose designed names say nothing of what they do, by
// their role.
QPushButton& payButton(const Ui::SalaryWindow& form) { return *form.图形按钮1; }
QTreeWidget& employeeTree(const Ui::SalaryWindow& form) { return *form.树型框1; }
QTreeWidget& paymentList(const Ui::SalaryWindow& form) { return *form.超级列表框1; }

}  // namespace

SalaryWindow::SalaryWindow(QWidget* parent) : FramelessWindow(parent), ui(new Ui::SalaryWindow) {
    ui->setupUi(this);
    // Opened without being modal and destroyed by its own close button.
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setDesignedGeometry(QSize(425, 485));
    setTitleBar(
        {ui->图片框3, ui->透明标签3, ui->图形按钮1_关闭3, ui->图形按钮1_关闭2, ui->图形按钮1_关闭1},
        QStringLiteral("salary/图片框3"), app::DragReset::OnClose, [this] { close(); });
    app::styleActionButton(&payButton(*ui), QStringLiteral("act-money"));
    // Each caption level with the input box beside it.
    ui::setCaptionLines(ui->透明标签1, ui->透明标签1->text().split(QLatin1Char('\n')),
                        ui->编辑框_编号->y() - ui->编辑框_姓名->y());
    ui->日期框1_发工资时间->setDate(QDate::currentDate());

    connect(&employeeTree(*ui), &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { chooseItem(current); });
    connect(&payButton(*ui), &QPushButton::clicked, this, &SalaryWindow::storePayment);
    watchTypedInput();

    fillTree();
}

SalaryWindow::~SalaryWindow() = default;

void SalaryWindow::fillTree() {
    QTreeWidgetItem* root = employeeTree(*ui).topLevelItem(0);
    root->setExpanded(true);
    const auto names = st::readTextColumn(dataPaths().employee(), field::kName);
    if (!names) return;
    for (const std::string& name : *names) new QTreeWidgetItem(root, QStringList{fromStd(name)});
}

void SalaryWindow::chooseItem(QTreeWidgetItem* item) {
    // "员工工资" stands for no employee: choosing it changes nothing.
    QTreeWidgetItem* root = employeeTree(*ui).topLevelItem(0);
    if (!item || item->parent() != root) return;
    const int n = root->indexOfChild(item) + 1;

    const st::DataPaths paths = dataPaths();
    if (st::TableVisit employees(paths.employee()); employees.opened()) {
        st::skip(n - 1);
        ui->编辑框_姓名->setText(fromStd(st::readText(field::kName)));
        ui->编辑框_编号->setText(fromStd(st::readText(field::kNumber)));
    }

    // The list shows the chosen employee's payments, or none: never the rows
    // of the one chosen before.
    paymentList(*ui).clear();
    const auto path = paths.salaryTable(ui->编辑框_姓名->text().toStdString());
    if (!path) return;
    if (st::TableVisit salary(*path); salary.opened()) showPayments();
}

void SalaryWindow::showPayments() {
    QTreeWidget* list = &paymentList(*ui);
    list->clear();
    QList<QTreeWidgetItem*> rows;
    for (const Payment& p : readPayments())
        rows << new QTreeWidgetItem(QStringList{fromStd(p.date), fromStd(p.amount)});
    list->addTopLevelItems(rows);
}

void SalaryWindow::storePayment() {
    const QDate day = ui->日期框1_发工资时间->date();
    ui->编辑框_时间->setText(fromStd(st::dateText(st::Moment{day.year(), day.month(), day.day()})));

    const std::string name = ui->编辑框_姓名->text().toStdString();
    // A name that would leave the salary folder names no file and none can
    // be made for it.
    const auto path = dataPaths().salaryTable(name);
    if (!path) return;
    const PayOutcome outcome =
        pay(*path, {ui->编辑框_编号->text().toStdString(), ui->编辑框_时间->text().toStdString(),
                    name, ui->编辑框_工资金额->text().toStdString()});
    switch (outcome) {
        case PayOutcome::Nothing:
            return;
        case PayOutcome::Incomplete:
            app::showMessage(this, QStringLiteral("不能为空"));
            return;
        case PayOutcome::AmountRefused:
            app::showMessage(this, QString::fromUtf8(kAmountRefused));
            return;
        case PayOutcome::NotStored:
        case PayOutcome::AmountFailed:
            app::showMessage(this, QStringLiteral("工资信息失败"));
            return;
        case PayOutcome::DateFailed:
            app::showMessage(this, QStringLiteral("时间失败"));
            return;
        case PayOutcome::Stored:
            inputStored();
            if (const st::TableVisit salary(*path); salary.opened()) showPayments();
            return;
    }
}

}  // namespace shop::salary
