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

// How many files of one name the trash takes: each further one would first try every name taken.
constexpr int kNamenJeDatei = 1000;

bool trashMachen(const QByteArray& trash)
{
    return FileSystem::makeFolders(trash + "/files", 0700) && FileSystem::makeFolders(trash + "/info", 0700);
}

// The name of the file in the trash, with its number when the plain name is taken. The trash
// keeps the original path in the info file, so the name there is free to choose: a name too long
// to take ".trashinfo" behind it is shortened, keeping its extension and whole UTF-8 characters.
QByteArray nameImTrash(const QByteArray& name, int nummer)
{
    constexpr qsizetype kNameMax = 255;
    const QByteArray nummerTeil = nummer == 1 ? QByteArray() : '.' + QByteArray::number(nummer);
    const qsizetype hoechstens = kNameMax - qsizetype(sizeof ".trashinfo" - 1) - nummerTeil.size();
    if (name.size() <= hoechstens)
        return name + nummerTeil;
    const qsizetype punkt = name.lastIndexOf('.');
    const QByteArray endung = punkt > 0 && name.size() - punkt <= 16 ? name.mid(punkt) : QByteArray();
    qsizetype laenge = hoechstens - endung.size();
    for (int k = 0; k < 3 && laenge > 0 && (uchar(name[laenge]) & 0xC0) == 0x80; ++k)
        --laenge;
    return name.left(laenge) + endung + nummerTeil;
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

int resultCode(const Refusal& refusal)
{
    return !refusal.refused() ? 0 : refusal.kind == Refusal::Kind::Missing ? 2 : 5;
}

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

Refusal moveToTrash(const QString& path, const QString& homeTrashFolder)
{
    using Kind = Refusal::Kind;
    const QByteArray datei = FileSystem::nativeName(path);
    struct stat vorher;
    if (!FileSystem::canNameFile(path) || ::lstat(datei.constData(), &vorher) != 0)
        return Refusal::of(Kind::Missing, path);
    // A folder is never a picture of the list; a file without its owner's write permission counts
    // as write-protected and stays, as the message about such files tells the user.
    if (S_ISDIR(vorher.st_mode))
        return Refusal::of(Kind::NotRegular, path);
    if (!S_ISLNK(vorher.st_mode) && !(vorher.st_mode & S_IWUSR))
        return Refusal::of(Kind::WriteProtected, path);
    const qsizetype trenner = datei.lastIndexOf('/');
    if (!datei.startsWith('/') || trenner == datei.size() - 1)
        return Refusal::of(Kind::Missing, path);  // the list holds absolute names of files
    const QByteArray ordner = trenner == 0 ? QByteArray("/") : datei.left(trenner);
    const QByteArray name = datei.mid(trenner + 1);

    QByteArray trash = FileSystem::nativeName(homeTrashFolder);
    QByteArray pfadImInfo = datei;
    struct stat st;
    if (!trashMachen(trash) || ::stat(trash.constData(), &st) != 0 || st.st_dev != vorher.st_dev) {
        const QByteArray oben = obersterOrdner(ordner, vorher.st_dev);
        trash = trashAufGeraet(oben, vorher.st_dev);
        if (trash.isEmpty())
            return Refusal::of(Kind::NoTrash, path);
        // Relative to the top folder, so that the trash stays right wherever the medium is mounted.
        pfadImInfo = oben == "/" ? datei.mid(1) : datei.mid(oben.size() + 1);
    }

    const QByteArray info = "[Trash Info]\nPath=" + pfadImInfo.toPercentEncoding("/") + "\nDeletionDate=" +
                            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() + '\n';
    for (int nummer = 1; nummer <= kNamenJeDatei; ++nummer) {
        const QByteArray ziel = nameImTrash(name, nummer);
        const QByteArray infoDatei = trash + "/info/" + ziel + ".trashinfo";
        const int fd = ::open(infoDatei.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return Refusal::of(Kind::NoTrash, path, errno);
        }
        // The trash's owner must be able to read what we put there, also when we run as root.
        FileSystem::giveToFolderOwner(infoDatei);
        const bool geschrieben = FileSystem::writeAll(fd, info.constData(), info.size());
        const int schreibfehler = errno;
        ::close(fd);
        const QByteArray zielDatei = trash + "/files/" + ziel;
        if (!geschrieben) {
            ::unlink(infoDatei.constData());
            return Refusal::of(Kind::NoTrash, path, schreibfehler);
        }
        if (!verschiebenOhneErsetzen(datei, zielDatei)) {
            const int fehler = errno;
            ::unlink(infoDatei.constData());
            if (fehler == EEXIST)
                continue;
            // The folder that holds the file does not let it go: it is write-protected too.
            if (fehler == EACCES || fehler == EPERM || fehler == EROFS || fehler == EBUSY)
                return Refusal::of(Kind::WriteProtected, path, fehler);
            return Refusal::of(Kind::Failed, path, fehler);
        }
        // The file must now be the one inside the trash, and gone from where it was.
        struct stat nachher;
        if (::lstat(zielDatei.constData(), &nachher) != 0 || nachher.st_ino != vorher.st_ino ||
            nachher.st_dev != vorher.st_dev || ::lstat(datei.constData(), &st) == 0)
            return Refusal::of(Kind::Failed, path, EIO);
        return {};
    }
    return Refusal::of(Kind::TrashNamesUsed, path);
}

}  // namespace Trash
