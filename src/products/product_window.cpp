#include "product_window.h"

#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>

#include "app/platform.h"
#include "app/title_band.h"
#include "product_catalog.h"
#include "product_import.h"
#include "product_rules.h"
#include "storage/data_paths.h"
#include "storage/table_visit.h"
#include "ui/list_table.h"
#include "ui/run_paths.h"
#include "ui_product_window.h"

namespace shop::products {

namespace {

// The window's buttons whose designed names say something other than what
// they do, by their role.
QPushButton& changeButton(const Ui::ProductWindow& form) { return *form.图形按钮_生成账单2; }
QPushButton& emptyButton(const Ui::ProductWindow& form) { return *form.图形按钮_生成账单1; }

QListWidgetItem* checkItem(const QString& text) {
    auto* item = new QListWidgetItem(text);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    return item;
}

void fillList(QListWidget* list, const std::vector<std::string>& texts) {
    for (const std::string& t : texts) list->addItem(checkItem(ui::fromStd(t)));
}

std::vector<std::string> listTexts(const QListWidget* list) {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
    return out;
}

void applyLook(Ui::ProductWindow& ui) {
    app::styleActionButton(ui.图形按钮_添加产品, QStringLiteral("act-add"));
    app::styleActionButton(&changeButton(ui), QStringLiteral("act-edit"));
    app::styleActionButton(&emptyButton(ui), QStringLiteral("act-clear"));
    app::styleActionButton(ui.图形按钮_导入产品, QStringLiteral("act-import"));
    app::styleActionButton(ui.图形按钮_店内码, QStringLiteral("act-add"));
    app::styleActionButton(ui.图形按钮_打印标签, QStringLiteral("act-receipt"));
    for (QLabel* caption :
         {ui.透明标签_名称列, ui.透明标签_价格列, ui.透明标签_数量列, ui.透明标签_条码列}) {
        QFont f = caption->font();
        f.setBold(true);
        caption->setFont(f);
    }
    ui.透明标签_提示->setStyleSheet(QStringLiteral("color: #6d7b89;"));
}

const QString kUnreadable = QStringLiteral("产品数据库读取失败，请你检查数据库");

}  // namespace

ProductWindow::ProductWindow(const app::CheckoutArea& checkout, QWidget* parent,
                             const std::string& code)
    : app::FramelessWindow(parent),
      ui(std::make_unique<Ui::ProductWindow>()),
      m_checkout(checkout),
      m_shop(ui::dataPaths().runDir) {
    ui->setupUi(this);
    setDesignedGeometry(QSize(718, 424));
    setWindowTitle(QStringLiteral("添加产品_窗口"));
    applyLook(*ui);

    setTitleBar({ui->图片框_移动, ui->透明标签3, ui->图形按钮1_关闭1, ui->图形按钮1_关闭4,
                 ui->图形按钮1_关闭5},
                QStringLiteral("product/图片框_移动"), app::DragReset::AtCreation);

    QListWidget* const lists[] = {ui->选择列表框_设置商品名称, ui->选择列表框_设置商品价格,
                                  ui->选择列表框_设置商品数量, ui->选择列表框_设置商品条码};
    for (QListWidget* list : lists) {
        list->setUniformItemSizes(true);  // a large catalogue lays out at once
        // Chosen means selected by the user (click or keys). Focus alone makes
        // a row current without selecting it, and must not fill the boxes.
        connect(list, &QListWidget::itemSelectionChanged, this, [this, list] {
            const QList<QListWidgetItem*> chosen = list->selectedItems();
            if (!chosen.isEmpty()) showEntry(list, list->row(chosen.first()));
        });
        connect(list, &QListWidget::itemClicked, this,
                [this, list](QListWidgetItem* item) { showEntry(list, list->row(item)); });
    }
    // One product reads across one row of the three lists.
    ui::joinAsTable(
        {ui->透明标签_名称列, ui->透明标签_价格列, ui->透明标签_数量列, ui->透明标签_条码列},
        {std::begin(lists), std::end(lists)});

    m_menu = new QMenu(QStringLiteral("功能项目"), this);
    m_menu->setObjectName(QStringLiteral("功能项目"));
    m_menu->addAction(QStringLiteral("删除项目"));  // offered, does nothing
    ui->选择列表框_设置商品名称->viewport()->installEventFilter(this);

    connect(ui->图形按钮_添加产品, &QPushButton::clicked, this, &ProductWindow::addProduct);
    connect(&changeButton(*ui), &QPushButton::clicked, this, &ProductWindow::changeChosen);
    connect(&emptyButton(*ui), &QPushButton::clicked, this, &ProductWindow::emptyCatalog);
    connect(ui->图形按钮_导入产品, &QPushButton::clicked, this, &ProductWindow::importNames);

    watchTypedInput();
    if (!loadCatalog()) app::showMessage(this, kUnreadable);
    setUpCodes(code);
    ui->编辑框_名称->setFocus();  // typing a new product is the common case
}

ProductWindow::~ProductWindow() = default;  // ends the table visit

void ProductWindow::done(int result) {
    m_table.reset();
    app::FramelessWindow::done(result);
}

bool ProductWindow::loadCatalog() {
    const std::string path = ui::dataPaths().product();
    if (!m_table || !m_table->opened()) m_table = std::make_unique<storage::TableVisit>(path);
    const std::optional<Catalog> catalog = m_table->opened() ? readCatalog(path) : std::nullopt;
    m_readable = catalog.has_value();
    if (catalog) fillLists(*catalog);
    return m_readable;
}

bool ProductWindow::catalogReadable() {
    // Until the catalogue has been read, every write would rewrite the
    // product table from lists that are not it: refused, and read again at
    // each try.
    if (m_readable || loadCatalog()) return true;
    app::showMessage(this, kUnreadable);
    return false;
}

void ProductWindow::fillLists(const Catalog& catalog) {
    m_selected.reset();
    for (QListWidget* l :
         {ui->选择列表框_设置商品名称, ui->选择列表框_设置商品价格, ui->选择列表框_设置商品数量})
        l->clear();
    fillList(ui->选择列表框_设置商品名称, catalog.names);
    fillList(ui->选择列表框_设置商品价格, catalog.prices);
    fillList(ui->选择列表框_设置商品数量, catalog.quantities);
    showCodes();
}

void ProductWindow::appendEntry(const QString& name, const QString& price,
                                const QString& quantity) {
    ui->选择列表框_设置商品名称->addItem(checkItem(name));
    ui->选择列表框_设置商品价格->addItem(checkItem(price));
    ui->选择列表框_设置商品数量->addItem(checkItem(quantity));
}

Catalog ProductWindow::catalogFromLists() const {
    return {listTexts(ui->选择列表框_设置商品名称), listTexts(ui->选择列表框_设置商品价格),
            listTexts(ui->选择列表框_设置商品数量)};
}

bool ProductWindow::sendToShop(const std::vector<server::CatalogueStep>& steps) {
    // The table is let go while the catalogue that comes back replaces it,
    // and read afresh afterwards.
    m_table.reset();
    const std::optional<QString> refused = m_shop.send(this, steps);
    // Refused or not, the lists show the tables, which hold what the server
    // last gave (a refusal because the catalogue moved brought it down).
    loadCatalog();
    loadCodes();
    if (refused) app::showMessage(this, *refused);
    return !refused;
}

void ProductWindow::showEntry(QListWidget* /*list*/, int row) {
    if (row < 0) return;
    m_selected = row;
    const auto textAt = [row](const QListWidget* l) {
        const QListWidgetItem* item = l->item(row);
        return item ? item->text() : QString();
    };
    ui->编辑框_名称->setText(textAt(ui->选择列表框_设置商品名称));
    ui->编辑框_产品价格->setText(textAt(ui->选择列表框_设置商品价格));
    ui->编辑框_数量->setText(textAt(ui->选择列表框_设置商品数量));
}

void ProductWindow::addProduct() {
    const QString name = ui->编辑框_名称->text();
    const QString price = ui->编辑框_产品价格->text();
    const QString quantity = ui->编辑框_数量->text();
    const AddDecision decision =
        decideAdd(name.toStdString(), price.toStdString(), quantity.toStdString());
    if (!decision.accept) {
        if (!decision.message.empty())
            app::showMessage(this, QString::fromStdString(decision.message));
        return;
    }
    if (!catalogReadable()) return;  // the boxes keep what was typed
    if (!typedCodeFits(name)) return;
    if (m_shop.joined()) {
        std::vector<server::CatalogueStep> steps = typedCodeSteps(name);
        steps.insert(steps.begin(), server::CatalogueStep::add(
                                        name.toStdString(), catalogPrice(price.toStdString()),
                                        std::atoll(quantity.toStdString().c_str())));
        if (!sendToShop(steps)) return;  // the boxes keep what was typed
        for (QLineEdit* box :
             {ui->编辑框_数量, ui->编辑框_产品价格, ui->编辑框_名称, ui->编辑框_条码})
            box->clear();
        inputStored();
        return;
    }
    appendEntry(name, QString::fromStdString(catalogPrice(price.toStdString())), quantity);
    ui->编辑框_数量->clear();
    ui->编辑框_产品价格->clear();
    ui->编辑框_名称->clear();

    // The batch kept the old catalogue in the table; the program ends as it
    // always has after a failed add.
    if (storeCatalog(catalogFromLists()) == StoreResult::Failed) {
        app::showMessage(this, QStringLiteral("产品添加失败"));
        app::exitProcess(0);
        return;
    }
    storeTypedCode(name);
    inputStored();
}

void ProductWindow::changeChosen() {
    QListWidget* const names = ui->选择列表框_设置商品名称;
    QListWidget* const prices = ui->选择列表框_设置商品价格;
    QListWidget* const quantities = ui->选择列表框_设置商品数量;
    if (!catalogReadable() || !m_selected) return;
    const int k = *m_selected;
    if (k >= std::min({names->count(), prices->count(), quantities->count()})) return;
    if (!typedCodeFits(ui->编辑框_名称->text(), names->item(k)->text())) return;
    if (m_shop.joined()) {
        const QString name = ui->编辑框_名称->text();
        std::vector<server::CatalogueStep> steps = typedCodeSteps(name, names->item(k)->text());
        steps.insert(steps.begin(),
                     server::CatalogueStep::change(
                         k + 1, names->item(k)->text().toStdString(), name.toStdString(),
                         catalogPrice(ui->编辑框_产品价格->text().toStdString()),
                         std::atoll(ui->编辑框_数量->text().toStdString().c_str())));
        if (!sendToShop(steps)) return;  // the boxes keep the typed texts
        ui->编辑框_条码->clear();
        inputStored();
        return;
    }
    QListWidgetItem* const entry[] = {quantities->item(k), prices->item(k), names->item(k)};
    // The price is kept as an add keeps it, with its 元.
    const QString typed[] = {
        ui->编辑框_数量->text(),
        QString::fromStdString(catalogPrice(ui->编辑框_产品价格->text().toStdString())),
        ui->编辑框_名称->text()};
    QString before[3];
    for (int i = 0; i < 3; ++i) {
        before[i] = entry[i]->text();
        entry[i]->setText(typed[i]);
    }
    if (storeCatalog(catalogFromLists()) != StoreResult::Failed) {
        storeTypedCode(typed[2], before[2]);
        inputStored();
        return;
    }
    // The table still holds the old entry: so do the lists, and the boxes
    // keep the typed texts for another try.
    for (int i = 0; i < 3; ++i) entry[i]->setText(before[i]);
    app::showMessage(this, QStringLiteral("产品修改失败"));
}

void ProductWindow::emptyCatalog() {
    if (!catalogReadable()) return;
    if (!app::askYesNo(this, QStringLiteral("清空产品提示信息"),
                       QString::fromStdString(emptyQuestion(ui->选择列表框_设置商品名称->count()))))
        return;
    if (m_shop.joined()) {
        if (!sendToShop({server::CatalogueStep::empty()})) return;
        if (m_checkout.goods) m_checkout.goods->clear();
        app::showMessage(this, QStringLiteral("产品数据库清空成功"));
        return;
    }
    const EmptyResult result =
        emptyCatalogAndGoods(ui::dataPaths().productSave(), ui::dataPaths().barcodes());
    if (result == EmptyResult::NoTable) return;
    if (result == EmptyResult::GoodsKept) {
        app::showMessage(this, QStringLiteral("产品数据库清空失败"));
        return;
    }
    // The checkout shows what the goods list now holds: nothing.
    if (m_checkout.goods) m_checkout.goods->clear();
    if (result == EmptyResult::Failed) {
        app::showMessage(this, QStringLiteral("产品数据库清空失败"));
        return;
    }
    app::showMessage(this, QStringLiteral("产品数据库清空成功"));
    if (result == EmptyResult::CodesKept)
        app::showMessage(this, QStringLiteral("商品条码表未能清空，其中的条码已无对应产品：") +
                                   QString::fromStdString(ui::dataPaths().barcodes()));
    ui->选择列表框_设置商品数量->clear();
    ui->选择列表框_设置商品价格->clear();
    ui->选择列表框_设置商品名称->clear();
    loadCodes();
}

void ProductWindow::importNames() {
    // An unread catalogue would empty the goods combo and the product-save
    // table in its place.
    if (!catalogReadable()) return;
    // The goods list is the shop's: every till takes it down again.
    if (m_shop.joined() && !sendToShop({server::CatalogueStep::publish()})) return;
    QStringList names;
    const QListWidget* list = ui->选择列表框_设置商品名称;
    names.reserve(list->count());
    for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
    importProducts(this, m_checkout.goods, names, ui::dataPaths().productSave());
}

bool ProductWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->选择列表框_设置商品名称->viewport() &&
        event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::RightButton) m_menu->popup(press->globalPosition().toPoint());
    }
    return app::FramelessWindow::eventFilter(watched, event);
}

void openProductWindow(QWidget* parent, const app::CheckoutArea& checkout) {
    ProductWindow window(checkout, parent);
    window.exec();
}

void openProductWindowForCode(QWidget* parent, const app::CheckoutArea& checkout,
                              const std::string& code) {
    ProductWindow window(checkout, parent, code);
    window.exec();
}

}  // namespace shop::products
