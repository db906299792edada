// The receipt window's way out onto paper: its pop-up menu, the printer and
// the PDF file.
#include <QLabel>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "app/dialog_look.h"
#include "app/platform.h"
#include "receipt_print.h"
#include "receipt_window.h"
#include "ui_receipt_window.h"

namespace shop::receipts {

namespace {

// The goods columns hold each line followed by a blank line; on paper every
// entry is one line.
QStringList entries(const QLabel* column) {
    QStringList lines = column->text().split(QStringLiteral("\r\n\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

}  // namespace

void ReceiptWindow::setUpOutputMenu() {
    m_outputMenu = new QMenu(this);
    connect(m_outputMenu->addAction(QStringLiteral("打印账单…")), &QAction::triggered, this,
            &ReceiptWindow::printReceipt);
    connect(m_outputMenu->addAction(QStringLiteral("保存为 PDF…")), &QAction::triggered, this,
            &ReceiptWindow::saveReceiptPdf);
    QWidget* paper = ui->图片框_移动1;
    paper->setContextMenuPolicy(Qt::CustomContextMenu);
    paper->setToolTip(QStringLiteral("右键：打印账单或保存为 PDF"));
    connect(paper, &QWidget::customContextMenuRequested, this,
            [this, paper](const QPoint& at) { m_outputMenu->popup(paper->mapToGlobal(at)); });
}

ReceiptContent ReceiptWindow::content() const {
    return {ui->透明_店铺名字->text(), ui->透明_收银员->text(),   ui->透明_机码->text(),
            ui->透明_时间->text(),     entries(ui->透明_品名),    entries(ui->透明_数量),
            entries(ui->透明_金额),    ui->透明_消费地址->text(), ui->透明_消费金额->text(),
            ui->透明_找零->text()};
}

void ReceiptWindow::printReceipt() {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        app::showMessage(this, QStringLiteral("没有可用的打印机"));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("账单"));
    QPrintDialog dialog(&printer, this);
    app::dressDialog(&dialog, dialog.windowTitle());
    if (dialog.exec() != QDialog::Accepted) return;
    if (!renderReceipt(printer, content())) app::showMessage(this, QStringLiteral("账单打印失败"));
}

void ReceiptWindow::saveReceiptPdf() {
    QString path =
        app::chooseSaveFile(this, QStringLiteral("PDF 文件 (*.pdf)"), QStringLiteral("账单.pdf"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    if (!writeReceiptPdf(path, content()))
        app::showMessage(this, QStringLiteral("账单 PDF 保存失败：") + path);
}

}  // namespace shop::receipts
