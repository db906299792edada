// An EAN bar symbol, encoded by Zint and drawn with QPainter from Zint's
// vector output: bars and the digits under them, scaled into a rectangle.
#pragma once

#include <QRectF>
#include <QString>
#include <memory>
#include <string>

class QPainter;

namespace shop::barcodes {

class BarSymbol {
public:
    // The symbol of an EAN-13 or EAN-8 code with its check digit; one that
    // Zint refuses is not valid() and says why.
    explicit BarSymbol(const std::string& code);
    ~BarSymbol();
    BarSymbol(const BarSymbol&) = delete;
    BarSymbol& operator=(const BarSymbol&) = delete;

    bool valid() const { return m_valid; }
    const QString& error() const { return m_error; }
    // Width over height of the symbol with its quiet zones and digits.
    double aspect() const;
    // Draws the symbol as large as fits `box`, centred, keeping its shape.
    void draw(QPainter& painter, const QRectF& box) const;

private:
    struct Symbol;
    std::unique_ptr<Symbol> m_symbol;
    bool m_valid = false;
    QString m_error;
};

}  // namespace shop::barcodes
