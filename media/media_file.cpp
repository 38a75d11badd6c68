#include "media/media_file.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

std::optional<QString> MediaFileProblem(const QString &fileName)
{
    const QFileInfo info(fileName);
    // The most likely cause is a program started in another folder: say where we looked.
    if (!info.exists())
        return u"ファイルがありません（探した場所: %1）"_s.arg(
            QDir::toNativeSeparators(QDir::currentPath()));
    if (info.isDir())
        return u"ファイルではなくフォルダーです"_s;
    // A pipe or a device would block the window while it is opened, or never end.
    if (!info.isFile())
        return u"ふつうのファイルではありません"_s;
    if (!info.isReadable())
        return u"読む許可がありません"_s;
    if (info.size() == 0)
        return u"ファイルが空です"_s;
    return std::nullopt;
}

QString CannotOpenMessage(const QString &fileName, const QString &reason)
{
    return u"「%1」を開けません: %2"_s.arg(fileName, reason);
}
