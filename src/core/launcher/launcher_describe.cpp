// The launcher's errors and notes in English, for the command-line tool
// and for programmers; a window words their kinds in its own language.

#include "core/launcher/launcher.h"

#include "core/wine/wine_prefix.h"

namespace gb {

std::string describe(const LauncherError& error)
{
    const std::string& path = error.path;
    switch (error.problem) {
    case LauncherProblem::Unreadable:
        return path + ": cannot be read" + (error.read ? ": " + gb::describe(*error.read) : "");
    case LauncherProblem::BrokenShortcut:
        return path + ": a broken shortcut" + (error.read ? ": " + gb::describe(*error.read) : "");
    case LauncherProblem::NoTarget: return path + ": the shortcut names no program";
    case LauncherProblem::NoPrefix:
        return path + ": a Windows path, and no Wine prefix to find it in (give --prefix)";
    case LauncherProblem::PrefixNotFolder: return path + ": the Wine prefix is no folder";
    case LauncherProblem::NotWinePrefix:
        return path +
               ": not a Wine prefix (no drive_c and system.reg in it); Wine would make a new one there";
    case LauncherProblem::NoDrive: return path + ": the Wine prefix has no drive " + error.detail;
    case LauncherProblem::LeavesDrive: return path + ": goes above the root of its drive";
    case LauncherProblem::UnknownVariable: return path + ": Wine does not set %" + error.detail + "%";
    case LauncherProblem::UnsupportedPath: return path + ": a network path, not one on a drive of the prefix";
    case LauncherProblem::Missing: return path + ": no such file or folder";
    case LauncherProblem::PathTooLong:
        return path + ": longer than the " + std::to_string(kMaxWindowsPathLength) +
               " characters of a Windows path";
    case LauncherProblem::NotAFile: return path + ": not a program file";
    case LauncherProblem::NotAProgram:
        return path + ": not a Windows program (no PE or NE header after an MZ header) nor a shortcut; a "
                      "launcher runs only those";
    case LauncherProblem::LinuxProgram:
        return path +
               ": a Linux program, which Wine would run as it is; a launcher runs only Windows programs "
               "and documents";
    case LauncherProblem::NoAddress:
        return path + ": the Internet shortcut's address '" + error.detail +
               "' is no web or mail address (http, https, ftp, mailto)";
    case LauncherProblem::NoIcon: return path + ": holds no icon of index " + error.detail;
    case LauncherProblem::IconUnreadable:
        return path + ": the icon holds no image that can be read" +
               (error.detail.empty() ? "" : ": " + error.detail);
    case LauncherProblem::BadName:
        return "'" + path + "': the name may not be empty, hold '/' or a control character, or be . or ..";
    case LauncherProblem::NameTooLong:
        return "the name is " + error.detail + " bytes long; a launcher's name holds at most " +
               std::to_string(kMaxLauncherName) + " (glimmerbox-NAME.desktop must fit in " +
               std::to_string(NAME_MAX) + " bytes)";
    case LauncherProblem::UnusableText:
        return path + ": holds a control character, which the launcher's " + error.detail + " cannot carry";
    case LauncherProblem::NotUtf8:
        return path + ": is not UTF-8 text, and the launcher's " + error.detail +
               " must be (a desktop entry is UTF-8)";
    case LauncherProblem::NoDataDir: return "no folder to write the launcher into (HOME is not set)";
    case LauncherProblem::WriteFailed:
        return path + ": cannot be written" + (error.write ? ": " + error.write->message : "");
    case LauncherProblem::TakenByOther:
        return path + ": an entry of that name exists, " +
               (error.detail.empty() ? "not made by glimmerbox" : "made from " + error.detail) +
               "; give --force to replace it";
    }
    return path;
}

std::string describe(const LauncherNote& note)
{
    switch (note.kind) {
    case LauncherNoteKind::IconNotFound: return "its icon " + note.path + " does not exist";
    case LauncherNoteKind::NoIconOfIndex: return note.path + " holds no icon of index " + note.detail;
    case LauncherNoteKind::IconNotReadable:
        return "its icon in " + note.path + " cannot be read" +
               (note.detail.empty() ? "" : ": " + note.detail);
    case LauncherNoteKind::TargetIconUsed: return "the icon of " + note.path + " is shown instead";
    case LauncherNoteKind::DefaultIconUsed: return "the desktop's icon '" + note.detail + "' is shown";
    case LauncherNoteKind::OpenedByStart:
        return note.path + " is a document or script, opened by Wine's start as Windows opens it";
    }
    return note.path;
}

} // namespace gb
