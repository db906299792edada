// The product window's way to the shop server, on a till that joined one:
// the catalogue is the shop's, so an edit goes to the server first and
// comes back down into this till's tables (and every other till's). Offline
// the edit is refused and this till's tables stay as they were. A run folder
// without a server file has no shop catalogue and edits its own tables.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "server/catalogue_edit.h"

class QWidget;

namespace shop::products {

class ShopCatalogue {
public:
    explicit ShopCatalogue(const std::string& runDir);

    bool joined() const { return m_file.has_value(); }

    // Sends the steps on a thread of its own while `window` waits, disabled
    // (the window's thread keeps painting). nullopt when the server took
    // them and its catalogue is in this till's tables; otherwise what to
    // tell the user, nothing having changed anywhere.
    std::optional<QString> send(QWidget* window,
                                const std::vector<server::CatalogueStep>& steps) const;

    // What the user is told for an edit the server did not take.
    static QString refusal(const server::EditResult& result);

private:
    std::string m_runDir;
    std::optional<server::ServerFile> m_file;
};

}  // namespace shop::products
