#include "product_import.h"

#include <QComboBox>

#include "app/platform.h"
#include "storage/table.h"

namespace shop::products {

namespace {
void fillAndReport(QWidget* parent, QComboBox* goods, const QStringList& names) {
    goods->addItems(names);
    app::showMessage(parent, goods->count() > 0 ? QStringLiteral("产品导入成功")
                                                : QStringLiteral("产品导入失败"));
}
}  // namespace

void importProducts(QWidget* parent, QComboBox* goods, const QStringList& names,
                    const std::string& productSavePath) {
    if (!goods) return;
    if (goods->count() == 0) {
        fillAndReport(parent, goods, names);
        return;
    }
    if (!app::askYesNo(parent, QStringLiteral("导入产品提示信息"),
                       QStringLiteral("是否清空产品清空数据库，再导入产品")))
        return;
    if (!storage::reattach(productSavePath)) {  // made again if its file went
        app::showMessage(parent, QStringLiteral("选择取消"));
        return;
    }
    if (!storage::zap()) return;
    goods->clear();
    fillAndReport(parent, goods, names);
}

}  // namespace shop::products
