// Copying the catalogue's names into the checkout's goods combo. The names
// reach the product-save table only when the main window saves its list.
#pragma once

#include <QStringList>
#include <string>

class QComboBox;
class QWidget;

namespace shop::products {

// With an empty combo the names are appended at once. Otherwise the user is
// asked; on Yes the product-save table (found by its path) is made current
// and emptied, and the combo refilled. `parent` owns the messages.
void importProducts(QWidget* parent, QComboBox* goods, const QStringList& names,
                    const std::string& productSavePath);

}  // namespace shop::products
