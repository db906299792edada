// Makes the goods combo searchable from the keyboard: typing part of a name
// or its pinyin initials lists the matching goods in the combo's own order,
// and choosing one (Enter takes the first) chooses that very item, by its
// position, as a click in the list would.
#pragma once

class QComboBox;

namespace shop::checkout {

// The combo becomes editable (typed text never becomes an item) and gains a
// completer over its own items. Choosing emits the combo's `activated` with
// the item's position, so the goods lookup runs as for a mouse choice.
void makeGoodsSearchable(QComboBox* combo);

}  // namespace shop::checkout
