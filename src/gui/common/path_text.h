#pragma once
// Paths are bytes: the core keeps every name as the file system gave it, and
// only what a person sees is decoded. These two are the one crossing between
// those bytes and Qt's strings (the locale's file name encoding, UTF-8 on a
// modern desktop; a name that is not valid UTF-8 still comes back whole).

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>
#include <string_view>

namespace gb::ui {

inline std::string pathBytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

inline QString pathText(std::string_view bytes)
{
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// The same for the chooser, which keeps its folders as QByteArray.
inline QByteArray pathByteArray(const QString& path)
{
    return QFile::encodeName(path);
}

inline QString pathText(const QByteArray& bytes)
{
    return QFile::decodeName(bytes);
}

} // namespace gb::ui
