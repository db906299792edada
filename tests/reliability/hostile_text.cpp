#include "hostile_text.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <filesystem>

#include "storage/table.h"
#include "support/run_folder.h"

namespace shop::test {

namespace fs = std::filesystem;

QString tenThousandCharacters() {
    // 1 + 9,999 characters; the emoji is one character of two UTF-16 units.
    const QString unit =
        QStringLiteral("商品") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("a\t\x01名称九");
    QString text = kMark;
    while (text.size() - text.count(QString::fromUcs4(U"\U0001F600")) < 10000) text += unit;
    while (text.size() - text.count(QString::fromUcs4(U"\U0001F600")) > 10000) text.chop(1);
    return text;
}

QString gbkText(int bytes) {
    const QString two = QStringLiteral("员"), four = QString::fromUcs4(U"\U0001F600"),
                  one = QStringLiteral("a");
    QString text = kMark;
    int left = bytes - 2;
    for (int i = 0; left > 0; ++i) {
        if (i % 3 == 1 && left >= 4) {
            text += four;
            left -= 4;
        } else if (i % 3 == 0 && left >= 2) {
            text += two;
            left -= 2;
        } else {
            text += one;
            left -= 1;
        }
    }
    return text;
}

QStringList oddNames() {
    return {kMark + "../越界",
            kMark + "a/b",
            kMark + "a\\b",
            kMark + "..",
            kMark + "名\x01\x1f\x7f字",
            kMark + "行\n换",
            kMark + QString::fromUcs4(U"\U0001F600\U0001F9FE"),
            kMark + " 前后空格 "};
}

QStringList pasteIntoEveryEditBox(QWidget& window, const QString& text) {
    QApplication::clipboard()->setText(text);
    QStringList held{text};
    for (auto* edit : window.findChildren<QLineEdit*>()) {
        if (!edit->isEnabled() || edit->isReadOnly()) continue;
        edit->clear();
        edit->paste();
        held << edit->text();
    }
    for (auto* edit : window.findChildren<QPlainTextEdit*>()) {
        if (edit->isReadOnly()) continue;
        edit->clear();
        edit->paste();
        held << edit->toPlainText();
    }
    return held;
}

QStringList cutCopies(const std::string& runDir, const QStringList& texts) {
    QStringList cut;
    for (const auto& entry : fs::recursive_directory_iterator(runDir)) {
        if (entry.path().extension() != ".edb" || !entry.is_regular_file()) continue;
        for (const auto& record : readAll(entry.path().string()))
            for (const auto& value : record) {
                const QString v = QString::fromStdString(value);
                if (v.contains(kMark) && !texts.contains(v)) cut << v.left(40);
            }
    }
    return cut;
}

}  // namespace shop::test
