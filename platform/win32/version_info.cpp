#include <windows.h>

#include "platform/text.h"
#include "platform/version_info.h"

namespace platform {

namespace {

std::optional<std::string> Query(const std::vector<unsigned char>& block, const std::string& table,
                                 const std::string& name) {
    const std::wstring path =
        L"\\StringFileInfo\\" + to_wide(table).value_or(L"") + L"\\" + to_wide(name).value_or(L"");
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || value == nullptr)
        return std::nullopt;
    std::wstring_view text(static_cast<const wchar_t*>(value), length);
    while (!text.empty() && text.back() == L'\0') text.remove_suffix(1);
    return from_wide(text).value_or(std::string());
}

}  // namespace

std::optional<std::vector<std::string>> read_version_strings(
    const std::filesystem::path& file, const std::vector<std::string>& names) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return std::nullopt;

    std::vector<VersionTranslation> translations;
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) && value) {
        const auto* pairs = static_cast<const WORD*>(value);
        for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2)
            translations.push_back({pairs[i], pairs[i + 1]});
    }
    const auto chosen = choose_translation(translations, GetUserDefaultLangID());
    std::string table = chosen ? string_block_name(*chosen) : std::string();
    // A table that lacks the usual values: take the first one the block has.
    if (!Query(block, table, "FileVersion") || !Query(block, table, "FileDescription"))
        table = first_string_table(block);

    std::vector<std::string> values;
    for (const auto& name : names) values.push_back(Query(block, table, name).value_or(""));
    return values;
}

}  // namespace platform
