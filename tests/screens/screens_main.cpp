// Runs the screen-size tests inside a QApplication on the offscreen platform
// with one screen of the size the tests name, like a till's monitor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "screens_test.h"

int main(int argc, char** argv) {
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write(
        QStringLiteral(
            R"({"screens": [{"name": "till", "x": 0, "y": 0, "width": %1, "height": %2, "logicalDpi": 96}]})")
            .arg(shop::test::kScreen.width())
            .arg(shop::test::kScreen.height())
            .toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
