// The product catalogue: three parallel check-list boxes loaded from the
// product table, a form to add a product or change the chosen one, emptying
// the catalogue, and the import of its names into the checkout.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/checkout_area.h"
#include "app/frameless_window.h"
#include "barcodes/code_index.h"
#include "shop_catalogue.h"

class QListWidget;
class QMenu;

namespace Ui {
class ProductWindow;
}

namespace shop::storage {
class TableVisit;
}

namespace shop::barcodes {
struct ShelfLabel;
}

namespace shop::products {

struct Catalog;

class ProductWindow : public app::FramelessWindow {
public:
    // Opens the product table and loads the lists; the table stays open
    // while the window lives. A table that cannot be opened or read is said
    // to be unreadable, and adds, changes, emptying and the import are
    // refused until a later try reads it.
    // A code scanned at the counter that no goods has yet comes filled in.
    explicit ProductWindow(const app::CheckoutArea& checkout, QWidget* parent = nullptr,
                           const std::string& code = {});
    ~ProductWindow() override;

    // Whichever way the window closes, the product table it opened is closed
    // with it, and no other: after an import the main window's product-save
    // table is current, and it must stay open.
    void done(int result) override;

    void showEntry(QListWidget* list, int row);  // an entry chosen in any list
    void addProduct();                           // 图形按钮_添加产品
    void changeChosen();                         // 图形按钮_生成账单2
    void emptyCatalog();                         // 图形按钮_生成账单1
    void importNames();                          // 图形按钮_导入产品
    void giveInStoreCode();  // 图形按钮_店内码 (product_window_codes.cpp)
    void printLabels();      // 图形按钮_打印标签
    void saveLabelPdf();

    QMenu* popupMenu() const { return m_menu; }  // "功能项目"
    QMenu* labelMenu() const { return m_labelMenu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool loadCatalog();
    // On a till joined to a shop server: the edit goes there first, and the
    // lists show what came back down; said, and false, when it was refused.
    bool sendToShop(const std::vector<server::CatalogueStep>& steps);
    // The steps for the code box's code, once goods `goods` holds it.
    std::vector<server::CatalogueStep> typedCodeSteps(const QString& goods,
                                                      const QString& renamedFrom = {}) const;
    bool catalogReadable();
    void fillLists(const Catalog& catalog);
    void appendEntry(const QString& name, const QString& price, const QString& quantity);
    Catalog catalogFromLists() const;
    // The barcode table (product_window_codes.cpp).
    void setUpCodes(const std::string& code);
    bool loadCodes();
    void showCodes();
    bool typedCodeFits(const QString& goods, const QString& renamedFrom = {});
    bool storeTypedCode(const QString& goods, const QString& renamedFrom = {});
    std::vector<std::string> checkedOrChosenNames() const;
    std::vector<barcodes::ShelfLabel> labelsToPrint();

    std::unique_ptr<Ui::ProductWindow> ui;
    app::CheckoutArea m_checkout;
    QMenu* m_menu = nullptr;
    QMenu* m_labelMenu = nullptr;
    std::vector<barcodes::CodeEntry> m_codes;  // the barcode table as read
    barcodes::CodeIndex m_codeIndex;
    std::optional<int> m_selected;
    ShopCatalogue m_shop;                          // joined to a shop server or not
    std::unique_ptr<storage::TableVisit> m_table;  // the product table, while shown
    bool m_readable = false;                       // the lists hold what it holds
};

// What the main window's 图形按钮_添加产品 does: the window, modally.
void openProductWindow(QWidget* parent, const app::CheckoutArea& checkout);
// The same, with a code scanned at the counter filled in.
void openProductWindowForCode(QWidget* parent, const app::CheckoutArea& checkout,
                              const std::string& code);

}  // namespace shop::products
