// Names converted byte for byte, files opened without blocking, folder listings through readdir
// (fast enough for folders of tens of thousands of files) and case-insensitive path resolution,
// component by component.
#include "platform/FileSystem.h"

#include "platform/TextEncoding.h"

#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileSystem {
namespace {

constexpr qsizetype kPathMax = 4096;  // bytes, with the final NUL
constexpr qsizetype kNameMax = 255;

bool usable(const QByteArray& native)
{
    if (native.isEmpty() || native.size() >= kPathMax || native.contains('\0'))
        return false;
    qsizetype start = 0;
    while (start < native.size()) {
        qsizetype end = native.indexOf('/', start);
        if (end < 0)
            end = native.size();
        if (end - start > kNameMax)
            return false;
        start = end + 1;
    }
    return true;
}

bool lstatUsable(const QByteArray& native, struct stat& st)
{
    return usable(native) && ::lstat(native.constData(), &st) == 0;
}

// Names in one folder, read raw; false when the folder cannot be opened.
bool readNames(const QByteArray& folder, std::vector<QByteArray>& names)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return false;
    while (dirent* e = ::readdir(dir)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        names.emplace_back(n);
    }
    ::closedir(dir);
    return true;
}

bool lessIgnoringCase(const QString& a, const QString& b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

}  // namespace

QByteArray nativeName(const QString& path)
{
    return TextEncoding::encodeFileName(path);
}

QString fromNative(QByteArrayView bytes)
{
    return TextEncoding::decodeFileName(bytes);
}

QString absolutePath(const QString& name, const QString& folder)
{
    if (name.isEmpty() || name.startsWith(u'/'))
        return name;
    QStringList parts = folder.split(u'/', Qt::SkipEmptyParts);
    qsizetype fromFolder = parts.size();  // parts[0, fromFolder) belong to the folder
    for (const QString& part : name.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u".")
            continue;
        if (part == u".." && fromFolder == parts.size()) {
            if (!parts.isEmpty()) {  // above the root is the root
                parts.removeLast();
                --fromFolder;
            }
            continue;
        }
        parts.append(part);
    }
    QString result = u'/' + parts.join(u'/');
    if (name.endsWith(u'/') && result.size() > 1)
        result += u'/';
    return result;
}

