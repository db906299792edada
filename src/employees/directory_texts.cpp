#include "directory_texts.h"

#include <vector>

namespace shop::employees {

namespace {

// The text cut into its UTF-8 characters.
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
        out.push_back(text.substr(i, n));
        i += n;
    }
    return out;
}

}  // namespace

std::string maskedIdCard(const std::string& number) {
    const std::vector<std::string> chars = characters(number);
    const std::size_t n = chars.size();
    const std::size_t head = n >= 11 ? 6 : n >= 3 ? 1 : 0;
    const std::size_t tail = n >= 11 ? 4 : n >= 3 ? 1 : 0;
    std::string shown;
    for (std::size_t i = 0; i < n; ++i) shown += i < head || i + tail >= n ? chars[i] : "*";
    return shown;
}

std::string removalQuestion(const std::string& name, int count) {
    const std::string who = count > 1
                                ? "“" + name + "”（共 " + std::to_string(count) + " 名同名员工）"
                                : "“" + name + "”";
    return "确定删除员工" + who + "的资料和请假记录吗？其工资发放记录会保留。";
}

}  // namespace shop::employees
