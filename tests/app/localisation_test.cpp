// The program's standard dialogs and calendars speak Chinese through Qt's own
// translations, not through texts of ours.
#include "app/localisation.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QLocale>
#include <QMessageBox>

namespace {

TEST(Localisation, StandardTextsAreChinese) {
    ASSERT_TRUE(shop::app::useChinese(*qApp)) << "qtbase_zh_CN.qm is part of the set-up";

    QMessageBox box(QMessageBox::NoIcon, QString(), QStringLiteral("提示"),
                    QMessageBox::Ok | QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')).left(1),
              QStringLiteral("是"));
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')).left(1),
              QStringLiteral("否"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));

    // Calendars take month and day names from the default locale.
    EXPECT_EQ(QLocale().language(), QLocale::Chinese);
    EXPECT_EQ(QLocale().monthName(12), QStringLiteral("十二月"));
    QCalendarWidget calendar;
    EXPECT_EQ(calendar.locale().language(), QLocale::Chinese);
}

}  // namespace
