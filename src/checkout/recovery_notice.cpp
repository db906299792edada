#include "recovery_notice.h"

#include "checkout/sale_journal.h"

namespace shop::checkout {

namespace {

std::string keptNotice(const RecoveredRun& run) {
    return run.keptAs.empty() ? "日志文件未能改名保留，仍在原处。"
                              : "日志文件已保留为 " + run.keptAs + "。";
}

}  // namespace

std::string recoveryNotice(const RecoveredRun& run) {
    if (run.unreadable) {
        const std::string why = run.oversized ? " 超过日志的大小上限（" +
                                                    std::to_string(kJournalSizeLimit >> 20) +
                                                    " MB），未读取，"
                                              : " 无法读取，";
        return "未结销售日志 " + run.run + why + "其中的销售未能恢复。" + keptNotice(run);
    }
    std::string text;
    if (!run.finishedReceipt.empty()) {
        const std::string which =
            run.finishedReceipt == "-"
                ? "销售"
                : (run.finishedRefund ? "退货（小票 " : "收款（小票 ") + run.finishedReceipt + "）";
        text = run.finishedStored
                   ? "已补存 " + run.run + " 开始的那次运行中断时未存完的" + which + "。"
                   : run.run + " 开始的那次运行中断时未存完的" + which +
                         "暂时无法补存，下次启动时会再试。";
        if (run.rows == 0 || !run.finishedStored) return text;
    }
    const std::string rows = std::to_string(run.rows);
    text += run.stored ? "已恢复 " + run.run + " 开始的那次运行未正常退出时未保存的 " + rows +
                             " 笔销售，已记入它的销售表。"
                       : run.run + " 开始的那次运行未正常退出时未保存的 " + rows +
                             " 笔销售暂时无法记入它的销售表，下次启动时会再试。";
    if (run.unstorable > 0)
        text += "其中 " + std::to_string(run.unstorable) + " 笔内容过长，无法保存。";
    if (run.damaged) {
        text += "它的日志中途损坏，损坏处之后的改动无法恢复。";
        if (run.stored) text += keptNotice(run);
    }
    return text;
}

}  // namespace shop::checkout
