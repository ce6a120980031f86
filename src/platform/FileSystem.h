// File-system access shared by the Linux platform and the scripted test platform: the one
// conversion of names to bytes, the one way to open a file for reading, folder listings with
// hidden entries left out, and paths resolved without regard to case.
#pragma once

#include "platform/Platform.h"
#include "platform/Refusal.h"

#include <QByteArray>
#include <QString>

#include <ctime>

class QUrl;

namespace FileSystem {

// The one conversion between the names the program handles and the bytes on disk (see
// TextEncoding::decodeFileName). Every access to the file system goes through it.
QByteArray nativeName(const QString& path);
QString fromNative(QByteArrayView bytes);

// A name made absolute against an absolute folder: "." parts dropped, a ".." that follows a part
// of the folder takes that part away (the folder is a real path, so this is what the kernel would
// do); a name that is already absolute, or empty, is returned as it is.
QString absolutePath(const QString& name, const QString& folder);
// The local path of a file URL, its percent-encoded bytes taken as they are; "" for other URLs.
QString fromFileUrl(const QUrl& url);
// The file URL of a path, every byte that needs it percent-encoded.
QString fileUrl(const QString& path);
// The working folder of the process ("/" when it cannot be found).
QString workingFolder();

// Whether a path can name a file at all: not empty, no NUL, shorter than the 4096 bytes the
// kernel takes, no name part longer than 255 bytes. Anything else is missing without a look at
// the disk.
bool canNameFile(const QString& path);

// The path names something (a dangling link counts), as given, without regard to case.
bool exists(const QString& path);
// The path (after links) is a regular file.
bool isRegularFile(const QString& path);

// The path as it exists on disk: unchanged when it exists as given, otherwise each part matched
// without regard to case (an exact match first); unchanged when nothing matches. A part also
// matches a name whose bytes read as it in Windows-1252, so that a name typed or written as text
// finds a file named in that code page.
QString resolvePath(const QString& path);

// See Platform::listFolder. Symbolic links count as what they point to.
FolderEntries listFolder(const QString& folder, bool sortByName = true);

// How much each reader of the program reads at most.
namespace Limit {
constexpr qint64 kSlideList = 16LL << 20;    // 32767 names of a few hundred bytes each
constexpr qint64 kSettings = 1LL << 20;      // albo.ini, exif.ini
constexpr qint64 kPicture = 512LL << 20;     // the largest picture file the loader takes
constexpr qint64 kUnlimited = -1;            // a copy streams the file, whatever its size
}  // namespace Limit

// A file opened for reading by the one function every reader of the program uses. Opening never
// blocks (a FIFO without a writer, a device) and takes only regular files; reads never go past
// the stated limit.
class ReadableFile {
public:
    ReadableFile() = default;
    ~ReadableFile();
    ReadableFile(ReadableFile&& other) noexcept;
    ReadableFile& operator=(ReadableFile&& other) noexcept;
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Why it is not open: Missing, NotRegular, TooLarge or Failed.
    const Refusal& refusal() const { return m_refusal; }
    // errno of the failed open or examination (0 when refused for its kind or size).
    int error() const { return m_refusal.error; }
    qint64 size() const { return m_size; }
    // Modification time and permission bits of the open file.
    const struct timespec& modified() const { return m_modified; }
    unsigned permissions() const { return m_mode; }

    // Up to n bytes from position pos, never beyond the limit; shorter at the end of the file.
    QByteArray read(qint64 pos, qint64 n) const;
    // Reads sequentially into buffer; the count, 0 at the end, -1 on error (errno set).
    qint64 readNext(char* buffer, qint64 n);
    // Hands the descriptor over (for example to QFile); the object is closed afterwards.
    int takeHandle();

private:
    friend ReadableFile openForReading(const QString& path, qint64 limit, bool wholeFileOnly);
    int m_fd = -1;
    Refusal m_refusal = Refusal::of(Refusal::Kind::Missing);
    qint64 m_size = 0;
    qint64 m_limit = Limit::kUnlimited;
    qint64 m_position = 0;
    struct timespec m_modified {};
    unsigned m_mode = 0;
};

// Opens exactly the given path (no case resolution). A regular file larger than limit is refused
// as TooLarge when wholeFileOnly, otherwise it is opened and reads stop at limit.
ReadableFile openForReading(const QString& path, qint64 limit, bool wholeFileOnly = true);

// The whole content of a regular file of at most limit bytes; false (content empty) otherwise,
// with the reason in refusal when one is given.
bool readFile(const QString& path, qint64 limit, QByteArray& content, Refusal* refusal = nullptr);

// Replaces a file of the user with new content, atomically: a reader sees the old file or the new
// one, never a part. A link is followed, so the link stays. The file keeps its owner, group and
// mode; a new one gets the usual mode and, when we run as root, the owner of its folder, as do
// the folders made for it. A file whose mode forbids writing is left alone also when we run as
// root, who could write it anyway: the user protected it.
Refusal replaceFile(const QString& path, const QByteArray& content);

// Writes all bytes to the descriptor, going on after interruptions; false with errno set.
bool writeAll(int fd, const char* data, qint64 size);

// Makes the folder and every missing folder above it with the given mode (less the umask); when
// we run as root each belongs to the owner of the folder it is made in. False with errno set.
bool makeFolders(const QByteArray& nativeFolder, unsigned mode);

// When we run as root for a user (sudo), what we make in the user's folders must stay the user's:
// gives the file or folder just made the owner and group of the folder it lies in.
void giveToFolderOwner(const QByteArray& nativePath);

// Identity of a folder (device and inode), used to notice links that lead back into a folder
// already visited; false when the folder cannot be examined.
struct FolderId {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FolderId&) const = default;
};
bool folderId(const QString& folder, FolderId& id);

}  // namespace FileSystem
