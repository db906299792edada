#include "journal_notice.h"

namespace shop::checkout {

std::optional<std::string> journalWarning(const SaleJournal& journal) {
    if (!journal.failing()) return std::nullopt;
    return "注意：未结销售日志无法写入（磁盘已满或文件夹不可写），程序若意外退出，"
           "列表中的销售将无法恢复。请尽快腾出磁盘空间；正常退出时销售仍会保存。";
}

std::string unstoredAtEndNotice(const std::string& salesPath, std::size_t rows, bool kept) {
    const std::string what = "本次 " + std::to_string(rows) + " 笔销售未能存入 " + salesPath;
    return kept ? what + "，已留待下次启动时恢复。"
                : what + "，未结销售日志也未能写入，这些销售无法保留。";
}

}  // namespace shop::checkout
