// Side-by-side lists that read as one table: entry k of every list belongs
// to the same record, so the lists stand edge to edge under one header row,
// with rows of one height, one vertical scroll bar and one chosen row.
#pragma once

#include <vector>

class QLabel;
class QListWidget;

namespace shop::ui {

// `headers[k]` heads `lists[k]`; both keep their names and stay separate
// controls. The columns keep their designed widths, the space between them
// going to the first; the header row takes the headers' designed top and
// height, the lists the rest down to their designed bottom. Only the last
// list shows a vertical scroll bar; scrolling any list scrolls all, and
// choosing a row in one chooses it in all (their own selection signals stay
// quiet, so a handler of the list the user touched runs once).
void joinAsTable(const std::vector<QLabel*>& headers, const std::vector<QListWidget*>& lists);

}  // namespace shop::ui
