#include "shop_catalogue.h"

#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <future>

namespace shop::products {

namespace sv = shop::server;

ShopCatalogue::ShopCatalogue(const std::string& runDir)
    : m_runDir(runDir), m_file(sv::readServerFile(runDir)) {}

QString ShopCatalogue::refusal(const sv::EditResult& result) {
    const QString detail = QString::fromStdString(result.detail);
    switch (result.outcome) {
        case sv::EditOutcome::Done:
            return {};
        case sv::EditOutcome::Offline:
            return QStringLiteral("门店服务器不可用，本次修改没有保存，本机商品未改动：%1")
                .arg(detail);
        case sv::EditOutcome::NoRight:
            return QStringLiteral(
                "本收银机的登录账号无权修改门店商品，本次修改没有保存：请在后台电脑上修改");
        case sv::EditOutcome::Changed:
            return QStringLiteral(
                "门店服务器上的商品已被其他收银机修改，本次修改没有保存：已载入最新商品，请重新选择"
                "后再改");
        case sv::EditOutcome::Failed:
            return QStringLiteral("门店服务器拒绝了本次修改，本机商品未改动：%1").arg(detail);
    }
    return {};
}

std::optional<QString> ShopCatalogue::send(QWidget* window,
                                           const std::vector<sv::CatalogueStep>& steps) const {
    if (!m_file) return QStringLiteral("本机没有加入门店服务器");
    // The edit, and the catalogue it leaves coming down into this till's
    // tables, happen on the thread; the window only waits for the answer.
    std::future<sv::EditResult> answer =
        std::async(std::launch::async, [runDir = m_runDir, file = *m_file, steps] {
            sv::EditResult r = sv::editShopCatalogue(runDir, file, steps);
            const bool fresh = r.detail.empty() && (r.outcome == sv::EditOutcome::Done ||
                                                    r.outcome == sv::EditOutcome::Changed);
            if (fresh) {
                const std::string error = sv::applyCatalogue(runDir, r.catalogue);
                if (!error.empty() && r.outcome == sv::EditOutcome::Done) r.detail = error;
            }
            return r;
        });
    window->setEnabled(false);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready) loop.quit();
    });
    poll.start(10);
    loop.exec();
    window->setEnabled(true);
    const sv::EditResult result = answer.get();
    if (result.outcome == sv::EditOutcome::Done) return std::nullopt;
    return refusal(result);
}

}  // namespace shop::products
