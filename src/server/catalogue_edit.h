// Edits of the shop's catalogue made at a till: each goes to the server
// first, in one transaction with the server's catalogue locked, and comes
// back down to every till. Nothing is written to the till's own tables here;
// the caller takes the server's catalogue down once the edit is in.
#pragma once

#include <string>
#include <vector>

#include "server/catalogue.h"
#include "server/server_file.h"

namespace shop::server {

struct CatalogueStep {
    enum class Kind {
        Add,          // a product at the end: name, price, stock
        Change,       // the product at `position` (1-based), still named `expected`
        Empty,        // every product and every barcode
        AddCode,      // a barcode `code` for goods `name`, at the end
        RenameCodes,  // every code of goods `expected` now names goods `name`
        Publish,      // nothing changes; every till takes the catalogue down again
    };
    Kind kind = Kind::Publish;
    int position = 0;
    std::string expected;
    std::string name;
    std::string price;
    long long stock = 0;
    std::string code;

    static CatalogueStep add(std::string name, std::string price, long long stock);
    static CatalogueStep change(int position, std::string expected, std::string name,
                                std::string price, long long stock);
    static CatalogueStep empty();
    static CatalogueStep addCode(std::string code, std::string goods);
    static CatalogueStep renameCodes(std::string from, std::string to);
    static CatalogueStep publish();
};

enum class EditOutcome {
    Done,     // on the server, and told to every till
    Offline,  // the server was not reached, or refused this till
    NoRight,  // this till's sign-in may not change the catalogue
    Changed,  // the server's catalogue was not what the till showed
    Failed,   // the server refused the edit
};

struct EditResult {
    EditOutcome outcome = EditOutcome::Failed;
    std::string detail;   // the server's or the connection's words
    Catalogue catalogue;  // the server's catalogue after the edit (Done, Changed)
};

// Runs the steps in one transaction; nothing of them stays when one fails.
EditResult editCatalogue(PgConnection& connection, const std::vector<CatalogueStep>& steps);

// Opens the till's session (the right shop, this till's code), edits, and
// reads the server's catalogue back.
EditResult editShopCatalogue(const std::string& runDir, const ServerFile& file,
                             const std::vector<CatalogueStep>& steps,
                             Timeouts timeouts = {3, 10000});

}  // namespace shop::server
