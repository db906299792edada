#include "product_import.h"

#include <QComboBox>
#include <vector>

#include "app/platform.h"
#include "storage/table.h"
#include "storage/table_replace.h"

namespace shop::products {

QString importQuestion(qsizetype count) {
    return QStringLiteral(
               "收银台的商品列表将换成这里的 %1 个产品，并立即保存；"
               "原有的商品列表不再保留。是否导入？")
        .arg(count);
}

void importProducts(QWidget* parent, QComboBox* goods, const QStringList& names,
                    const std::string& productSavePath) {
    if (!goods) return;
    if (names.isEmpty()) {
        // Nothing to sell: the goods list the cashier has stays.
        app::showMessage(parent, QStringLiteral("产品导入失败"));
        return;
    }
    if (goods->count() > 0 &&
        !app::askYesNo(parent, QStringLiteral("导入产品提示信息"), importQuestion(names.size())))
        return;
    if (!storage::reattach(productSavePath)) {  // made again if its file went
        app::showMessage(parent, QStringLiteral("选择取消"));
        return;
    }
    std::vector<std::string> stored;
    stored.reserve(static_cast<std::size_t>(names.size()));
    for (const QString& name : names) stored.push_back(name.toStdString());
    const std::vector<std::string>* columns[] = {&stored};
    if (!storage::replaceRecords(columns)) {
        // The table still holds the list the combo shows: both stay.
        app::showMessage(parent, QStringLiteral("产品导入失败"));
        return;
    }
    goods->clear();
    goods->addItems(names);
    app::showMessage(parent, QStringLiteral("产品导入成功"));
}

}  // namespace shop::products
