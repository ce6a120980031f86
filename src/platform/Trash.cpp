// The trash layout: <trash>/files holds the moved files, <trash>/info one .trashinfo file per
// file with its original path and the time it was trashed; the info file is made first and
// reserves the name.
#include "platform/Trash.h"

#include "platform/FileSystem.h"

#include <QDateTime>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Trash {
namespace {

constexpr int kFehlt = 2;
constexpr int kVerweigert = 5;

bool istOrdner(const QByteArray& pfad, bool linkErlaubt = true)
{
    struct stat st;
    const int r = linkErlaubt ? ::stat(pfad.constData(), &st) : ::lstat(pfad.constData(), &st);
    return r == 0 && S_ISDIR(st.st_mode);
}

// Makes the folder and every missing folder above it, each private to the user.
bool ordnerMachen(const QByteArray& pfad)
{
    if (istOrdner(pfad))
        return true;
    const qsizetype trenner = pfad.lastIndexOf('/');
    if (trenner > 0 && !ordnerMachen(pfad.left(trenner)))
        return false;
    return (::mkdir(pfad.constData(), 0700) == 0 || errno == EEXIST) && istOrdner(pfad);
}

bool trashMachen(const QByteArray& trash)
{
    return ordnerMachen(trash + "/files") && ordnerMachen(trash + "/info");
}

// The top folder of the file system that holds the path: the last folder upward on its device.
QByteArray obersterOrdner(const QByteArray& ordner, dev_t geraet)
{
    QByteArray oben = ordner;
    while (oben.size() > 1) {
        const qsizetype trenner = oben.lastIndexOf('/');
        const QByteArray darueber = trenner <= 0 ? QByteArray("/") : oben.left(trenner);
        struct stat st;
        if (::stat(darueber.constData(), &st) != 0 || st.st_dev != geraet)
            break;
        oben = darueber;
    }
    return oben;
}

// The trash of a file system other than the home's: $top/.Trash/$uid when the administrator made
// $top/.Trash (a sticky folder, not a link), otherwise $top/.Trash-$uid.
QByteArray trashAufGeraet(const QByteArray& oben, dev_t geraet)
{
    const QByteArray uid = QByteArray::number(::getuid());
    const QByteArray basis = oben == "/" ? QByteArray() : oben;
    struct stat st;
    const QByteArray gemeinsam = basis + "/.Trash";
    if (::lstat(gemeinsam.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QByteArray eigener = gemeinsam + '/' + uid;
        if (trashMachen(eigener) && ::stat(eigener.constData(), &st) == 0 && st.st_dev == geraet)
            return eigener;
    }
    const QByteArray eigener = basis + "/.Trash-" + uid;
    if (::mkdir(eigener.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    if (::lstat(eigener.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || st.st_dev != geraet)
        return {};
    return trashMachen(eigener) ? eigener : QByteArray();
}

bool allesSchreiben(int fd, const QByteArray& daten)
{
    qsizetype geschrieben = 0;
    while (geschrieben < daten.size()) {
        const ssize_t n = ::write(fd, daten.constData() + geschrieben, size_t(daten.size() - geschrieben));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        geschrieben += n;
    }
    return true;
}

// Moves without ever replacing what is at the target.
bool verschiebenOhneErsetzen(const QByteArray& von, const QByteArray& nach)
{
    if (::renameat2(AT_FDCWD, von.constData(), AT_FDCWD, nach.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without that flag: the info file has reserved the name, so the target is
    // free unless someone else broke the layout.
    struct stat st;
    if (::lstat(nach.constData(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(von.constData(), nach.constData()) == 0;
}

}  // namespace

QString homeTrash()
{
    QByteArray daten = qgetenv("XDG_DATA_HOME");
    if (!daten.startsWith('/')) {  // relative values are invalid by the XDG rules
        const QByteArray home = qgetenv("HOME");
        daten = (home.isEmpty() ? QByteArray("/") : home) + "/.local/share";
    }
    while (daten.size() > 1 && daten.endsWith('/'))
        daten.chop(1);
    return FileSystem::fromNative(daten + "/Trash");
}

int moveToTrash(const QString& path, const QString& homeTrashFolder)
{
    const QByteArray datei = FileSystem::nativeName(path);
    struct stat vorher;
    if (!FileSystem::canNameFile(path) || ::lstat(datei.constData(), &vorher) != 0)
        return kFehlt;
    // A folder is never a picture of the list; a file without its owner's write permission counts
    // as write-protected and stays, as the message about such files tells the user.
    if (S_ISDIR(vorher.st_mode) || (!S_ISLNK(vorher.st_mode) && !(vorher.st_mode & S_IWUSR)))
        return kVerweigert;
    const qsizetype trenner = datei.lastIndexOf('/');
    if (!datei.startsWith('/') || trenner == datei.size() - 1)
        return kVerweigert;  // the list holds absolute names of files
    const QByteArray ordner = trenner == 0 ? QByteArray("/") : datei.left(trenner);
    const QByteArray name = datei.mid(trenner + 1);

    QByteArray trash = FileSystem::nativeName(homeTrashFolder);
    QByteArray pfadImInfo = datei;
    struct stat st;
    if (!trashMachen(trash) || ::stat(trash.constData(), &st) != 0 || st.st_dev != vorher.st_dev) {
        const QByteArray oben = obersterOrdner(ordner, vorher.st_dev);
        trash = trashAufGeraet(oben, vorher.st_dev);
        if (trash.isEmpty())
            return kVerweigert;
        // Relative to the top folder, so that the trash stays right wherever the medium is mounted.
        pfadImInfo = oben == "/" ? datei.mid(1) : datei.mid(oben.size() + 1);
    }

    const QByteArray info = "[Trash Info]\nPath=" + pfadImInfo.toPercentEncoding("/") + "\nDeletionDate=" +
                            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() + '\n';
    for (int nummer = 1; nummer < 10000; ++nummer) {
        const QByteArray ziel = nummer == 1 ? name : name + '.' + QByteArray::number(nummer);
        const QByteArray infoDatei = trash + "/info/" + ziel + ".trashinfo";
        const int fd = ::open(infoDatei.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return kVerweigert;
        }
        const bool geschrieben = allesSchreiben(fd, info);
        ::close(fd);
        const QByteArray zielDatei = trash + "/files/" + ziel;
        if (!geschrieben || !verschiebenOhneErsetzen(datei, zielDatei)) {
            const int fehler = errno;
            ::unlink(infoDatei.constData());
            if (geschrieben && fehler == EEXIST)
                continue;
            return kVerweigert;
        }
        // The file must now be the one inside the trash, and gone from where it was.
        struct stat nachher;
        if (::lstat(zielDatei.constData(), &nachher) != 0 || nachher.st_ino != vorher.st_ino ||
            nachher.st_dev != vorher.st_dev || ::lstat(datei.constData(), &st) == 0)
            return kVerweigert;
        return 0;
    }
    return kVerweigert;
}

}  // namespace Trash