QString fromFileUrl(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    return fromNative(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QString fileUrl(const QString& path)
{
    return QStringLiteral("file://") + QString::fromLatin1(nativeName(path).toPercentEncoding("/"));
}

QString workingFolder()
{
    std::vector<char> buffer(kPathMax);
    if (!::getcwd(buffer.data(), buffer.size()))
        return QStringLiteral("/");
    return fromNative(buffer.data());
}

bool canNameFile(const QString& path)
{
    return usable(nativeName(path));
}

bool exists(const QString& path)
{
    struct stat st;
    return lstatUsable(nativeName(path), st);
}

bool isRegularFile(const QString& path)
{
    const QByteArray native = nativeName(path);
    struct stat st;
    return usable(native) && ::stat(native.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

QString resolvePath(const QString& path)
{
    const QByteArray native = nativeName(path);
    struct stat st;
    if (!usable(native) || ::lstat(native.constData(), &st) == 0)
        return path;
    // "current" is the resolved folder so far, ending in "/" ("" for the working folder).
    QString current = path.startsWith(u'/') ? QStringLiteral("/") : QString();
    for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
        const QString candidate = current + part;
        if (part == u"." || part == u".." || lstatUsable(nativeName(candidate), st)) {
            current = candidate + u'/';
            continue;
        }
        std::vector<QByteArray> names;
        if (!readNames(nativeName(current.isEmpty() ? QStringLiteral(".") : current), names))
            return path;
        // The name matching as text wins over one that matches only when read as Windows-1252.
        QString match;
        int matchRank = 0;
        for (const QByteArray& raw : names) {
            const QString name = fromNative(raw);
            const int rank = name.compare(part, Qt::CaseInsensitive) == 0                                  ? 2
                             : TextEncoding::readableName(name).compare(part, Qt::CaseInsensitive) == 0 ? 1
                                                                                                       : 0;
            if (rank > matchRank || (rank == matchRank && rank > 0 && lessIgnoringCase(name, match))) {
                match = name;
                matchRank = rank;
            }
        }
        if (matchRank == 0)
            return path;
        current += match + u'/';
    }
    if (!path.endsWith(u'/') && current.size() > 1)
        current.chop(1);
    return current;
}

FolderEntries listFolder(const QString& folder, bool sortByName)
{
    FolderEntries result;
    QString resolved = resolvePath(folder);
    if (resolved.isEmpty())
        resolved = QStringLiteral(".");
    QByteArray native = nativeName(resolved);
    if (!native.endsWith('/'))
        native.append('/');
    if (!usable(native))
        return result;
    DIR* dir = ::opendir(native.constData());
    if (!dir)
        return result;
    result.opened = true;
    const int dirFd = ::dirfd(dir);
    while (dirent* e = ::readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;  // hidden entries, "." and ".."
        unsigned char type = e->d_type;
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat st;
            if (::fstatat(dirFd, e->d_name, &st, 0) != 0)
                continue;
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_REG)
            result.files.append(fromNative(e->d_name));
        else if (type == DT_DIR)
            result.subfolders.append(fromNative(e->d_name));
    }
    ::closedir(dir);
    if (sortByName) {
        std::sort(result.files.begin(), result.files.end(), lessIgnoringCase);
        std::sort(result.subfolders.begin(), result.subfolders.end(), lessIgnoringCase);
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// Reading

ReadableFile::~ReadableFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

ReadableFile::ReadableFile(ReadableFile&& other) noexcept
{
    *this = std::move(other);
}

ReadableFile& ReadableFile::operator=(ReadableFile&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_refusal = other.m_refusal;
        m_size = other.m_size;
        m_limit = other.m_limit;
        m_position = other.m_position;
        m_modified = other.m_modified;
        m_mode = other.m_mode;
    }
    return *this;
}

QByteArray ReadableFile::read(qint64 pos, qint64 n) const
{
    if (m_fd < 0 || pos < 0 || n <= 0)
        return {};
    if (m_limit >= 0)
        n = std::min(n, m_limit - pos);
    n = std::min(n, m_size - pos);  // a file that grows while it is read is read as it was
    if (n <= 0)
        return {};
    QByteArray bytes(n, Qt::Uninitialized);
    qint64 done = 0;
    while (done < n) {
        const ssize_t r = ::pread(m_fd, bytes.data() + done, size_t(n - done), off_t(pos + done));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        done += r;
    }
    bytes.truncate(done);
    return bytes;
}

qint64 ReadableFile::readNext(char* buffer, qint64 n)
{
    if (m_fd < 0)
        return -1;
    if (m_limit >= 0)
        n = std::min(n, m_limit - m_position);
    if (n <= 0)
        return 0;
    for (;;) {
        const ssize_t r = ::read(m_fd, buffer, size_t(n));
        if (r < 0 && errno == EINTR)
            continue;
        if (r > 0)
            m_position += r;
        return r;
    }
}

int ReadableFile::takeHandle()
{
    return std::exchange(m_fd, -1);
}

ReadableFile openForReading(const QString& path, qint64 limit, bool wholeFileOnly)
{
    using Kind = Refusal::Kind;
    ReadableFile file;
    file.m_limit = limit;
    file.m_refusal.path = path;
    const QByteArray native = nativeName(path);
    struct stat st;
    // Examined before it is opened: opening a device can have effects of its own.
    if (!usable(native) || ::stat(native.constData(), &st) != 0) {
        file.m_refusal.error = usable(native) ? errno : ENOENT;
        if (file.m_refusal.error != ENOENT && file.m_refusal.error != ENOTDIR && file.m_refusal.error != ENAMETOOLONG)
            file.m_refusal.kind = Kind::Failed;  // exists, perhaps, but cannot be examined
        return file;
    }
    if (!S_ISREG(st.st_mode)) {
        file.m_refusal.kind = Kind::NotRegular;
        return file;
    }
    // Non-blocking, in case the name was swapped for a FIFO since it was examined.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        file.m_refusal.kind = Kind::Failed;
        file.m_refusal.error = errno;
        return file;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        file.m_refusal.kind = Kind::NotRegular;
        ::close(fd);
        return file;
    }
    if (wholeFileOnly && limit >= 0 && st.st_size > limit) {
        file.m_refusal.kind = Kind::TooLarge;
        file.m_refusal.limit = limit;
        ::close(fd);
        return file;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file.m_fd = fd;
    file.m_refusal = Refusal();
    file.m_size = st.st_size;
    file.m_modified = st.st_mtim;
    file.m_mode = st.st_mode & 07777;
    return file;
}

bool readFile(const QString& path, qint64 limit, QByteArray& content, Refusal* refusal)
{
    content.clear();
    ReadableFile file = openForReading(path, limit);
    Refusal grund = file.refusal();
    if (file.isOpen()) {
        errno = 0;
        content = file.read(0, file.size());
        if (content.size() != file.size()) {
            grund = Refusal::of(Refusal::Kind::Failed, path, errno ? errno : EIO);
            content.clear();
        }
    }
    if (refusal)
        *refusal = grund;
    return !grund.refused();
}

bool folderId(const QString& folder, FolderId& id)
{
    struct stat st;
    const QByteArray native = nativeName(resolvePath(folder));
    if (!usable(native) || ::stat(native.constData(), &st) != 0)
        return false;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    return true;
}

}  // namespace FileSystem
