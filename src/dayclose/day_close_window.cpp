#include "day_close_window.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTreeWidget>

#include "app/clock.h"
#include "app/dialog_look.h"
#include "app/platform.h"
#include "app/run_directory.h"
#include "app/title_band.h"
#include "close_print.h"
#include "close_sheet.h"
#include "settings/settings_file.h"
#include "shop_day_figures.h"
#include "storage/data_paths.h"
#include "ui_day_close_window.h"

namespace shop::dayclose {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

settings::ReceiptHeader header() {
    return settings::readHeader(storage::DataPaths{app::runDirectory()}.settingsFile());
}

// A note of Chinese text fits its field (255 GBK bytes, two a character).
constexpr int kNoteCharacters = 120;
// Five rows (four methods and the sum) fill the list under its header.
constexpr int kTakingsRowHeight = 22;

}  // namespace

DayCloseWindow::DayCloseWindow(QWidget* parent)
    : FramelessWindow(parent),
      ui(std::make_unique<Ui::DayCloseWindow>()),
      m_model(app::runDirectory(), header().cashier),
      m_shopName(q(header().shopName)) {
    ui->setupUi(this);
    setDesignedGeometry(QSize(560, 610));
    setTitleBar({ui->图片框_移动, ui->透明标签_标题, nullptr, nullptr, ui->图形按钮1_关闭},
                QStringLiteral("dayclose/图片框_移动"), app::DragReset::AtCreation);
    app::styleActionButton(ui->图形按钮_确认日结, QStringLiteral("act-submit"));
    app::styleActionButton(ui->图形按钮_打印, QStringLiteral("act-receipt"));
    app::styleActionButton(ui->图形按钮_保存PDF, QStringLiteral("act-save"));

    QTreeWidget* takings = ui->列表框_收款汇总;
    takings->header()->setSectionResizeMode(QHeaderView::Stretch);
    takings->header()->setDefaultAlignment(Qt::AlignCenter);
    takings->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->编辑框_备注->setMaxLength(kNoteCharacters);

    connect(ui->编辑框_备用金, &QLineEdit::textEdited, this, &DayCloseWindow::cashTyped);
    connect(ui->编辑框_实点现金, &QLineEdit::textEdited, this, &DayCloseWindow::cashTyped);
    connect(ui->图形按钮_确认日结, &QPushButton::clicked, this, &DayCloseWindow::confirmClose);
    connect(ui->图形按钮_打印, &QPushButton::clicked, this, &DayCloseWindow::printClose);
    connect(ui->图形按钮_保存PDF, &QPushButton::clicked, this, &DayCloseWindow::saveClosePdf);

    m_model.load(app::now());
    if (!m_model.earlierCloses().empty()) m_printable = m_model.earlierCloses().back();
    showFigures();
    if (shopDayAvailable(app::runDirectory())) {
        m_scope = new QComboBox(this);
        m_scope->setObjectName(QStringLiteral("组合框_范围"));
        m_scope->addItems({QStringLiteral("本机"), QStringLiteral("全店")});
        m_scope->setToolTip(QStringLiteral(
            "本机：这台收银机的日结；全店：门店服务器上所有收银机今天的数字，只供查看"));
        m_scope->setGeometry(450, 94, 90, 26);
        connect(m_scope, &QComboBox::currentIndexChanged, this, &DayCloseWindow::scopeChosen);
    }
    watchTypedInput();
}

DayCloseWindow::~DayCloseWindow() = default;

void DayCloseWindow::scopeChosen(int index) {
    const bool shopWide = index == 1;
    // The whole shop is looked at, never closed: each till closes its own drawer.
    for (QWidget* own : std::initializer_list<QWidget*>{ui->分组框_现金核对, ui->编辑框_备注})
        own->setEnabled(!shopWide);
    if (!shopWide) {
        showOwnFigures();  // what the cashier typed stays
        showCash();
        return;
    }
    ui->图形按钮_确认日结->setEnabled(false);
    hint(QStringLiteral("正在向门店服务器查询全店数字…"), false);
    startShopDayQuery(app::runDirectory(), app::now(), this, [this](ShopDayResult answer) {
        if (m_scope->currentIndex() != 1) return;  // 本机 was chosen again meanwhile
        if (!answer.ok) {
            hint(answer.failure, true);
            return;
        }
        showShopFigures(answer.figures, answer.tills);
    });
}

void DayCloseWindow::showShopFigures(const DayFigures& figures, int tills) {
    ui->标签_收银员->setText(QStringLiteral("收银员；全店"));
    ui->标签_小票->setText(QStringLiteral("小票；全店 %1 台收银机").arg(tills));
    ui->标签_已日结->clear();
    showTakings(figures);
    ui->透明标签_未收款->setText(QStringLiteral("各收银机本机日结时计"));
    hint(QStringLiteral("全店数字只供查看；日结在每台收银机上各自进行"), false);
}

