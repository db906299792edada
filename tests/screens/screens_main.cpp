// Runs the screen-size tests inside a QApplication on the offscreen platform
// with one screen of the size given by --screen=WIDTHxHEIGHT, like a till's
// monitor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

#include "screens_test.h"

namespace shop::test {

namespace {
QSize g_screen = kSmallestScreen;
}

QRect testScreen() { return QRect(QPoint(0, 0), g_screen); }

}  // namespace shop::test

namespace {

// Takes --screen=WIDTHxHEIGHT out of the arguments; false when it is malformed.
bool takeScreenArgument(int& argc, char** argv) {
    const char* const prefix = "--screen=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix, std::strlen(prefix)) != 0) continue;
        const auto m = QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)$"))
                           .match(QString::fromUtf8(argv[i] + std::strlen(prefix)));
        if (!m.hasMatch()) return false;
        shop::test::g_screen = QSize(m.captured(1).toInt(), m.captured(2).toInt());
        for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
        --argc;
        return true;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (!takeScreenArgument(argc, argv)) {
        std::fprintf(stderr, "usage: screens_tests [--screen=WIDTHxHEIGHT] [gtest options]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    const QRect screen = shop::test::testScreen();
    file.write(
        QStringLiteral(
            R"({"screens": [{"name": "till", "x": 0, "y": 0, "width": %1, "height": %2, "logicalDpi": 96}]})")
            .arg(screen.width())
            .arg(screen.height())
            .toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
