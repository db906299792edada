// The product window's codes: the 条码 field of the form, the codes column
// of the list, in-store codes for goods without a code of their own, and
// shelf labels. The codes live in the barcode table beside the catalogue;
// the product and product-save tables are never touched for them.
#include <QListWidget>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <unordered_map>

#include "app/dialog_look.h"
#include "app/platform.h"
#include "barcodes/barcode_table.h"
#include "barcodes/check_digit.h"
#include "barcodes/code_check.h"
#include "barcodes/labels/label_sheet.h"
#include "barcodes/store_codes.h"
#include "product_window.h"
#include "settings/settings_file.h"
#include "storage/data_paths.h"
#include "ui/run_paths.h"
#include "ui_product_window.h"

namespace shop::products {

namespace {

namespace bc = shop::barcodes;

// Where the in-store code counter is kept in the settings file.
constexpr const char* kCodeSection = "条码";
constexpr const char* kCounterKey = "店内码计数";

std::string rulesPath() {
    return storage::joinPath(ui::dataPaths().runDir, storage::kSettingsFolder, bc::kRulesFile);
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The code a shelf label carries: the first of the goods' codes that an
// EAN symbol can show.
std::string labelCode(const std::vector<std::string>& codes) {
    for (const std::string& code : codes) {
        const auto kind = bc::codeKind(code);
        if (bc::checkDigitValid(code) &&
            (kind == bc::CodeKind::Ean13 || kind == bc::CodeKind::Ean8))
            return code;
    }
    return {};
}

}  // namespace

void ProductWindow::setUpCodes(const std::string& code) {
    ui->选择列表框_设置商品条码->setUniformItemSizes(true);
    ui->编辑框_条码->setPlaceholderText(QStringLiteral("扫描或输入，可不填"));
    ui->编辑框_条码->setText(qs(code));
    ui->图形按钮_店内码->setToolTip(QStringLiteral("为选中的商品生成店内码（以 2 开头）"));
    ui->图形按钮_打印标签->setToolTip(
        QStringLiteral("打印勾选的商品（未勾选时为选中的商品）的货架标签"));
    m_labelMenu = new QMenu(this);
    m_labelMenu->setObjectName(QStringLiteral("标签菜单"));
    connect(m_labelMenu->addAction(QStringLiteral("打印标签…")), &QAction::triggered, this,
            &ProductWindow::printLabels);
    connect(m_labelMenu->addAction(QStringLiteral("保存为 PDF…")), &QAction::triggered, this,
            &ProductWindow::saveLabelPdf);
    connect(ui->图形按钮_店内码, &QPushButton::clicked, this, &ProductWindow::giveInStoreCode);
    connect(ui->图形按钮_打印标签, &QPushButton::clicked, this, [this] {
        m_labelMenu->popup(
            ui->图形按钮_打印标签->mapToGlobal(ui->图形按钮_打印标签->rect().bottomLeft()));
    });
    if (!loadCodes())
        app::showMessage(this,
                         QStringLiteral("商品条码表读取失败：") + qs(ui::dataPaths().barcodes()));
}

bool ProductWindow::loadCodes() {
    const std::string path = ui::dataPaths().barcodes();
    const auto entries = bc::ensureBarcodeTable(path).ok() ? bc::readCodes(path) : std::nullopt;
    m_codes = entries.value_or(std::vector<bc::CodeEntry>{});
    m_codeIndex.assign(m_codes);
    showCodes();
    return entries.has_value();
}

// One row per goods, beside its name: every code of that name.
void ProductWindow::showCodes() {
    QListWidget* names = ui->选择列表框_设置商品名称;
    QListWidget* codes = ui->选择列表框_设置商品条码;
    const auto byGoods = bc::codesByGoods(m_codes);
    codes->clear();
    for (int i = 0; i < names->count(); ++i) {
        const auto it = byGoods.find(names->item(i)->text().toStdString());
        QStringList shown;
        if (it != byGoods.end())
            for (const std::string& c : it->second) shown << qs(c);
        codes->addItem(shown.join(QLatin1Char(' ')));
        codes->item(i)->setToolTip(shown.join(QLatin1Char('\n')));
    }
}

// Before anything is stored: the code typed for `goods` must be one a
// scanner reads and no other goods' code (a goods being renamed from
// `renamedFrom` keeps its own). Said, and refused, otherwise.
bool ProductWindow::typedCodeFits(const QString& goods, const QString& renamedFrom) {
    const std::string code = ui->编辑框_条码->text().trimmed().toStdString();
    const std::string* owner = m_codeIndex.goodsOf(code);
    const bool ownCode = owner && !renamedFrom.isEmpty() && *owner == renamedFrom.toStdString();
    const bc::CodeCheck check = bc::checkCode(code, ownCode ? *owner : goods.toStdString(),
                                              m_codeIndex, bc::loadRules(rulesPath()).layouts);
    if (check.accepted) return true;
    app::showMessage(this, qs(check.message));
    ui->编辑框_条码->setFocus();
    ui->编辑框_条码->selectAll();
    return false;
}

std::vector<server::CatalogueStep> ProductWindow::typedCodeSteps(const QString& goods,
                                                                 const QString& renamedFrom) const {
    std::vector<server::CatalogueStep> steps;
    if (!renamedFrom.isEmpty() && renamedFrom != goods)
        steps.push_back(
            server::CatalogueStep::renameCodes(renamedFrom.toStdString(), goods.toStdString()));
    const std::string code = ui->编辑框_条码->text().trimmed().toStdString();
    if (!code.empty() && m_codeIndex.goodsOf(code) == nullptr)
        steps.push_back(server::CatalogueStep::addCode(code, goods.toStdString()));
    return steps;
}

// Right after the catalogue took the goods: its codes under its new name
// when it was renamed, and the code typed (checked by typedCodeFits) when no
// goods has it yet. False when the table refused; the code then stays in
// the box for another try.
bool ProductWindow::storeTypedCode(const QString& goods, const QString& renamedFrom) {
    const std::string path = ui::dataPaths().barcodes();
    const std::string name = goods.toStdString();
    bool stored = true;
    if (!renamedFrom.isEmpty() && renamedFrom != goods) {
        const storage::Status renamed = bc::renameGoods(path, renamedFrom.toStdString(), name);
        stored = renamed.ok();
        if (!stored)
            app::showMessage(this, QStringLiteral("商品条码改名失败：") + qs(renamed.message()));
    }
    const std::string code = ui->编辑框_条码->text().trimmed().toStdString();
    if (!code.empty() && m_codeIndex.goodsOf(code) == nullptr) {
        const storage::Status added = bc::addCodes(path, {{code, name}});
        stored = added.ok() && stored;
        if (!added.ok())
            app::showMessage(this, QStringLiteral("条码保存失败：") + qs(added.message()));
    }
    if (stored) ui->编辑框_条码->clear();
    loadCodes();
    return stored;
}

void ProductWindow::giveInStoreCode() {
    if (!catalogReadable()) return;
    QListWidget* names = ui->选择列表框_设置商品名称;
    if (!m_selected || *m_selected >= names->count()) {
        app::showMessage(this, QStringLiteral("请先选择要生成店内码的商品"));
        return;
    }
    const std::string goods = names->item(*m_selected)->text().toStdString();
    const std::string settings = ui::dataPaths().settingsFile();
    const std::int64_t counter =
        std::atoll(settings::readSetting(settings, kCodeSection, kCounterKey).c_str());
    const auto made = bc::nextInStoreCode(counter, m_codeIndex);
    if (!made) {
        app::showMessage(this, QStringLiteral("店内码已用完"));
        return;
    }
    // The counter first: a code stored without it would be made again.
    if (!settings::writeSetting(settings, kCodeSection, kCounterKey,
                                std::to_string(made->counter))) {
        app::showMessage(this, QStringLiteral("店内码计数无法保存，未生成店内码"));
        return;
    }
    if (m_shop.joined()) {
        if (!sendToShop({server::CatalogueStep::addCode(made->code, goods)})) return;
        app::showMessage(this,
                         QStringLiteral("商品“%1”的店内码：%2").arg(qs(goods), qs(made->code)));
        return;
    }
    const storage::Status added = bc::addCodes(ui::dataPaths().barcodes(), {{made->code, goods}});
    loadCodes();
    if (!added.ok()) {
        app::showMessage(this, QStringLiteral("条码保存失败：") + qs(added.message()));
        return;
    }
    app::showMessage(this, QStringLiteral("商品“%1”的店内码：%2").arg(qs(goods), qs(made->code)));
}

// The goods whose names are ticked; without a tick, the chosen one.
std::vector<std::string> ProductWindow::checkedOrChosenNames() const {
    const QListWidget* names = ui->选择列表框_设置商品名称;
    std::vector<std::string> out;
    for (int i = 0; i < names->count(); ++i)
        if (names->item(i)->checkState() == Qt::Checked)
            out.push_back(names->item(i)->text().toStdString());
    if (out.empty() && m_selected && *m_selected < names->count())
        out.push_back(names->item(*m_selected)->text().toStdString());
    return out;
}

namespace {

// The labels of those goods, or why there are none.
std::vector<bc::ShelfLabel> labelsFor(const std::vector<std::string>& goods,
                                      const std::vector<bc::CodeEntry>& codes,
                                      const QListWidget* names, const QListWidget* prices,
                                      QString* problem) {
    const auto byGoods = bc::codesByGoods(codes);
    std::vector<bc::ShelfLabel> labels;
    for (const std::string& name : goods) {
        const auto it = byGoods.find(name);
        const std::string code = it == byGoods.end() ? std::string() : labelCode(it->second);
        if (code.empty()) {
            *problem =
                QStringLiteral("商品“%1”没有可印在标签上的条码，请先生成店内码").arg(qs(name));
            return {};
        }
        const auto found = names->findItems(qs(name), Qt::MatchExactly);
        const QString price =
            found.isEmpty() ? QString() : prices->item(names->row(found.first()))->text();
        labels.push_back({qs(name), price, code});
    }
    if (labels.empty()) *problem = QStringLiteral("请先勾选或选择要打印标签的商品");
    return labels;
}

}  // namespace

// The labels of the ticked (or the chosen) goods; none, and why said, when
// there is nothing to print.
std::vector<bc::ShelfLabel> ProductWindow::labelsToPrint() {
    QString problem;
    auto labels = labelsFor(checkedOrChosenNames(), m_codes, ui->选择列表框_设置商品名称,
                            ui->选择列表框_设置商品价格, &problem);
    if (labels.empty()) app::showMessage(this, problem);
    return labels;
}

void ProductWindow::printLabels() {
    const auto labels = labelsToPrint();
    if (labels.empty()) return;
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        app::showMessage(this, QStringLiteral("没有可用的打印机"));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("商品标签"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    QPrintDialog dialog(&printer, this);
    app::dressDialog(&dialog, dialog.windowTitle());
    if (dialog.exec() != QDialog::Accepted) return;
    QString problem;
    if (!bc::renderLabelSheet(printer, labels, &problem))
        app::showMessage(this, QStringLiteral("标签打印失败：") + problem);
}

void ProductWindow::saveLabelPdf() {
    const auto labels = labelsToPrint();
    if (labels.empty()) return;
    QString path = app::chooseSaveFile(this, QStringLiteral("PDF 文件 (*.pdf)"),
                                       QStringLiteral("商品标签.pdf"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    QString problem;
    if (!bc::writeLabelPdf(path, labels, &problem))
        app::showMessage(this, QStringLiteral("标签 PDF 保存失败：") + problem);
}

}  // namespace shop::products