void DayCloseWindow::showTakings(const DayFigures& f) {
    ui->标签_笔数->setText(QStringLiteral("销售 %1 笔，退货 %2 笔").arg(f.sales).arg(f.refunds));
    QTreeWidget* takings = ui->列表框_收款汇总;
    takings->clear();
    const auto rows = takingsRows(f);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        auto* item = new QTreeWidgetItem(takings);
        item->setSizeHint(0, QSize(0, kTakingsRowHeight));
        for (int c = 0; c < 4; ++c) {
            item->setText(c, q(rows[r][static_cast<std::size_t>(c)]));
            item->setTextAlignment(
                c, c == 0 ? Qt::Alignment(Qt::AlignCenter) : Qt::AlignRight | Qt::AlignVCenter);
        }
        if (r + 1 == rows.size())
            for (int c = 0; c < 4; ++c) {
                QFont bold = item->font(c);
                bold.setBold(true);
                item->setFont(c, bold);
            }
    }
}

void DayCloseWindow::showOwnFigures() {
    const DayFigures& f = m_model.figures();
    ui->标签_日期->setText(QStringLiteral("日期；") + q(m_model.day()));
    ui->标签_收银员->setText(QStringLiteral("收银员；") + q(m_model.cashier()));
    ui->标签_小票->setText(QStringLiteral("小票；") + q(receiptSpan(f)));
    showTakings(f);
    const auto& earlier = m_model.earlierCloses();
    ui->标签_已日结->setText(
        earlier.empty() ? QString()
                        : QStringLiteral("今日已日结 %1 次（最近一次 %2），本次只计其后的收款")
                              .arg(earlier.size())
                              .arg(q(earlier.back().moment)));

    ui->透明标签_未收款->setText(q(unpaidText(f)) +
                                 (f.unpaidLines ? QStringLiteral("（不计入收入）") : QString()));
}

void DayCloseWindow::showFigures() {
    showOwnFigures();
    const auto carried = m_model.carriedFloat();
    ui->编辑框_备用金->setText(carried ? q(checkout::yuanText(*carried)) : QString());
    ui->标签_备用金来源->setText(carried ? QStringLiteral("备用金取自上次日结的实点现金，可改")
                                         : QStringLiteral("首次日结：请输入钱箱里的备用金"));
    ui->编辑框_实点现金->clear();
    ui->编辑框_备注->clear();
    m_model.setOpeningFloat(ui->编辑框_备用金->text().toStdString());
    m_model.setCounted({});
    showCash();
    if (!m_model.unreadable().empty()) {
        QStringList names;
        for (const std::string& path : m_model.unreadable()) names << q(path);
        hint(QStringLiteral("以下记录表无法读取，日结数字不完整，不能确认：") + names.join("，"),
             true);
    }
    ui->图形按钮_打印->setEnabled(m_printable.has_value());
    ui->图形按钮_保存PDF->setEnabled(m_printable.has_value());
}

void DayCloseWindow::showCash() {
    const auto expected = m_model.expectedCash();
    ui->透明标签_应有现金->setText(expected ? q(yuan(*expected)) : QStringLiteral("—"));
    const auto difference = m_model.difference();
    ui->透明标签_现金差额->setText(difference ? q(differenceText(*difference)) : QString());
    const std::string blocker = m_model.confirmBlocker();
    ui->图形按钮_确认日结->setEnabled(blocker.empty());
    if (m_model.unreadable().empty()) hint(q(blocker), false);
}

void DayCloseWindow::cashTyped() {
    m_model.setOpeningFloat(ui->编辑框_备用金->text().toStdString());
    m_model.setCounted(ui->编辑框_实点现金->text().toStdString());
    showCash();
}

void DayCloseWindow::hint(const QString& text, bool warning) {
    ui->标签_日结提示->setText(text);
    ui->标签_日结提示->setStyleSheet(warning ? QStringLiteral("color: #c0392b;")
                                             : QStringLiteral("color: #6b8296;"));
}

void DayCloseWindow::confirmClose() {
    if (!m_model.confirmBlocker().empty()) return;
    if (!app::askYesNo(this, QStringLiteral("日结"),
                       QStringLiteral("日结确认后不能修改，更正只能再做一次日结并写明备注。"
                                      "确认日结吗？")))
        return;
    m_model.setNote(ui->编辑框_备注->text().trimmed().toStdString());
    const DayCloseModel::Confirmed done = m_model.confirm(app::now());
    if (!done.record) {
        app::showMessage(this, q(done.failure));
        return;
    }
    m_printable = done.record;
    inputStored();
    showFigures();
    hint(QStringLiteral("日结已保存（%1）：可打印或保存为 PDF").arg(q(done.record->moment)), false);
}

void DayCloseWindow::printClose() {
    if (!m_printable) return;
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        app::showMessage(this, QStringLiteral("没有可用的打印机"));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("日结单"));
    QPrintDialog dialog(&printer, this);
    app::dressDialog(&dialog, dialog.windowTitle());
    if (dialog.exec() != QDialog::Accepted) return;
    if (!renderClose(printer, *m_printable, m_shopName))
        app::showMessage(this, QStringLiteral("日结单打印失败"));
}

void DayCloseWindow::saveClosePdf() {
    if (!m_printable) return;
    QString path = app::chooseSaveFile(this, QStringLiteral("PDF 文件 (*.pdf)"),
                                       QStringLiteral("日结单 %1.pdf").arg(q(m_printable->moment)));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    if (!writeClosePdf(path, *m_printable, m_shopName))
        app::showMessage(this, QStringLiteral("日结单未能保存为 PDF：") + path);
}

void openDayClose(QWidget* parent) {
    DayCloseWindow window(parent);
    window.exec();
}

}  // namespace shop::dayclose
