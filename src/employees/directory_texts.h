// Texts the employee directory shows that a rule makes, not a field as
// stored: the identity card number with its middle hidden, and the question
// asked before an employee is removed.
#pragma once

#include <string>

namespace shop::employees {

// The number with its middle characters shown as "*": the first six and the
// last four stay for a number of eleven characters or more (an 18-digit
// number shows its region and its last four), the first and the last for a
// shorter one, nothing of one or two characters. Counted in characters, not
// bytes.
std::string maskedIdCard(const std::string& number);

// The question before "清空" removes the `count` employees called `name`:
// it names them, says their leave records go with them, and that their
// salary table is kept.
std::string removalQuestion(const std::string& name, int count);

}  // namespace shop::employees
