#include "test_till.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "checkout/receipt_number.h"
#include "checkout/run_tables.h"
#include "checkout/sale_journal.h"
#include "shop_server_fixture.h"
#include "storage/table.h"

namespace shop::test {

TestTill::TestTill(std::string till, storage::Moment runStart)
    : m_till(std::move(till)), m_start(runStart) {
    m_run.setProducts(kGoods);
    m_run.setProductSave({"可乐", "面包"});
}

TestTill::~TestTill() { m_uploader.reset(); }

int TestTill::join(const std::string& connection, std::string* said) {
    return runTool({"server", "join", dir(), connection, "--till", m_till}, said);
}

void TestTill::beginRun() {
    const std::string sales = m_run.paths().salesTable(m_start);
    const std::string file = sales.substr(sales.rfind('/') + 1);
    ASSERT_EQ(checkout::startSalesTable(sales), checkout::SalesTableStart::Opened);
    m_model = std::make_unique<checkout::SaleModel>();
    m_model->beginRun(sales, checkout::SaleJournal(checkout::journalPath(dir(), file), file, 0));
    m_model->beginTickets(dir(),
                          checkout::ReceiptNumbers(m_run.paths().ticketFolder(), m_till, dir()));
    if (m_uploader)
        QObject::connect(m_model.get(), &checkout::SaleModel::saleFinished,
                         [this](const checkout::FinishedSale&) { m_uploader->poke(); });
}

bool TestTill::sell(int goods, int units) {
    const auto& g = kGoods[static_cast<std::size_t>(goods)];
    m_model->addLine({{g[0], g[1], std::to_string(units), "2026年12月10日10时0分0秒"}, goods});
    m_model->setTendered("1000");
    return m_model->checkout({checkout::PaymentMethod::Cash, "小李", m_start}).outcome ==
           checkout::CheckoutOutcome::Finished;
}

void TestTill::recordOpenList(const std::vector<std::vector<std::string>>& lines) {
    for (const auto& l : lines) {
        const int goods = l[0] == kGoods[0][0] ? 0 : 1;
        m_model->addLine({{l[0], l[1], l[2], "2026年12月10日10时0分0秒"}, goods});
    }
    m_model->recordOpenList();
    if (m_uploader) m_uploader->poke();
}

void TestTill::endRun() {
    m_model.reset();
    storage::closeAll();
}

void TestTill::startUploader(server::UploaderOptions options) {
    const auto file = server::readServerFile(dir());
    ASSERT_TRUE(file) << dir();
    m_uploader = std::make_unique<server::Uploader>(
        dir(), *file, [this](const server::UploadStatus&) { ++m_heard; }, options);
}

server::UploadStatus TestTill::status() const {
    return m_uploader ? m_uploader->status() : server::UploadStatus{};
}

bool waitUntil(const std::function<bool()>& done, double seconds) {
    const auto until = std::chrono::steady_clock::now() +
                       std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    while (std::chrono::steady_clock::now() < until) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

}  // namespace shop::test
