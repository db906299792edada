// The settings file on disk: missing pieces, encodings, odd files, and
// replacing the file in one step.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <filesystem>
#include <fstream>

#include "support/run_folder.h"

namespace shop::settings {
namespace {

namespace fs = std::filesystem;

std::string slurp(const std::string& path) {
    std::ifstream in(fs::path(std::u8string(path.begin(), path.end())), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void spit(const std::string& path, const std::string& bytes) {
    std::ofstream(fs::path(std::u8string(path.begin(), path.end())), std::ios::binary) << bytes;
}

fs::path fsPath(const std::string& p) { return fs::path(std::u8string(p.begin(), p.end())); }

class SettingsFile : public ::testing::Test {
protected:
    test::RunFolder run;
    std::string file = run.paths().settingsFile();
};

TEST_F(SettingsFile, MissingFileReadsEmptyAndTheFirstWriteCreatesIt) {
    EXPECT_EQ(readHeader(file), ReceiptHeader{});
    writeHeader(file, {});
    ASSERT_TRUE(fs::exists(fsPath(file)));
    const std::string text = slurp(file);
    for (const char* key : {"ffgff=", "gfd=", "gg=", "hnmbv="})
        EXPECT_NE(text.find(key), std::string::npos) << key;
    EXPECT_EQ(readHeader(file), ReceiptHeader{});
}

TEST_F(SettingsFile, HeaderComesBackUnchanged) {
    const ReceiptHeader h{"老王超市（一店）", "  07 ", "张三", "人民路 8 号\"后门\""};
    writeHeader(file, h);
    EXPECT_EQ(readHeader(file), h);
    // Keys land in their sections: the shop name alone under hggfggt.
    EXPECT_EQ(readSetting(file, kShopSection, kShopNameKey), h.shopName);
    EXPECT_EQ(readSetting(file, kShopSection, kCashierKey), "");
    EXPECT_EQ(readSetting(file, kTillSection, kCashierKey), "张三");
}

TEST_F(SettingsFile, WritingKeepsForeignSectionsCommentsAndLineEndings) {
    spit(file, "; shop settings\r\n[cff]\r\ngg=old\r\nextra=keep me\r\n[printer]\r\nport=COM1");
    writeHeader(file, {"店", "1", "李四", "路"});
    const std::string text = slurp(file);
    EXPECT_NE(text.find("; shop settings\r\n"), std::string::npos);
    EXPECT_NE(text.find("extra=keep me\r\n"), std::string::npos);
    EXPECT_NE(text.find("[printer]\r\nport=COM1\r\n"), std::string::npos);
    EXPECT_EQ(text.find("old"), std::string::npos);
    std::size_t lf = 0, crlf = 0;  // every added line took the file's CRLF
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') ++lf, crlf += (i > 0 && text[i - 1] == '\r');
    EXPECT_EQ(lf, crlf);
    EXPECT_EQ(readSetting(file, "printer", "port"), "COM1");
    EXPECT_EQ(readHeader(file), (ReceiptHeader{"店", "1", "李四", "路"}));
}

TEST_F(SettingsFile, MissingFolderWritesNothingAndDoesNotCrash) {
    fs::remove_all(fsPath(file).parent_path());
    EXPECT_FALSE(writeSetting(file, kTillSection, kCashierKey, "张三"));
    EXPECT_FALSE(writeHeader(file, {"a", "b", "c", "d"}));
    EXPECT_FALSE(fs::exists(fsPath(file).parent_path()));
    EXPECT_EQ(readHeader(file), ReceiptHeader{});
}

TEST_F(SettingsFile, GbkFileIsReadAndRewrittenAsUtf8) {
    // 老王超市 / 张三 / 人民路8号 in GBK, as a GBK program writes them.
    spit(file,
         "[hggfggt]\r\nffgff=\xC0\xCF\xCD\xF5\xB3\xAC\xCA\xD0\r\n[cff]\r\ngg=\xD5\xC5\xC8\xFD\r\n"
         "hnmbv=\xC8\xCB\xC3\xF1\xC2\xB7\x38\xBA\xC5\r\n");
    ReceiptHeader h = readHeader(file);
    EXPECT_EQ(h.shopName, "老王超市");
    EXPECT_EQ(h.cashier, "张三");
    EXPECT_EQ(h.address, "人民路8号");
    EXPECT_EQ(h.machine, "");

    ASSERT_TRUE(writeSetting(file, kTillSection, kMachineKey, "9"));
    EXPECT_NE(slurp(file).find("ffgff=老王超市\r\n"), std::string::npos);  // now UTF-8
    h.machine = "9";
    EXPECT_EQ(readHeader(file), h);
}

TEST_F(SettingsFile, ByteOrderMarkIsReadThroughAndKept) {
    spit(file, "\xEF\xBB\xBF[cff]\ngg=王\n");
    EXPECT_EQ(readSetting(file, kTillSection, kCashierKey), "王");
    ASSERT_TRUE(writeSetting(file, kTillSection, kMachineKey, "2"));
    EXPECT_EQ(slurp(file), "\xEF\xBB\xBF[cff]\ngg=王\ngfd=2\n");
}

// A file that does not decode, or is over the size limit, reads as empty and
// is never rewritten.
TEST_F(SettingsFile, AnUnreadableFileReadsEmptyAndIsLeftAlone) {
    const std::string files[] = {
        "\xEF\xBB\xBF[cff]\ngg=\xFF\xFE\xFF\n",  // marked UTF-8, is not
        "[cff]\ngg=" + std::string(kSettingsSizeLimit, 'x') + "\n",
    };
    for (const std::string& bytes : files) {
        spit(file, bytes);
        EXPECT_EQ(readSetting(file, kTillSection, kCashierKey), "");
        EXPECT_FALSE(writeSetting(file, kTillSection, kCashierKey, "x"));
        EXPECT_TRUE(slurp(file) == bytes);
    }
}

TEST_F(SettingsFile, HugeValueAndOddLinesSurvive) {
    std::string huge;
    for (int i = 0; i < 100000; ++i) huge += "长";
    spit(file, "garbage line\n[cff\n=\n[cff]\n;gg=commented\ngg");
    ASSERT_TRUE(writeSetting(file, kTillSection, kCashierKey, huge));
    EXPECT_EQ(readSetting(file, kTillSection, kCashierKey), huge);
    // The key goes right under the header; every odd line stays as it was,
    // behind the mark this program writes.
    EXPECT_TRUE(slurp(file) ==
                "\xEF\xBB\xBFgarbage line\n[cff\n=\n[cff]\ngg=" + huge + "\n;gg=commented\ngg");
}

TEST_F(SettingsFile, GbkNamesThatAreAlsoValidUtf8ReadAsGbk) {
    // 小平 (D0 A1 C6 BD) and 谢伟 (D0 BB CE B0) in GBK are valid UTF-8 too,
    // where they would read as Сƽ and лΰ.
    spit(file, "[cff]\r\ngg=\xD0\xA1\xC6\xBD\r\ngfd=12\r\n[hggfggt]\r\nffgff=\xD0\xBB\xCE\xB0\r\n");
    EXPECT_EQ(readHeader(file), (ReceiptHeader{"谢伟", "12", "小平", ""}));
    // Chinese text in UTF-8 without the mark still reads as UTF-8.
    spit(file, "[cff]\ngg=小平\nhnmbv=人民路 8 号（东门）\n[hggfggt]\nffgff=谢伟·超市\n");
    EXPECT_EQ(readHeader(file), (ReceiptHeader{"谢伟·超市", "", "小平", "人民路 8 号（东门）"}));
    // With the mark, UTF-8 whatever it says.
    spit(file, "\xEF\xBB\xBF[cff]\ngg=Сƽ\n");
    EXPECT_EQ(readSetting(file, kTillSection, kCashierKey), "Сƽ");
    // What this program writes reads back as written, names of other scripts included.
    ASSERT_TRUE(writeHeader(file, {"Café Сƽ", "1", "小平", "路"}));
    EXPECT_EQ(readHeader(file), (ReceiptHeader{"Café Сƽ", "1", "小平", "路"}));
}

TEST_F(SettingsFile, CrOnlyLineEndingsReadAndWriteLikeAnyOther) {
    spit(file, "[hggfggt]\rffgff=老店\r[cff]\rgg=甲\rgfd=3\r");
    EXPECT_EQ(readHeader(file), (ReceiptHeader{"老店", "3", "甲", ""}));
    ASSERT_TRUE(writeHeader(file, {"新店", "3", "乙", "路"}));
    // The keys were replaced in place: no second section, no LF added.
    EXPECT_EQ(slurp(file), "\xEF\xBB\xBF[hggfggt]\rffgff=新店\r[cff]\rgg=乙\rgfd=3\rhnmbv=路\r");
    EXPECT_EQ(readHeader(file), (ReceiptHeader{"新店", "3", "乙", "路"}));
}

TEST_F(SettingsFile, AFileJustUnderTheLimitIsReadWhole) {
    // Just under the limit, all blank lines but the header: read whole.
    std::string blank(kSettingsSizeLimit - 64, '\n');
    spit(file, blank + "[cff]\ngg=甲\n");
    EXPECT_EQ(readSetting(file, kTillSection, kCashierKey), "甲");
    ASSERT_TRUE(writeSetting(file, kTillSection, kMachineKey, "2"));
    EXPECT_EQ(readHeader(file), (ReceiptHeader{"", "2", "甲", ""}));
}

TEST_F(SettingsFile, AHeaderThatWouldPassTheLimitIsNotStoredAtAll) {
    ASSERT_TRUE(writeHeader(file, {"店", "1", "甲", "路"}));
    const std::string before = slurp(file);
    EXPECT_FALSE(writeHeader(file, {"新店", "2", "乙", std::string(kSettingsSizeLimit, 'x')}));
    EXPECT_TRUE(slurp(file) == before);
}

TEST_F(SettingsFile, ReplacingLeavesNoTemporaryFilesBehind) {
    for (int i = 0; i < 5; ++i) writeHeader(file, {std::to_string(i), "m", "c", "a"});
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(fsPath(file).parent_path()))
        names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"fghh.ini"});
    EXPECT_EQ(readSetting(file, kShopSection, kShopNameKey), "4");
}

}  // namespace
}  // namespace shop::settings
