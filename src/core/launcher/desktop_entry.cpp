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
    std::string exec;
    if (fields.prefix)
        exec = "env WINEPREFIX=" + execArgument(*fields.prefix, true) + " ";
    exec += "wine " + execArgument(fields.program, true);
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
    // Filed with the Wine programs: "Wine" is no registered category, and an
    // unregistered one takes "X-" before it, or desktop-file-validate refuses it.
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           stringValue(fields.name) + "\nExec=" + stringValue(fieldsEscaped) +
           "\nPath=" + stringValue(fields.workingFolder) + "\nIcon=" + stringValue(fields.icon) +
           "\nStartupWMClass=" + stringValue(fields.windowClass) + "\nCategories=X-Wine;\n";
}

} // namespace gb
