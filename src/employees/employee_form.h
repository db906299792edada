// The rules of the employee entry form that need no control: which text items
// must be filled, the reminder for an incomplete form, the order in which a
// record's fields are written and the message for a field whose write failed.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace shop::employees {

// One text item of the form: the field it fills, its control and the reminder
// shown when it is the only empty item.
struct FormItem {
    int position;
    const char* control;
    const char* emptyMessage;
};

inline constexpr int kFormItemCount = 17;
inline constexpr int kFieldCount = 19;

// The seventeen text items (every field but the photo and the date of
// joining), in field order.
const std::array<FormItem, kFormItemCount>& formItems();

// Reminder for a form whose items have these texts (in formItems() order);
// nullopt when every item holds at least one character. Blanks count as
// filled: nothing is trimmed.
std::optional<std::string> completenessReminder(
    const std::array<std::string, kFormItemCount>& texts);

// Fields in the order a new record is written: the telephone number goes in
// before the home address.
const std::array<int, kFieldCount>& writeOrder();

// Message for a field whose write alone failed; empty for the name and the
// home address, which have none.
std::string_view writeFailureMessage(int position);

// Message for a save that stored nothing because the writes at these
// positions failed: the field's own message when it alone failed and has
// one, otherwise one message that names what failed.
std::string saveFailureMessage(const std::vector<int>& failed);

// The age as stored: the typed text followed by "岁", whatever it holds.
std::string storedAge(const std::string& typed);

}  // namespace shop::employees
