#include "core/launcher/desktop_entry.h"

namespace gb {

namespace {

// The characters the desktop entry format reserves in Exec: an
// argument holding one is quoted.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

// Inside double quotes, these take a backslash before them.
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

// A value of type string: a backslash is written "\\". The Exec line goes
// through this after its own quoting, so a literal backslash in a quoted
// argument ends up as four.
std::string stringValue(std::string_view text)
{
    std::string value;
    for (const char c : text) {
        if (c == '\\')
            value += '\\';
        value += c;
    }
    return value;
}

} // namespace

std::vector<std::string> splitWindowsArguments(std::string_view arguments)
{
    std::vector<std::string> result;
    std::string current;
    bool inArgument = false, quoted = false;
    for (std::size_t i = 0; i < arguments.size();) {
        const char c = arguments[i];
        if ((c == ' ' || c == '\t') && !quoted) {
            if (inArgument)
                result.push_back(std::move(current));
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            std::size_t run = 0;
            while (i < arguments.size() && arguments[i] == '\\') {
                ++run;
                ++i;
            }
            if (i < arguments.size() && arguments[i] == '"') {
                current.append(run / 2, '\\');
                if (run % 2 == 1) {
                    current += '"';
                    ++i;
                }
            } else {
                current.append(run, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && i + 1 < arguments.size() && arguments[i + 1] == '"') {
                current += '"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (inArgument)
        result.push_back(std::move(current));
    return result;
}

std::string execArgument(std::string_view argument, bool quoted)
{
    quoted = quoted || argument.empty() || argument.find_first_of(kReserved) != std::string_view::npos;
    if (!quoted)
        return std::string(argument);
    std::string result = "\"";
    for (const char c : argument) {
        if (kEscapedInQuotes.find(c) != std::string_view::npos)
            result += '\\';
        result += c;
    }
    return result + '"';
}

std::string desktopEntryText(const DesktopEntryFields& fields)
{
    std::string entry = "[Desktop Entry]\n";
    const auto line = [&entry](std::string_view key, std::string_view value) {
        entry += key;
        entry += '=';
        entry += stringValue(value);
        entry += '\n';
    };
    line("Type", fields.kind == EntryKind::Link ? "Link" : "Application");
    line("Name", fields.name);
    if (!fields.comment.empty())
        line("Comment", fields.comment);
    if (fields.kind == EntryKind::Link) {
        line("URL", fields.url);
    } else {
        std::string exec;
        if (fields.prefix)
            exec = "env WINEPREFIX=" + execArgument(*fields.prefix, true) + " ";
        // Wine's start opens a document as Explorer does, by its type;
        // /unix takes the path of this system.
        exec += fields.kind == EntryKind::Document ? "wine start /unix " : "wine ";
        exec += execArgument(fields.program, true);
        for (const std::string& argument : fields.arguments) {
            exec += ' ';
            exec += execArgument(argument);
        }
        // A literal "%" is "%%": the rest are field codes.
        std::string fieldsEscaped;
        for (const char c : exec) {
            fieldsEscaped += c;
            if (c == '%')
                fieldsEscaped += '%';
        }
        line("Exec", fieldsEscaped);
        line("Path", fields.workingFolder);
    }
    line("Icon", fields.icon);
    if (!fields.windowClass.empty())
        line("StartupWMClass", fields.windowClass);
    // Filed with the Wine programs: "Wine" is no registered category, and an
    // unregistered one takes "X-" before it, or desktop-file-validate refuses it.
    if (fields.kind != EntryKind::Link)
        line("Categories", "X-Wine;");
    line("X-Glimmerbox-Source", fields.source);
    if (fields.prefix)
        line("X-Glimmerbox-Prefix", *fields.prefix);
    if (fields.startMenu)
        line("X-Glimmerbox-Menu", *fields.startMenu);
    return entry;
}

std::map<std::string, std::string, std::less<>> desktopEntryValues(std::string_view text)
{
    std::map<std::string, std::string, std::less<>> values;
    bool inEntry = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.starts_with('[')) {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        const auto equals = line.find('=');
        if (!inEntry || line.starts_with('#') || equals == std::string_view::npos)
            continue;
        std::string_view key = line.substr(0, equals);
        while (!key.empty() && key.back() == ' ')
            key.remove_suffix(1);
        std::string_view raw = line.substr(equals + 1);
        while (!raw.empty() && raw.front() == ' ')
            raw.remove_prefix(1);
        std::string value;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '\\' || i + 1 == raw.size()) {
                value += raw[i];
                continue;
            }
            switch (raw[++i]) {
            case 's': value += ' '; break;
            case 'n': value += '\n'; break;
            case 't': value += '\t'; break;
            case 'r': value += '\r'; break;
            case '\\': value += '\\'; break;
            default: value += '\\'; value += raw[i];
            }
        }
        values.try_emplace(std::string(key), std::move(value));
    }
    return values;
}

} // namespace gb
