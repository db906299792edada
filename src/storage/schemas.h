// Field layouts of the tables. Callers address fields by position only.
#pragma once

#include <vector>

#include "table.h"

namespace shop::storage::schemas {

// Tables the system creates.
std::vector<FieldDesc> sales();  // 销售名字, 销售价格, 销售数量, 销售时间 (text 255)
std::vector<FieldDesc> leave();   // 请假时间, 请假终止时间, 状态 (text 512)
std::vector<FieldDesc> salary();  // 发放时间, 工资金额 (text 255)
// One record per finished sale or refund (text 255): 小票号, 原小票号,
// 销售表, 销售记录, 合计, 实收, 找零, 付款方式, 收银员, 时间.
std::vector<FieldDesc> tickets();
// One record per day close (text 255): the day, the moment, the cashier, the
// receipts it covers, its counts and sums, the cash check, where it ends and
// a note. Fields in day_close_field order.
std::vector<FieldDesc> dayCloses();

// Tables that ship with the program.
std::vector<FieldDesc> product();      // name, price, quantity
std::vector<FieldDesc> productSave();  // name
std::vector<FieldDesc> employee();     // photo (bytes) + 18 texts

// Largest photo the employee table holds, in bytes.
inline constexpr int kPhotoLimit = 451541;

// Ticket field positions.
namespace ticket_field {
inline constexpr int kReceipt = 1, kOriginal = 2, kSalesTable = 3, kRecords = 4, kTotal = 5,
                     kTendered = 6, kChange = 7, kMethod = 8, kCashier = 9, kMoment = 10;
}

// Day-close field positions.
namespace day_close_field {
inline constexpr int kDay = 1, kMoment = 2, kCashier = 3, kFirstReceipt = 4, kLastReceipt = 5,
                     kSales = 6, kRefunds = 7, kCashSales = 8, kWeChatSales = 9, kAlipaySales = 10,
                     kCardSales = 11, kSalesTotal = 12, kCashRefunds = 13, kWeChatRefunds = 14,
                     kAlipayRefunds = 15, kCardRefunds = 16, kRefundTotal = 17, kUnpaidLines = 18,
                     kUnpaidAmount = 19, kFloat = 20, kExpectedCash = 21, kCountedCash = 22,
                     kDifference = 23, kEndTable = 24, kEndRecord = 25, kNote = 26;
inline constexpr int kCount = 26;
}  // namespace day_close_field

// Employee field positions.
namespace employee_field {
inline constexpr int kPhoto = 1, kNumber = 2, kName = 3, kSex = 4, kAge = 5, kJoined = 6,
                     kPolitical = 7, kDepartment = 8, kBirth = 9, kEthnic = 10, kNative = 11,
                     kIdCard = 12, kEducation = 13, kSchool = 14, kSchoolAddress = 15,
                     kWeChatQq = 16, kHomeAddress = 17, kPhone = 18, kPost = 19;
}

}  // namespace shop::storage::schemas
