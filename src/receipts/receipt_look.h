// The look of the two receipt windows: a title band in the program's colours
// and a receipt that reads like a till slip (white paper, dashed rules,
// monospaced figures).
#pragma once

class QDialog;

namespace Ui {
class ReceiptWindow;
class ReceiptSettingsWindow;
}  // namespace Ui

namespace shop::receipts {

void applyReceiptLook(Ui::ReceiptWindow& ui, QDialog* window);
void applySettingsLook(Ui::ReceiptSettingsWindow& ui, QDialog* window);

}  // namespace shop::receipts
