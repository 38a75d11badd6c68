// Opening a picture or sound file that a teacher controls: once, without blocking, checked.
#pragma once

#include "drill/result.h"

#include <QString>

#include <cstdint>

// What tells one version of a file from another: a replaced file differs in at least one.
struct FileIdentity
{
    QString path;
    // The volume and the file's number on it: st_dev and st_ino, or Windows's serial number
    // and file index.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    // Unlike the modification time, every write moves it on and nothing can set it back: a
    // file written over in place at the same size, its old modification time put back, differs
    // in this alone.
    qint64 changedNs = 0;

    friend bool operator==(const FileIdentity &, const FileIdentity &) = default;
};

// A descriptor of a plain, readable, non-empty file, closed with the object unless released.
class MediaFile
{
public:
    MediaFile() = default;
    MediaFile(int fd, FileIdentity identity) : m_fd(fd), m_identity(std::move(identity)) {}
    MediaFile(MediaFile &&other) noexcept;
    MediaFile &operator=(MediaFile &&other) noexcept;
    ~MediaFile();

    int fd() const { return m_fd; }
    // Hands the descriptor over to whoever closes it from now on.
    int release();
    const FileIdentity &identity() const { return m_identity; }

private:
    int m_fd = -1;
    FileIdentity m_identity;
};

// Opens the file by the name given, relative to the working directory. A pipe, a device or a
// file swapped for one after a check can never block: the descriptor is opened without
// blocking and what it refers to is checked before anything is read. On failure the reason,
// in words a teacher can act on.
Result<MediaFile> openMediaFile(const QString &fileName);

// The folder the bare names are looked for in, even when it has been deleted since.
QString mediaFolder();

// The text of a report about a file that cannot be used: its name, the reason and the folder.
QString cannotOpenMessage(const QString &fileName, const QString &reason);
