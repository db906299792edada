// A stored day close on paper: a till slip with the shop's name, the close's
// head, its takings by payment method, the cash check and the note, drawn
// with the CJK font onto a printer page or into a PDF (which embeds the
// glyphs it draws with).
#pragma once

#include <QString>

#include "close_record.h"

class QPagedPaintDevice;

namespace shop::dayclose {

// Draws the slip from the top of the device's page, going on to a new page
// when it outgrows one. False when the device cannot be painted on.
bool renderClose(QPagedPaintDevice& device, const CloseRecord& record, const QString& shopName);

// The slip as a PDF of one page as long as it needs, put in place whole.
bool writeClosePdf(const QString& path, const CloseRecord& record, const QString& shopName);

}  // namespace shop::dayclose
