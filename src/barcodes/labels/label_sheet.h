// Shelf labels for goods: name, price and the EAN-13 bar symbol of the
// goods' code, three across and eight down on an A4 sheet of 70 x 37 mm
// labels, for a printer or a PDF file.
#pragma once

#include <QImage>
#include <QString>
#include <string>
#include <vector>

class QPagedPaintDevice;

namespace shop::barcodes {

struct ShelfLabel {
    QString name;
    QString price;     // as the catalogue keeps it ("12.8元")
    std::string code;  // EAN-13 or EAN-8, with its check digit
};

inline constexpr int kLabelColumns = 3;
inline constexpr int kLabelRows = 8;

// Draws the labels onto the device's pages, as many sheets as they need.
// False, with `problem` set, when a code has no symbol (nothing is drawn)
// or the device cannot be painted on.
bool renderLabelSheet(QPagedPaintDevice& device, const std::vector<ShelfLabel>& labels,
                      QString* problem = nullptr);

// The sheet as a PDF file at `path`, put in place whole.
bool writeLabelPdf(const QString& path, const std::vector<ShelfLabel>& labels,
                   QString* problem = nullptr);

// One label as a picture at `dotsPerMm` (for the screen, and to check that
// its symbol reads back).
QImage labelImage(const ShelfLabel& label, int dotsPerMm);

}  // namespace shop::barcodes
