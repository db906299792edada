// Careless and hostile input for the windows' edit boxes, and a check that no
// table keeps a cut copy of it.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

class QWidget;

namespace shop::test {

// Every hostile text starts with this mark, so a stored value that carries
// it must be one of them, whole.
inline const QString kMark = QStringLiteral("§");

// 10,000 characters: Chinese, emoji (outside the basic plane), Latin, a tab
// and a control character.
QString tenThousandCharacters();

// A text of exactly `bytes` bytes in GB18030, mixing one-, two- and
// four-byte characters, starting with kMark (two bytes).
QString gbkText(int bytes);

// Short texts that fit every field but are odd as names: path separators,
// "..", control characters, emoji.
QStringList oddNames();

// Pastes the text into every single-line and multi-line edit box of the
// window, as a user pasting from the clipboard would. Returns what the boxes
// hold afterwards (a box with a length limit shows the user what it took).
QStringList pasteIntoEveryEditBox(QWidget& window, const QString& text);

// Values in any table under the run folder that carry kMark but are not one
// of the texts whole (a cut copy). Empty when none.
QStringList cutCopies(const std::string& runDir, const QStringList& texts);

}  // namespace shop::test
