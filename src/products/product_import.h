// Copying the catalogue's names into the checkout's goods combo. The names
// are stored in the product-save table in the same step, so the goods list
// the next start offers is the one imported.
#pragma once

#include <QStringList>
#include <string>

class QComboBox;
class QWidget;

namespace shop::products {

// The question asked before a combo that holds names is replaced by `count`
// imported ones.
QString importQuestion(qsizetype count);

// With an empty combo the names go in at once; otherwise the user is asked
// first. The product-save table (found by its path; it is current
// afterwards) is then replaced by the names in one step, and only when that
// succeeded is the combo refilled. A failed store changes neither; an empty
// list of names is refused before anything is asked or changed. `parent`
// owns the messages.
void importProducts(QWidget* parent, QComboBox* goods, const QStringList& names,
                    const std::string& productSavePath);

}  // namespace shop::products
