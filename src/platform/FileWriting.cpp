// Writing files of the user: whole files replaced atomically with their owner and mode kept, and
// folders made for them. Running as root (a user who started the viewer with sudo) must leave
// the user's files as the user's own program would: owned by the user, and a write-protected file
// untouched.
#include "platform/FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileSystem {
namespace {

QByteArray ordnerVon(const QByteArray& pfad)
{
    const qsizetype trenner = pfad.lastIndexOf('/');
    return trenner <= 0 ? QByteArray("/") : pfad.left(trenner);
}

bool istOrdner(const QByteArray& pfad)
{
    struct stat st;
    return ::stat(pfad.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Whether the user may write the file. The administrator may write anything, so for root the
// file's own mode decides, as it would for its owner.
bool beschreibbar(const QByteArray& pfad, const struct stat& st)
{
    if (::geteuid() == 0)
        return (st.st_mode & S_IWUSR) != 0;
    return ::faccessat(AT_FDCWD, pfad.constData(), W_OK, AT_EACCESS) == 0 || (errno != EACCES && errno != EROFS && errno != EPERM);
}

// A new file beside the target, named so that it is never mistaken for the user's: made with
// the usual mode (the umask applies), exclusively.
int neueDateiDaneben(const QByteArray& ziel, QByteArray& name)
{
    const QByteArray ordner = ordnerVon(ziel);
    const QByteArray basis = ziel.mid(ziel.lastIndexOf('/') + 1).left(200);
    for (int versuch = 0; versuch < 100; ++versuch) {
        name = ordner + (ordner.endsWith('/') ? "" : "/") + '.' + basis + ".neu-" + QByteArray::number(::getpid()) + '-' +
               QByteArray::number(versuch);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

bool writeAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

void giveToFolderOwner(const QByteArray& nativePath)
{
    if (::geteuid() != 0)
        return;
    struct stat ordner;
    if (::stat(ordnerVon(nativePath).constData(), &ordner) != 0 || (ordner.st_uid == 0 && ordner.st_gid == 0))
        return;
    ::fchownat(AT_FDCWD, nativePath.constData(), ordner.st_uid, ordner.st_gid, AT_SYMLINK_NOFOLLOW);
}

bool makeFolders(const QByteArray& nativeFolder, unsigned mode)
{
    if (nativeFolder.isEmpty() || istOrdner(nativeFolder))
        return true;
    const QByteArray darueber = ordnerVon(nativeFolder);
    if (darueber != nativeFolder && !makeFolders(darueber, mode))
        return false;
    if (::mkdir(nativeFolder.constData(), mode_t(mode)) == 0)
        giveToFolderOwner(nativeFolder);
    else if (errno != EEXIST)
        return false;
    if (istOrdner(nativeFolder))
        return true;
    errno = ENOTDIR;
    return false;
}

Refusal replaceFile(const QString& path, const QByteArray& content)
{
    using Kind = Refusal::Kind;
    if (!canNameFile(path))
        return Refusal::of(Kind::Failed, path, ENAMETOOLONG);
    QByteArray ziel = nativeName(path);
    struct stat st;
    bool vorhanden = ::lstat(ziel.constData(), &st) == 0;
    if (vorhanden && S_ISLNK(st.st_mode)) {
        // Written where the link points, so a file kept with the user's other settings stays there.
        char* echt = ::realpath(ziel.constData(), nullptr);
        if (!echt)
            return Refusal::of(Kind::Missing, path, errno);
        ziel = echt;
        std::free(echt);
        vorhanden = ::lstat(ziel.constData(), &st) == 0;
    }
    if (!vorhanden && errno != ENOENT)
        return Refusal::of(Kind::Failed, path, errno);
    if (vorhanden && !S_ISREG(st.st_mode))
        return Refusal::of(Kind::NotRegular, path);
    if (vorhanden && !beschreibbar(ziel, st))
        return Refusal::of(Kind::WriteProtected, path);
    if (!makeFolders(ordnerVon(ziel), 0777))
        return Refusal::of(Kind::Failed, path, errno);

    QByteArray neu;
    const int fd = neueDateiDaneben(ziel, neu);
    if (fd < 0)
        return Refusal::of(Kind::Failed, path, errno);
    Refusal grund;
    if (!writeAll(fd, content.constData(), content.size()) || ::fsync(fd) != 0) {
        grund = Refusal::of(Kind::Failed, path, errno);
    } else if (vorhanden) {
        // Owner first: a change of owner may clear mode bits. The group is kept where we may.
        if (::fchown(fd, st.st_uid, st.st_gid) != 0 && (st.st_uid != ::geteuid() || ::fchown(fd, st.st_uid, gid_t(-1)) != 0))
            grund = Refusal::of(Kind::OwnerNotKept, path);
        else if (::fchmod(fd, st.st_mode & 07777) != 0)
            grund = Refusal::of(Kind::Failed, path, errno);
    } else {
        giveToFolderOwner(neu);
    }
    if (::close(fd) != 0 && !grund.refused())
        grund = Refusal::of(Kind::Failed, path, errno);
    if (!grund.refused() && ::rename(neu.constData(), ziel.constData()) != 0)
        grund = Refusal::of(Kind::Failed, path, errno);
    if (grund.refused())
        ::unlink(neu.constData());
    return grund;
}

}  // namespace FileSystem
