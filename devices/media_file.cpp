#include "devices/media_file.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#ifdef Q_OS_WASM
#include <emscripten/val.h>
#endif
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

MediaFile::MediaFile(MediaFile &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_identity(std::move(other.m_identity))
{}

MediaFile &MediaFile::operator=(MediaFile &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_identity = std::move(other.m_identity);
    }
    return *this;
}

MediaFile::~MediaFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int MediaFile::release()
{
    return std::exchange(m_fd, -1);
}

#ifdef Q_OS_WIN
// Windows has no descriptor to open without blocking; its handle is checked the same way
// before the C runtime is given it, which libsndfile and QFile then read through.
Result<MediaFile> openMediaFile(const QString &fileName)
{
    // Backup semantics let a folder be opened too, so that it is told apart from a missing file.
    const HANDLE handle = ::CreateFileW(
            reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(fileName).utf16()),
            GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return Failure(u"ファイルがありません"_s);
        case ERROR_ACCESS_DENIED:
            return Failure(u"読む許可がありません"_s);
        default:
            return Failure(u"開けません（%1）"_s.arg(qt_error_string(int(error))));
        }
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        return Failure(u"開けません（%1）"_s.arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    MediaFile file(fd, {});
    // A console, a serial port or a pipe would never end, or hang the window at the first read.
    if (::GetFileType(handle) != FILE_TYPE_DISK)
        return Failure(u"ふつうのファイルではありません"_s);
    BY_HANDLE_FILE_INFORMATION info {};
    if (!::GetFileInformationByHandle(handle, &info))
        return Failure(u"開けません（%1）"_s.arg(qt_error_string(int(::GetLastError()))));
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return Failure(u"ファイルではなくフォルダーです"_s);
    const qint64 size = qint64(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    if (size == 0)
        return Failure(u"ファイルが空です"_s);
    // Windows keeps a change time as Linux does, which every write moves on.
    FILE_BASIC_INFO times {};
    if (!::GetFileInformationByHandleEx(handle, FileBasicInfo, &times, sizeof times))
        return Failure(u"開けません（%1）"_s.arg(qt_error_string(int(::GetLastError()))));
    // Hundreds of nanoseconds since 1601, counted from 1970 so that nanoseconds fit.
    constexpr qint64 From1601To1970 = 116'444'736'000'000'000;
    const auto ns = [](LARGE_INTEGER time) { return (time.QuadPart - From1601To1970) * 100; };
    return MediaFile(file.release(),
                     { fileName, info.dwVolumeSerialNumber,
                       std::uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow, size,
                       ns(times.LastWriteTime), ns(times.ChangeTime) });
}
#else
Result<MediaFile> openMediaFile(const QString &fileName)
{
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case ENOENT:
        case ENOTDIR:
            return Failure(u"ファイルがありません"_s);
        case EACCES:
        case EPERM:
            return Failure(u"読む許可がありません"_s);
        case ELOOP:
            return Failure(u"シンボリックリンクが循環しています"_s);
        case ENXIO:
            return Failure(u"ふつうのファイルではありません"_s);
        default:
            return Failure(u"開けません（%1）"_s.arg(QString::fromLocal8Bit(std::strerror(errno))));
        }
    }
    MediaFile file(fd, {});
    struct stat info
    {};
    if (::fstat(fd, &info) != 0)
        return Failure(u"開けません（%1）"_s.arg(QString::fromLocal8Bit(std::strerror(errno))));
    if (S_ISDIR(info.st_mode))
        return Failure(u"ファイルではなくフォルダーです"_s);
    // A pipe or a device would never end, or hang the window at the first read.
    if (!S_ISREG(info.st_mode))
        return Failure(u"ふつうのファイルではありません"_s);
    if (info.st_size == 0)
        return Failure(u"ファイルが空です"_s);
    // Regular files never block; the flag only mattered for what the name might have been.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const auto ns = [](const timespec &time) {
        return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
    };
    return MediaFile(file.release(),
                     { fileName, info.st_dev, info.st_ino, info.st_size, ns(info.st_mtim),
                       ns(info.st_ctim) });
}
#endif

QString mediaFolder()
{
#ifdef Q_OS_WASM
    // The page fetched the files from beside itself, and that is where a teacher replaces them.
    return QString::fromStdString(
            emscripten::val::global("tovemiPage").call<std::string>("folder"));
#endif
    const QString current = QDir::currentPath();
    if (!current.isEmpty())
        return QDir::toNativeSeparators(current);
    // The working folder was deleted under the program: the kernel still knows its old name.
    QString old = QFile::symLinkTarget(u"/proc/self/cwd"_s);
    constexpr QStringView Deleted = u" (deleted)";
    if (old.endsWith(Deleted))
        old.chop(Deleted.size());
    return old.isEmpty() ? u"（不明）"_s : u"%1（削除されています）"_s.arg(old);
}

QString cannotOpenMessage(const QString &fileName, const QString &reason)
{
    return u"「%1」を開けません: %2（探した場所: %3）"_s.arg(fileName, reason, mediaFolder());
}
