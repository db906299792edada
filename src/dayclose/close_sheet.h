// The day close as the cashier reads it, on screen and on paper: captions and
// values as texts, money as "12.5元". Kept apart from both so that the
// window and the printout say the same thing.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "close_record.h"

namespace shop::dayclose {

// "12.5元", "-3元", "0元".
std::string yuan(Fen fen);

// "01-20261210-0001 至 01-20261210-0009", one number alone, or "无".
std::string receiptSpan(const DayFigures& figures);

// One row of the takings: 收款方式, 收入, 退款, 净额.
using TakingsRow = std::array<std::string, 4>;
// The four methods in order, then "合计".
std::vector<TakingsRow> takingsRows(const DayFigures& figures);

// "0.02元（长款）", "-0.5元（短款）", "0元（相符）".
std::string differenceText(Fen difference);

// "3 行，共 10.5元", or "无".
std::string unpaidText(const DayFigures& figures);

using Captioned = std::pair<std::string, std::string>;
// What heads a stored close: 日期, 时间, 收银员, the first and last receipt,
// 销售笔数, 退货笔数.
std::vector<Captioned> closeHead(const CloseRecord& record);
// What follows its takings: the unpaid lines, the cash check and the note.
std::vector<Captioned> closeFoot(const CloseRecord& record);

}  // namespace shop::dayclose
