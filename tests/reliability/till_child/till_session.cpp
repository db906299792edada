// The real main window in a process of its own, driven through a scripted
// session at the checkout, for the trials that kill it or end its session.
//
//   till_session crash <run folder> <seed> <steps> [<session>]
//     adds, deletes and clears rows, takes payments and takes goods back
//     against the day's receipts at random (the script follows the seed),
//     reports after every step on standard output the rows the session
//     answers for (those on screen), then leaves through the close button.
//   till_session term <run folder> <seed> <steps> [<session>]
//     the same steps, then "ready" and the event loop, until a signal ends
//     the session.
//
// The clock is a counter, so the same seed gives the same rows every time;
// session n starts n hours after 14:00, so the sessions of one day each get
// a sales table of their own.
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>

#include "../till_process.h"
#include "app/clock.h"
#include "app/run_directory.h"
#include "app/session_end.h"
#include "checkout/main_window.h"
#include "checkout/sale_journal.h"
#include "checkout/sale_model.h"
#include "refunds/refund_window.h"

namespace {

using shop::checkout::MainWindow;
using shop::checkout::SaleRow;

void put(const std::string& text) {
    std::string_view rest = text;
    while (!rest.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, rest.data(), rest.size());
        if (n <= 0) std::_Exit(4);
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
}

template <typename T>
T* control(const QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QString::fromUtf8(name));
    if (!c) std::_Exit(5);
    return c;
}

// "state <step> <bytes>\n" and, in the journal's text form, the rows the
// session answers for: those on screen. A step that stores a sale at once
// (a payment) would put the rows it stored before them, in table order.
std::vector<SaleRow> onScreen(const MainWindow& w) {
    const auto* list = control<QTreeWidget>(w, "超级列表框_产品结账");
    std::vector<SaleRow> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        rows.push_back({item->text(0).toStdString(), item->text(1).toStdString(),
                        item->text(2).toStdString(), item->text(3).toStdString()});
    }
    return rows;
}

// The rows of the sales paid for and of the refunds so far, in the order
// they were stored.
std::vector<SaleRow> paid;
bool tookBack = false;  // a refund is stored

int pick(std::mt19937& random, int last) {
    return std::uniform_int_distribution<int>(0, last)(random);
}

// 退货 through its window: one of the day's receipts, a random quantity of
// each line that has any left (the window refuses more than is left).
// False when the day has no receipt yet.
bool takeBack(const MainWindow& w, std::mt19937& random) {
    shop::refunds::RefundWindow window(w.sale());
    auto* number = control<QComboBox>(window, "组合框_小票编号");
    if (number->count() == 0) return false;
    const int receipt = pick(random, number->count() - 1);
    number->setCurrentIndex(receipt);
    Q_EMIT number->activated(receipt);
    const auto* list = control<QTreeWidget>(window, "超级列表框_小票商品");
    QSpinBox* first = nullptr;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        auto* box = qobject_cast<QSpinBox*>(list->itemWidget(list->topLevelItem(i), 4));
        if (!box || !box->isEnabled()) continue;
        if (!first) first = box;
        box->setValue(pick(random, box->maximum()));
    }
    const auto& chosen = window.model().chosen();
    const auto none = [&] {
        return std::none_of(chosen.begin(), chosen.end(), [](int n) { return n > 0; });
    };
    if (first && none()) first->setValue(1);  // an enabled line has at least one left
    // Nothing chosen would be said in a message box, which nobody closes here.
    if (!none()) control<QPushButton>(window, "图形按钮_确认退货")->click();
    return true;
}

// The rows on screen are those the event loop's turn after a step paints;
// a scanned row is journalled in that same turn, right after it shows.
void report(const MainWindow& w, int step) {
    QCoreApplication::processEvents();
    std::vector<SaleRow> rows = paid;
    for (SaleRow& row : onScreen(w)) rows.push_back(std::move(row));
    const std::string payload = shop::checkout::encodeJournal({"", 0, rows});
    put("state " + std::to_string(step) + " " + std::to_string(payload.size()) + "\n" + payload);
}

