#include "KeywordLists.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <system_error>

KeywordList KeywordList_DB2;
KeywordList KeywordList_MSSQLSERVER;
KeywordList KeywordList_ORACLE;
KeywordList KeywordList_SYBASE;
KeywordList KeywordList_INFORMIX;
KeywordList KeywordList_ACCESS;
KeywordList KeywordList_MYSQL;
KeywordList KeywordList_FOXPRO;

namespace {

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The file of the folder whose name equals name without regard to case; the exact name first.
std::optional<std::filesystem::path> FindFileIgnoringCase(const std::filesystem::path& folder, const std::string& name)
{
    std::error_code ec;
    const std::filesystem::path exact = folder / name;
    if (std::filesystem::is_regular_file(exact, ec)) return exact;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) return std::nullopt;
    for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) return std::nullopt;
        if (SameIgnoringAsciiCase(it->path().filename().string(), name) && it->is_regular_file(ec)) return it->path();
    }
    return std::nullopt;
}

} // namespace

KeywordList* KeywordListOfKind(int kind)
{
    switch (kind) {
    case 1: return &KeywordList_DB2;
    case 2: return &KeywordList_MSSQLSERVER;
    case 3: return &KeywordList_ORACLE;
    case 4: return &KeywordList_SYBASE;
    case 5: return &KeywordList_INFORMIX;
    case 6: return &KeywordList_ACCESS;
    case 7: return &KeywordList_MYSQL;
    case 8: return &KeywordList_FOXPRO;
    default: return nullptr;
    }
}

std::string KeywordFileName(int kind)
{
    if (kind < 1 || kind > 8) return {};
    return "SRCREQU_" + std::to_string(kind) + ".DAT";
}

bool ReadKeywordFile(const std::filesystem::path& file, KeywordList& list)
{
    list.clear();
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return false;
    std::string_view rest = text;
    if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of("\r\n");
        list.emplace_back(rest.substr(0, end));
        if (end == std::string_view::npos) break;
        const bool crLf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
        rest.remove_prefix(end + (crLf ? 2 : 1));
    }
    return true;
}

void LoadKeywordFiles(const std::filesystem::path& folder)
{
    for (int kind = 1; kind <= 8; ++kind) {
        KeywordList& list = *KeywordListOfKind(kind);
        list.clear();
        if (const auto file = FindFileIgnoringCase(folder, KeywordFileName(kind))) ReadKeywordFile(*file, list);
    }
}

void ClearKeywordLists()
{
    for (int kind = 1; kind <= 8; ++kind) {
        KeywordList& list = *KeywordListOfKind(kind);
        list.clear();
        list.shrink_to_fit();
    }
}
