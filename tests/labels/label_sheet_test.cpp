// Shelf labels: a PDF read back with pdftotext and pdfinfo, and a label's
// symbol read back with zbarimg (zbar-tools), as a scanner would read it.
#include "barcodes/labels/label_sheet.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "barcodes/check_digit.h"
#include "support/command_output.h"

namespace shop::barcodes {
namespace {

using test::commandOutput;
std::string run(const std::string& command) { return commandOutput(command); }
std::string quoted(const QString& path) { return test::shellQuoted(path); }

class LabelSheet : public ::testing::Test {
protected:
    void SetUp() override {
        if (run("command -v pdftotext").empty() || run("command -v zbarimg").empty())
            GTEST_SKIP() << "pdftotext (poppler-utils) or zbarimg (zbar-tools) is not installed";
    }
    QString file(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir m_dir;
};

TEST_F(LabelSheet, APdfSheetHoldsEachNameAndPriceOnAsManyPagesAsNeeded) {
    std::vector<ShelfLabel> labels = {
        {QStringLiteral("矿泉水"), QStringLiteral("2元"), "6901234567892"},
        {QStringLiteral("散装苹果"), QStringLiteral("12.8元"), "2000000000015"},
        {QStringLiteral("面包"), QStringLiteral("8.5元"), "96385074"}};
    const QString one = file("标签.pdf");
    ASSERT_TRUE(writeLabelPdf(one, labels));
    const std::string text = run("pdftotext " + quoted(one) + " - 2>/dev/null");
    for (const char* expected : {"矿泉水", "2元", "散装苹果", "12.8元", "面包", "8.5元"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
    const auto pages = [](const QString& path) {
        const std::string info = run("pdfinfo " + quoted(path) + " 2>/dev/null");
        const auto at = info.find("Pages:");
        return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
    };
    EXPECT_EQ(pages(one), 1);
    while (labels.size() < kLabelColumns * kLabelRows + 1) labels.push_back(labels[0]);
    const QString two = file("两页.pdf");
    ASSERT_TRUE(writeLabelPdf(two, labels));
    EXPECT_EQ(pages(two), 2);
}

TEST_F(LabelSheet, ALabelsSymbolReadsBackAsItsCode) {
    const std::vector<std::string> codes = {"6901234567892", "2000000000015",
                                            withCheckDigit("200000101234"), "96385074"};
    for (const std::string& code : codes) {
        const QString png = file("标签.png");
        ASSERT_TRUE(
            labelImage({QStringLiteral("苹果"), QStringLiteral("3.2元"), code}, 8).save(png));
        const std::string read = run("zbarimg --quiet --raw " + quoted(png) + " 2>/dev/null");
        EXPECT_EQ(read, code + "\n") << code;
    }
}

TEST_F(LabelSheet, ACodeWithoutASymbolPrintsNothingAndSaysWhich) {
    const QString path = file("坏.pdf");
    QString problem;
    EXPECT_FALSE(writeLabelPdf(
        path, {{QStringLiteral("面包"), QStringLiteral("8.5元"), "6901234567899"}}, &problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("面包"))) << problem.toStdString();
    EXPECT_TRUE(problem.contains(QStringLiteral("6901234567899"))) << problem.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
}  // namespace shop::barcodes
