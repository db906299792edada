#include "shop_server_link.h"

#include <QStatusBar>

#include "checkout/sale_model.h"

namespace shop::checkout {

ShopServerLink::ShopServerLink(QLabel* label, QObject* parent) : QObject(parent), m_label(label) {}

ShopServerLink* ShopServerLink::start(const std::string& runDir, SaleModel& sale, QStatusBar* bar) {
    const std::optional<server::ServerFile> file = server::readServerFile(runDir);
    if (!file) return nullptr;
    auto* label = new QLabel(bar);
    label->setObjectName(QStringLiteral("状态条1_门店服务器"));
    bar->addPermanentWidget(label);
    auto* link = new ShopServerLink(label, &sale);
    link->show({});
    // The uploader speaks on its own thread; the label is changed on ours.
    link->m_uploader = std::make_unique<server::Uploader>(
        runDir, *file, [link](const server::UploadStatus& status) {
            QMetaObject::invokeMethod(
                link, [link, status] { link->show(status); }, Qt::QueuedConnection);
        });
    connect(&sale, &SaleModel::saleFinished, link, [link] { link->m_uploader->poke(); });
    return link;
}

// The thread ends before the link goes, so no word of it arrives afterwards.
ShopServerLink::~ShopServerLink() { m_uploader.reset(); }

QString ShopServerLink::statusText(const server::UploadStatus& status) {
    return QStringLiteral("%1 · 未上传 %2 条")
        .arg(status.online ? QStringLiteral("在线") : QStringLiteral("离线"))
        .arg(status.pending);
}

void ShopServerLink::show(const server::UploadStatus& status) {
    m_label->setText(statusText(status));
    m_label->setToolTip(QString::fromStdString(status.message));
    if (status.catalogues != m_catalogues) {
        m_catalogues = status.catalogues;
        Q_EMIT catalogueArrived();
    }
}

}  // namespace shop::checkout
