#pragma once
// The main window writes its batches to its output folder, and without one
// given to the folder beside the program, which every test program in the
// build shares. A window test gives it a folder of its own instead, so the
// window tests can run side by side and a test that removes a folder to make
// a batch fail never pulls it from under another.

#include "gui/main/main_window.h"

#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace gb::test {

// A folder of this test program's own, removed when the program ends.
inline const std::string& ownOutputFolder()
{
    static const QTemporaryDir folder;
    static const std::string path = QFile::encodeName(folder.path()).toStdString();
    return path;
}

// The services given, with the output folder of this test program.
inline MainWindowServices withOwnOutputFolder(MainWindowServices services = {})
{
    services.outputFolder = ownOutputFolder();
    return services;
}

} // namespace gb::test
