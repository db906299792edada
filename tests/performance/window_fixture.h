// A performance window over a fresh run folder, with a scripted platform and
// a folder for the files its exports write.
#pragma once

#include <gtest/gtest.h>

#include <QDateEdit>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/scripted_platform.h"
#include "performance/performance_window.h"
#include "sales_fixture.h"

namespace shop::test {

class PerformanceWindowFixture : public ::testing::Test {
protected:
    // Sets the two dates and clicks the query button.
    void query(QDate first, QDate last) {
        window.findChild<QDateEdit*>(QStringLiteral("日期框_起"))->setDate(first);
        window.findChild<QDateEdit*>(QStringLiteral("日期框_终"))->setDate(last);
        window.findChild<QPushButton*>(QStringLiteral("图形按钮_查询"))->click();
    }
    QString file(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    static std::string bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }

    app::ScriptedPlatform platform;
    RunFolder run;
    QTemporaryDir dir;
    performance::PerformanceWindow window;
};

}  // namespace shop::test
