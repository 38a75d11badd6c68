// Why a picture or sound file cannot be used, in words a teacher can act on.
#pragma once

#include <QString>

#include <optional>

// The reason a file cannot be read at all (missing, a folder, not a plain file, not readable,
// empty), or nothing when it is worth handing to a decoder. The name is taken as it is,
// relative to the working directory.
std::optional<QString> MediaFileProblem(const QString &fileName);

// The text of a report about a file that cannot be used: its name and the reason.
QString CannotOpenMessage(const QString &fileName, const QString &reason);
