// The real main window in a process of its own, driven through a scripted
// session at the checkout, for the trials that kill it or end its session.
//
//   till_session crash <run folder> <seed> <steps> [<session>]
//     adds, deletes and clears rows and takes payments at random (the
//     script follows the seed),
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
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <cstdlib>
#include <random>
#include <string>

#include "app/clock.h"
#include "app/run_directory.h"
#include "app/session_end.h"
#include "checkout/main_window.h"
#include "checkout/sale_journal.h"

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
T* control(const MainWindow& w, const char* name) {
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

// The rows of the sales paid for so far, in the order they were stored.
std::vector<SaleRow> paid;

void report(const MainWindow& w, int step) {
    std::vector<SaleRow> rows = paid;
    for (SaleRow& row : onScreen(w)) rows.push_back(std::move(row));
    const std::string payload = shop::checkout::encodeJournal({"", 0, rows});
    put("state " + std::to_string(step) + " " + std::to_string(payload.size()) + "\n" + payload);
}

void step(const MainWindow& w, std::mt19937& random, bool mustPay) {
    auto* goods = control<QComboBox>(w, "组合框1_商品名称");
    auto* quantity = control<QComboBox>(w, "组合框1_数量");
    auto* list = control<QTreeWidget>(w, "超级列表框_产品结账");
    // A session that has taken no payment by its second half takes one, so
    // every script exercises 收款 (one in ten steps alone misses it now and then).
    const int roll = mustPay && paid.empty() && list->topLevelItemCount() > 0
                         ? 99
                         : std::uniform_int_distribution<int>(0, 99)(random);
    if (roll < 65 || list->topLevelItemCount() == 0) {
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
    } else if (roll < 90) {
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
    shop::app::SessionEnd sessionEnd(app, [&window] { window.endSession(); });
    report(window, 0);
    for (int i = 1; i <= steps; ++i) {
        step(window, random, 2 * i > steps);
        report(window, i);
    }
    if (mode == "term") {
        put("ready\n");
        return app.exec();
    }
    control<QPushButton>(window, "图形按钮1_关闭")->click();
    return 3;  // the close button ends the process: never reached
}
