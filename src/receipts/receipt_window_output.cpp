// The receipt window's way out onto paper: its pop-up menu, the printer and
// the PDF file.
#include <QContextMenuEvent>
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
    paper->setToolTip(QStringLiteral("右键：打印账单或保存为 PDF"));
    paper->installEventFilter(this);
}

bool ReceiptWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->图片框_移动1 && event->type() == QEvent::ContextMenu) {
        // At the screen place the event names (the pointer's, for a click):
        // not worked out from where the window is believed to stand.
        m_outputMenu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        event->accept();
        return true;
    }
    return app::FramelessWindow::eventFilter(watched, event);
}

ReceiptContent ReceiptWindow::content() const {
    ReceiptContent r;
    r.shopName = ui->透明_店铺名字->text();
    r.cashier = ui->透明_收银员->text();
    r.machine = ui->透明_机码->text();
    r.time = ui->透明_时间->text();
    r.names = entries(ui->透明_品名);
    r.quantities = entries(ui->透明_数量);
    r.prices = entries(ui->透明_金额);
    r.amounts = entries(ui->透明_小计);
    r.footerShop = ui->透明_超市名字->text();
    r.address = ui->透明_消费地址->text();
    r.total = ui->透明_消费金额->text();
    r.change = ui->透明_找零->text();
    if (m_sale) {
        r.paymentCaptions = ui->透明标签_收款->text().split(QLatin1Char('\n'));
        for (int i = 0; i < r.paymentCaptions.size(); ++i)
            r.paymentValues << paymentValue(i)->text();
    }
    return r;
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

bool ReceiptWindow::printAtOnce() {
    const QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull()) {
        app::showMessage(this, QStringLiteral("没有可用的打印机，账单未打印"));
        return false;
    }
    QPrinter printer(target, QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("账单"));
    if (renderReceipt(printer, content())) return true;
    app::showMessage(this, QStringLiteral("账单打印失败"));
    return false;
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
