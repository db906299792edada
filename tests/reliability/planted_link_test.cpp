// Links planted beside the data, pointing at a file outside the run folder:
// every file the program writes there is made afresh and put in place by a
// rename, so the file outside keeps every byte, whatever name the link has
// (the target itself or the temporary name earlier versions used).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "app/scripted_platform.h"
#include "checkout/sale_journal.h"
#include "performance/performance_window.h"
#include "receipts/receipt_print.h"
#include "settings/settings_file.h"
#include "support/run_folder.h"

namespace fs = std::filesystem;
using namespace shop;

namespace {

std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(PlantedLinks, AFileOutsideTheRunFolderStaysAsItWas) {
    app::ScriptedPlatform platform;
    test::RunFolder run;
    struct Case {
        const char* what;
        fs::path target;
        bool replacesTheLink;  // false: the write is refused and the link stays
        std::function<bool(const fs::path&)> write;
    };
    const fs::path runDir = run.dir();
    const Case cases[] = {
        {"journal", runDir / "销售数据2024年3月5日14时7分9秒.journal", true,
         [](const fs::path& p) {
             checkout::SaleJournal journal(p.string(), "销售数据2024年3月5日14时7分9秒.edb", 0);
             return journal.update({{"苹果", "3", "1", "2024年3月5日14时8分0秒"}});
         }},
        {"settings file", runDir / "配置" / "fghh.ini", false,
         [](const fs::path& p) {
             return settings::writeHeader(p.string(), {"澄屿", "1", "", ""});
         }},
        {"sales CSV", runDir / "销售业绩.csv", true,
         [&platform](const fs::path& p) {
             performance::PerformanceWindow window;
             platform.queueFile(QString::fromStdString(p.string()));
             window.exportCsv();
             return platform.messages().isEmpty();
         }},
        {"chart PNG", runDir / "销售业绩.png", true,
         [&platform](const fs::path& p) {
             performance::PerformanceWindow window;
             platform.queueFile(QString::fromStdString(p.string()));
             window.saveChartPng();
             return platform.messages().isEmpty();
         }},
        {"receipt PDF", runDir / "账单.pdf", true,
         [](const fs::path& p) {
             receipts::ReceiptContent receipt;
             receipt.shopName = QStringLiteral("澄屿");
             return receipts::writeReceiptPdf(QString::fromStdString(p.string()), receipt);
         }},
    };
    const QTemporaryDir outside;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path victim = outside.filePath(c.what).toStdString();
        const fs::path oldTemp = c.target.string() + ".tmp";
        const fs::path tempVictim = victim.string() + ".tmp";
        writeBytes(victim, "[hggfggt]\nffgff=outside\n");
        writeBytes(tempVictim, "outside, reached by the temporary name\n");
        fs::remove(c.target);
        fs::create_symlink(victim, c.target);
        fs::create_symlink(tempVictim, oldTemp);

        EXPECT_EQ(c.write(c.target), c.replacesTheLink);
        EXPECT_EQ(bytesOf(victim), "[hggfggt]\nffgff=outside\n");
        EXPECT_EQ(bytesOf(tempVictim), "outside, reached by the temporary name\n");
        EXPECT_EQ(fs::is_symlink(c.target), !c.replacesTheLink);
        if (c.replacesTheLink) {
            EXPECT_GT(fs::file_size(c.target), 0u);
        }
        platform.clear();
    }
}

}  // namespace
