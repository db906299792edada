#include "storage/date_text.h"

#include <gtest/gtest.h>

using namespace shop::storage;

TEST(DateText, RendersMomentsAndMidnightDates) {
    EXPECT_EQ(dateText({2024, 3, 5, 14, 7, 9}), "2024年3月5日14时7分9秒");
    EXPECT_EQ(dateText({2024, 3, 5, 0, 0, 0}), "2024年3月5日");
    EXPECT_EQ(dateText({2024, 12, 31, 0, 0, 1}), "2024年12月31日0时0分1秒");
    EXPECT_EQ(datePartText({2024, 3, 5, 14, 7, 9}), "2024年3月5日");
}

TEST(DateText, TheDayIsAPrefixOfEveryMomentAndHasOneDayMark) {
    const Moment m{2026, 12, 8, 23, 59, 59};
    const std::string text = dateText(m);
    EXPECT_EQ(text.rfind(datePartText(m), 0), 0u);
    EXPECT_EQ(text.find("日"), datePartText(m).size() - std::string("日").size());
    EXPECT_EQ(text.find("日", text.find("日") + 1), std::string::npos);
    EXPECT_EQ(text.find_first_of("/\\:*?\"<>|"), std::string::npos);  // usable in a file name
}

TEST(DateText, ParsesBackToTheSameValue) {
    for (const Moment& m :
         {Moment{2024, 3, 5, 14, 7, 9}, Moment{2024, 2, 29, 0, 0, 0}, Moment{1, 1, 1, 0, 0, 0},
          Moment{9999, 12, 31, 23, 59, 59}, Moment{2000, 1, 1, 0, 0, 1}}) {
        const auto back = parseDateText(dateText(m));
        ASSERT_TRUE(back.has_value()) << dateText(m);
        EXPECT_EQ(*back, m);
    }
}

TEST(DateText, RefusesWhatIsNotADateText) {
    for (const char* bad :
         {"", "2024年3月", "2024年2月30日", "2023年2月29日", "2024年13月1日", "2024年3月5日14时",
          "2024年3月5日24时0分0秒", "2024年3月5日x", "年月日", "20240年1月1日", "-1年1月1日",
          "2024年3月5日14时7分9秒extra", "2024年3月5日14时60分0秒"})
        EXPECT_FALSE(parseDateText(bad).has_value()) << bad;
}

TEST(DayNumber, CountsDaysAcrossMonthsYearsAndLeapDays) {
    EXPECT_EQ(dayNumber({2024, 3, 1}) - dayNumber({2024, 2, 28}), 2);
    EXPECT_EQ(dayNumber({2023, 3, 1}) - dayNumber({2023, 2, 28}), 1);
    EXPECT_EQ(dayNumber({2025, 1, 1}) - dayNumber({2024, 1, 1}), 366);
    EXPECT_EQ(dayNumber({2100, 3, 1}) - dayNumber({2100, 2, 28}), 1);
    for (long long d = dayNumber({1999, 12, 1}); d < dayNumber({2001, 3, 1}); ++d)
        EXPECT_EQ(dayNumber(fromDayNumber(d)), d);
    EXPECT_EQ(fromDayNumber(dayNumber({2024, 2, 29}) + 1), (Moment{2024, 3, 1}));
}
