// The till's link to its shop server, for the main window: starts the
// uploader when the run folder joined a server, pokes it for every finished
// sale, shows in the status bar whether the server is reached and how many
// records (a sale's rows and its ticket) still wait ("在线 · 未上传 0 条"),
// and says when the shop's catalogue came down. A run folder without a
// server file gets none of it and sells exactly as a till on its own.
#pragma once

#include <QLabel>
#include <memory>
#include <string>

#include "server/uploader.h"

class QStatusBar;

namespace shop::checkout {

class SaleModel;

class ShopServerLink : public QObject {
    Q_OBJECT

public:
    // nullptr when `runDir` has no server file.
    static ShopServerLink* start(const std::string& runDir, SaleModel& sale, QStatusBar* bar);
    ~ShopServerLink() override;

    // "在线 · 未上传 3 条" / "离线 · 未上传 3 条".
    static QString statusText(const server::UploadStatus& status);

Q_SIGNALS:
    // The shop's catalogue came down into the product and goods-list tables.
    void catalogueArrived();

private:
    ShopServerLink(QLabel* label, QObject* parent);
    void show(const server::UploadStatus& status);

    QLabel* m_label;
    int m_catalogues = 0;
    std::unique_ptr<server::Uploader> m_uploader;
};

}  // namespace shop::checkout
