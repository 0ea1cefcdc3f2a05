#include "core/cursors/install_inf.h"

#include "core/text/ansi_text.h"
#include "core/text/ascii.h"
#include "core/text/utf16_text.h"

#include <algorithm>
#include <vector>

namespace gb {

namespace {

using Section = std::vector<std::string>; // its lines, comments dropped

// The line without its comment: ";" outside quotes starts one.
std::string_view withoutComment(std::string_view line)
{
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ';' && !quoted)
            return line.substr(0, i);
    }
    return line;
}

// Sections by lower-case name; a section named twice continues.
std::map<std::string, Section> sectionsOf(const std::string& text)
{
    std::map<std::string, Section> sections;
    Section* current = nullptr;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto end = std::min(text.find('\n', at), text.size());
        const std::string_view line =
            trimmedBlanks(withoutComment(std::string_view(text).substr(at, end - at)));
        at = end + 1;
        if (line.empty())
            continue;
        if (line.front() == '[') {
            const auto close = line.find(']');
            current = &sections[asciiLowered(trimmedBlanks(
                line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)))];
            continue;
        }
        if (current != nullptr)
            current->emplace_back(line);
    }
    return sections;
}

// The fields of a line, split at commas outside quotes, each trimmed and
// unquoted ("" inside quotes is one quote).
std::vector<std::string> fieldsOf(std::string_view line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    for (std::string& field : fields)
        field = std::string(trimmedBlanks(field));
    return fields;
}

// key = value
std::optional<std::pair<std::string, std::string>> keyValue(std::string_view line)
{
    const auto equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return std::pair{asciiLowered(trimmedBlanks(line.substr(0, equals))),
                     std::string(trimmedBlanks(line.substr(equals + 1)))};
}

// %name% replaced from [Strings] (and %10%, the Windows folder, and the
// like, which name folders this leaves out: only the file's name counts).
std::string expanded(std::string_view text, const std::map<std::string, std::string>& strings)
{
    std::string result;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto open = text.find('%', at);
        const auto close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) {
            result += text.substr(at);
            break;
        }
        result += text.substr(at, open - at);
        const std::string name = asciiLowered(text.substr(open + 1, close - open - 1));
        if (const auto found = strings.find(name); found != strings.end())
            result += found->second;
        else if (name.empty())
            result += '%';
        at = close + 1;
    }
    return result;
}

// A path's last component, "\" or "/" between them.
std::string fileNameOf(std::string_view path)
{
    path = trimmedBlanks(path);
    const auto slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The AddReg sections an install section names, any of them: the
// [DefaultInstall] ones first, then every other install section's.
std::vector<std::string> addRegSections(const std::map<std::string, Section>& sections)
{
    std::vector<std::string> names;
    const auto add = [&names](const Section& section) {
        for (const std::string& line : section)
            if (const auto kv = keyValue(line); kv && kv->first == "addreg")
                for (const std::string& name : fieldsOf(kv->second))
                    if (!name.empty() && std::ranges::find(names, asciiLowered(name)) == names.end())
                        names.push_back(asciiLowered(name));
    };
    if (const auto install = sections.find("defaultinstall"); install != sections.end())
        add(install->second);
    for (const auto& [name, section] : sections)
        add(section);
    return names;
}

bool isCursorsKey(std::string_view key, std::string_view below)
{
    return equalIgnoringAsciiCase(trimmedBlanks(key),
                                  std::string("Control Panel\\Cursors") + std::string(below));
}

} // namespace

std::string infText(std::span<const std::byte> bytes)
{
    bytes = bytes.first(std::min(bytes.size(), kMaxInfBytes));
    const auto at = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
        std::u16string units;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            units += static_cast<char16_t>(at(i) | (at(i + 1) << 8));
        return utf8FromUtf16(units);
    }
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (text.starts_with("\xEF\xBB\xBF"))
        return std::string(text.substr(3));
    return utf8FromWindows1252(text);
}

std::optional<CursorScheme> readCursorScheme(std::span<const std::byte> bytes)
{
    const auto sections = sectionsOf(infText(bytes));
    std::map<std::string, std::string> strings;
    if (const auto found = sections.find("strings"); found != sections.end())
        for (const std::string& line : found->second)
            if (auto kv = keyValue(line)) {
                const auto fields = fieldsOf(kv->second);
                strings.try_emplace(kv->first, fields.empty() ? std::string() : fields.front());
            }

    CursorScheme scheme;
    std::map<CursorRole, std::string> named;
    bool any = false;
    for (const std::string& sectionName : addRegSections(sections)) {
        const auto section = sections.find(sectionName);
        if (section == sections.end())
            continue;
        for (const std::string& line : section->second) {
            // root, subkey, value name, flags, value
            const auto fields = fieldsOf(line);
            if (fields.size() < 5 || !equalIgnoringAsciiCase(fields[0], "HKCU"))
                continue;
            const std::string key = expanded(fields[1], strings);
            const std::string valueName = expanded(fields[2], strings);
            if (isCursorsKey(key, "\\Schemes")) {
                // One comma-separated list of the roles' files by position,
                // quoted or not (then the line's own fields split it).
                std::string list = fields[4];
                for (std::size_t i = 5; i < fields.size(); ++i)
                    list += "," + fields[i];
                const auto files = fieldsOf(expanded(list, strings));
                scheme.name = valueName;
                for (std::size_t i = 0; i < files.size() && i < kCursorRoleCount; ++i)
                    if (std::string file = fileNameOf(files[i]); !file.empty())
                        scheme.files[cursorRoles()[i].role] = std::move(file);
                any = true;
            } else if (isCursorsKey(key, "")) {
                const auto role = roleOfRegistryName(valueName);
                const std::string file = fileNameOf(expanded(fields[4], strings));
                if (role && !file.empty()) {
                    named[*role] = file;
                    any = true;
                }
            }
        }
    }
    if (!any)
        return std::nullopt;
    for (auto& [role, file] : named)
        scheme.files[role] = file;
    return scheme;
}

} // namespace gb
