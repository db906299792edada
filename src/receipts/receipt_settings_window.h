// Typing a new receipt header and putting it into the open receipt window.
// Nothing is saved here: the receipt window stores its header when it closes.
#pragma once

#include <memory>

#include "app/frameless_window.h"

namespace Ui {
class ReceiptSettingsWindow;
}

namespace shop::receipts {

class ReceiptWindow;

class ReceiptSettingsWindow : public app::FramelessWindow {
public:
    explicit ReceiptSettingsWindow(ReceiptWindow& receipt, QWidget* parent = nullptr);
    ~ReceiptSettingsWindow() override;

    // 图形按钮1: every box into its receipt label, empty ones included.
    void apply();

private:
    std::unique_ptr<Ui::ReceiptSettingsWindow> ui;
    ReceiptWindow& m_receipt;
};

}  // namespace shop::receipts
