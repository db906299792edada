// In-store codes: the layouts of a rule file and the labels read by them.
#include "barcodes/store_codes.h"

#include <gtest/gtest.h>

#include <limits>

#include "barcodes/check_digit.h"

namespace shop::barcodes {
namespace {

TEST(StoreLayouts, OnlyWellFormedLayoutsAreTaken) {
    const struct {
        const char* text;
        bool taken;
        LabelAmount amount;
    } cases[] = {
        {"2 F CCCCC PPPPP K", true, LabelAmount::Price},
        {"2FCCCCCPPPPPK", true, LabelAmount::Price},
        {"2 1 CCCCC WWWWW K", true, LabelAmount::Weight},
        {"22 CCCC PPPPPP K", true, LabelAmount::Price},
        {"2 F CCCCC PPPPP", false, {}},     // no check digit
        {"2 F CCCCC PPPP K", false, {}},    // 12 letters
        {"2 F CCCCC PPPPPP K", false, {}},  // 14 letters
        {"F 2 CCCCC PPPPP K", false, {}},   // no fixed first digit
        {"2 F CCCPP CCPPP K", false, {}},   // the goods number broken up
        {"2 F CCCCC PPWWW K", false, {}},   // price and weight
        {"2 F CCCCC FFFFF K", false, {}},   // no amount
        {"2 F CCCCC PPPPK K", false, {}},   // two check digits
        {"2 F CCCCC PPPPP X", false, {}},   // a letter of no meaning
    };
    for (const auto& c : cases) {
        const auto layout = parseLayout(c.text);
        EXPECT_EQ(layout.has_value(), c.taken) << c.text;
        if (layout && c.taken) {
            EXPECT_EQ(layout->amount, c.amount) << c.text;
        }
    }
}

TEST(StoreLayouts, ARuleFileKeepsItsGoodLinesInOrderAndNamesTheRest) {
    const StoreRules rules =
        parseRules("# 电子秤\n\n2 1 CCCCC WWWWW K\r\n2 F CCCCC PPPPP\n2 F CCCCC PPPPP K\n");
    ASSERT_EQ(rules.layouts.size(), 2u);
    EXPECT_EQ(rules.layouts[0].pattern, "21CCCCCWWWWWK");
    EXPECT_EQ(rules.layouts[1].pattern, "2FCCCCCPPPPPK");
    ASSERT_EQ(rules.problems.size(), 1u);
    EXPECT_EQ(rules.problems[0], "line 4: 2 F CCCCC PPPPP");

    for (const char* nothingGood : {"", "# only a comment\n", "3 F CCCCC\n"})
        EXPECT_EQ(parseRules(nothingGood).layouts.at(0).pattern, defaultLayout().pattern);
    EXPECT_EQ(parseRules(defaultRulesText()).layouts.size(), 1u) << "the shipped text reads";
    EXPECT_TRUE(parseRules(defaultRulesText()).problems.empty());
}

TEST(StoreLabels, AreReadByTheFirstLayoutThatFits) {
    const std::vector<StoreLayout> layouts = {*parseLayout("2 1 CCCCC WWWWW K"), defaultLayout()};
    const struct {
        const char* body;  // the label without its check digit
        const char* goods;
        LabelAmount amount;
        std::int64_t value;
    } cases[] = {
        {"271234501234", "2712345", LabelAmount::Price, 1234},
        {"200000100320", "2000001", LabelAmount::Price, 320},
        {"210000100750", "2100001", LabelAmount::Weight, 750},
        {"299999999999", "2999999", LabelAmount::Price, 99999},
        {"270000100000", "2700001", LabelAmount::Price, 0},
    };
    for (const auto& c : cases) {
        const std::string code = withCheckDigit(c.body);
        const auto label = readStoreLabel(layouts, code);
        ASSERT_TRUE(label.has_value()) << code;
        EXPECT_EQ(label->goodsCode, c.goods) << code;
        EXPECT_EQ(label->amount, c.amount) << code;
        EXPECT_EQ(label->value, c.value) << code;
    }
    // Not a label: another first digit, a wrong check digit, not 13 digits.
    for (const char* code : {"6901234567892", "2712345012349", "27123454", "271234501234"})
        EXPECT_FALSE(readStoreLabel(layouts, code).has_value()) << code;
}

TEST(StoreLabels, ScaleKeysHaveTheLayoutsKeyForm) {
    const std::vector<StoreLayout> layouts = {*parseLayout("2 1 CCCCC WWWWW K"),
                                              *parseLayout("22 CCCC PPPPPP K")};
    const struct {
        const char* code;
        bool key;
    } cases[] = {{"2100001", true},   {"220001", true},   {"2000001", false},
                 {"21000011", false}, {"2200001", false}, {"21a0001", false}};
    for (const auto& c : cases) EXPECT_EQ(isScaleKey(layouts, c.code), c.key) << c.code;
}

TEST(StoreLabels, AWeighedPriceIsRoundedHalfUpToTheFen) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    const struct {
        std::int64_t fenPerKilo, grams, fen;
    } cases[] = {
        {1280, 750, 960},   {1299, 500, 650},                    // 649.5 rounds up
        {1299, 1, 1},       {999, 1, 1},           {499, 1, 0},  // 0.499 fen
        {3200, 2500, 8000}, {1234, 99999, 123399},               // 123398.766
        {0, 500, 0},        {1280, 0, 0},          {kMax / 2, 3000, kMax},
    };
    for (const auto& c : cases)
        EXPECT_EQ(weighedPrice(c.fenPerKilo, c.grams), c.fen) << c.fenPerKilo << " x " << c.grams;
}

TEST(StoreLabels, InStoreCodesBeginWith2AndCarryTheCounter) {
    const struct {
        std::int64_t counter;
        const char* code;
    } cases[] = {{1, "2000000000015"}, {12345, "2000000123455"}, {99999999999, "2999999999991"}};
    for (const auto& c : cases) {
        EXPECT_EQ(inStoreCode(c.counter), c.code);
        EXPECT_TRUE(checkDigitValid(c.code));
    }
    EXPECT_FALSE(inStoreCode(100000000000).has_value());
    EXPECT_FALSE(inStoreCode(-1).has_value());
}

}  // namespace
}  // namespace shop::barcodes
