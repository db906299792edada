#include "csv.h"

#include <string_view>

namespace shop::storage {

std::string csvCell(const std::string& text) {
    std::string cell = text;
    // The quote makes the spreadsheet show the text instead of evaluating it;
    // removing it gives the stored text back.
    if (!cell.empty() && std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos)
        cell.insert(cell.begin(), '\'');
    if (cell.find_first_of(",\"\n\r") == std::string::npos) return cell;
    std::string out = "\"";
    for (char c : cell) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace shop::storage
