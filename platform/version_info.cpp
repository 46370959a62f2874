#include "platform/version_info.h"

#include <cstdio>

namespace platform {

std::optional<VersionTranslation> choose_translation(
    const std::vector<VersionTranslation>& translations, std::uint16_t user_language) {
    if (translations.empty()) return std::nullopt;
    const auto low = [](std::uint16_t language) { return language & 0xFF; };
    for (const auto& t : translations)
        if (t.language == user_language) return t;
    for (const int wanted : {low(user_language), 0x00, 0x09})
        for (const auto& t : translations)
            if (low(t.language) == wanted) return t;
    return translations.front();
}

std::string string_block_name(const VersionTranslation& translation) {
    char name[9];
    std::snprintf(name, sizeof name, "%04X%04X", translation.language, translation.code_page);
    return name;
}

namespace {

// One node of the version tree: length, value length, type, UTF-16 key,
// padding to 32 bits, value, padding, children.
struct Node {
    std::size_t begin = 0, end = 0, children = 0;
    std::u16string key;
};

std::size_t Align(std::size_t at) {
    return (at + 3) & ~std::size_t{3};
}

std::optional<Node> ReadNode(const std::vector<unsigned char>& b, std::size_t at,
                             std::size_t limit) {
    const auto word = [&b](std::size_t i) {
        return static_cast<std::uint16_t>(b[i] | (b[i + 1] << 8));
    };
    if (at + 6 > limit) return std::nullopt;
    const std::size_t length = word(at);
    const std::size_t value_length = word(at + 2);
    const bool text = word(at + 4) == 1;
    if (length < 6 || at + length > limit) return std::nullopt;
    Node node;
    node.begin = at;
    node.end = at + length;
    std::size_t i = at + 6;
    for (; i + 1 < node.end && word(i) != 0; i += 2) node.key.push_back(word(i));
    i = Align(i + 2);
    i = Align(i + value_length * (text ? 2 : 1));
    node.children = i;
    return node;
}

}  // namespace

std::string first_string_table(const std::vector<unsigned char>& block) {
    const auto root = ReadNode(block, 0, block.size());
    if (!root) return "";
    for (std::size_t at = root->children; at < root->end;) {
        const auto child = ReadNode(block, at, root->end);
        if (!child) break;
        if (child->key == u"StringFileInfo") {
            const auto table = ReadNode(block, child->children, child->end);
            if (!table) return "";
            std::string name;
            for (char16_t c : table->key) name.push_back(c < 0x80 ? static_cast<char>(c) : '?');
            return name;
        }
        at = Align(child->end);
    }
    return "";
}

}  // namespace platform