// A scanner: the code's digits and Enter, key by key, into the goods box,
// whose text (a name chosen before) is selected as the focus reaches it.
void scan(QComboBox* goods, const std::string& code) {
    goods->lineEdit()->selectAll();
    const auto press = [goods](int key, const QString& text) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(goods, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(goods, &up);
    };
    for (const char c : code) press(Qt::Key_0 + (c - '0'), QString(QChar::fromLatin1(c)));
    press(Qt::Key_Return, QString());
}

// Step `n` of `steps`. A session that has taken no payment by its second
// half takes one, and one that has taken nothing back by its last quarter
// takes goods back, so every script exercises 收款 and 退货 (one step in
// ten or twenty alone misses them now and then).
void step(const MainWindow& w, std::mt19937& random, int n, int steps) {
    auto* goods = control<QComboBox>(w, "组合框1_商品名称");
    auto* quantity = control<QComboBox>(w, "组合框1_数量");
    auto* list = control<QTreeWidget>(w, "超级列表框_产品结账");
    const int roll = 2 * n > steps && paid.empty() && list->topLevelItemCount() > 0 ? 90
                     : 4 * n > 3 * steps && !tookBack                               ? 99
                                                      : pick(random, 99);
    if (roll >= 95 && takeBack(w, random)) return;
    if (roll < 20) {
        scan(goods, shop::test::kCodes[roll % 2].code);
    } else if (roll < 65 || list->topLevelItemCount() == 0) {
        const int g = std::uniform_int_distribution<int>(0, goods->count() - 1)(random);
        goods->setCurrentIndex(g);
        Q_EMIT goods->activated(g);
        // Goods sold out (the stock follows the sales) offer no quantities:
        // the cashier types one.
        if (quantity->count() == 0)
            quantity->setEditText(QStringLiteral("1"));
        else
            quantity->setCurrentIndex(
                std::uniform_int_distribution<int>(0, quantity->count() - 1)(random));
        control<QPushButton>(w, "图形按钮_添加")->click();
    } else if (roll < 85) {
        const int r = std::uniform_int_distribution<int>(0, list->topLevelItemCount() - 1)(random);
        list->setCurrentItem(list->topLevelItem(r));
        control<QPushButton>(w, "图形按钮_删除")->click();
    } else if (roll < 88) {
        control<QPushButton>(w, "图形按钮_清空")->click();
    } else {
        // 收款 in cash that covers any list: the sale leaves the screen for
        // the tables.
        const std::vector<SaleRow> sold = onScreen(w);
        control<QLineEdit>(w, "编辑框1_当前余额")->setText(QStringLiteral("100000"));
        control<QPushButton>(w, "图形按钮_收款")->click();
        if (list->topLevelItemCount() == 0) paid.insert(paid.end(), sold.begin(), sold.end());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) return 2;
    const std::string mode = argv[1];
    shop::app::setRunDirectory(argv[2]);
    std::mt19937 random(static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)));
    const int steps = std::atoi(argv[4]);
    const int hour = 14 + (argc == 6 ? std::atoi(argv[5]) : 0);
    int tick = 0;
    shop::app::setClock([&tick, hour] {
        const int t = tick++;
        return shop::storage::Moment{2024, 3, 5, hour, t / 60 % 60, t % 60};
    });

    QApplication app(argc, argv);
    MainWindow window({});
    QObject::connect(&window.sale(), &shop::checkout::SaleModel::saleFinished,
                     [](const shop::checkout::FinishedSale& sale) {
                         if (sale.original.empty()) return;  // a payment: seen on screen
                         tookBack = true;
                         for (const auto& line : sale.lines) paid.push_back(line.row);
                     });
    shop::app::SessionEnd sessionEnd(app, [&window] { window.endSession(); });
    report(window, 0);
    for (int i = 1; i <= steps; ++i) {
        step(window, random, i, steps);
        report(window, i);
    }
    if (mode == "term") {
        put("ready\n");
        return app.exec();
    }
    control<QPushButton>(window, "图形按钮1_关闭")->click();
    return 3;  // the close button ends the process: never reached
}
