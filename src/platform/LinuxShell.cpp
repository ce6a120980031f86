// Linux implementation of the file actions of the platform: the desktop's opener (xdg-open), our
// own picture printing, the file manager over D-Bus, the freedesktop trash, a copy that never
// replaces, the popup menu and the folder chooser.
#include "platform/LinuxShell.h"

#include "platform/FileSystem.h"
#include "platform/LinuxPlatform.h"
#include "platform/PictureLoader.h"
#include "platform/metafile/MetafilePicture.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMimeDatabase>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Return values in the manner of the Windows shell: above 32 is success.
constexpr int kErfolg = 42;
constexpr int kDateiFehlt = 2;
constexpr int kPfadFehlt = 3;
constexpr int kZugriffVerweigert = 5;
constexpr int kKeineAnwendung = 31;

// 0 when the path names something; otherwise 2 (its folder exists) or 3 (its folder is missing).
int fehlendeDatei(const QString& pfad)
{
    if (pfad.isEmpty())
        return kDateiFehlt;
    const QFileInfo info(pfad);
    if (info.exists() || info.isSymLink())
        return 0;
    return info.absoluteDir().exists() ? kDateiFehlt : kPfadFehlt;
}

// Starts the desktop's opener detached, so that the program never waits for the application.
// xdg-open is what Qt's desktop services start outside a sandbox; starting it ourselves works
// under every platform plugin and tells whether it could be started at all.
bool oeffnerStarten(const QString& argument)
{
    const QString oeffner = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    return !oeffner.isEmpty() && QProcess::startDetached(oeffner, {argument});
}

struct Fehler {
    int nummer;
    const char* text;
};

// Error numbers and texts of the classic runtime's FileCopy, so the message reads as users know it.
Fehler kopierfehler(int fehlerNr, bool beimZiel)
{
    switch (fehlerNr) {
    case ENOENT:
    case ENOTDIR:
        return beimZiel ? Fehler{76, "Path not found"} : Fehler{53, "File not found"};
    case EEXIST:
        return {58, "File already exists"};
    case EACCES:
    case EPERM:
    case EROFS:
        return {70, "Permission denied"};
    case ENOSPC:
    case EDQUOT:
        return {61, "Disk full"};
    default:
        return {75, "Path/File access error"};
    }
}

int melden(int fehlerNr, bool beimZiel, QString& errorText)
{
    const Fehler f = kopierfehler(fehlerNr, beimZiel);
    errorText = QString::fromLatin1(f.text);
    return f.nummer;
}

bool allesSchreiben(int fd, const char* daten, ssize_t anzahl)
{
    while (anzahl > 0) {
        const ssize_t n = ::write(fd, daten, static_cast<size_t>(anzahl));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        daten += n;
        anzahl -= n;
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Shared pieces

QStringList LinuxShell::pathsOfFileList(const QString& fileList)
{
    QStringList pfade;
    for (const QString& teil : fileList.split(QChar(u'\0')))
        if (!teil.isEmpty())
            pfade.append(teil);
    return pfade;
}

int LinuxShell::copyWithoutReplacing(const QString& source, const QString& target, QString& errorText)
{
    errorText.clear();
    const int ein = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (ein < 0)
        return melden(errno, false, errorText);
    struct stat st {};
    if (::fstat(ein, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(ein);
        return melden(EISDIR, false, errorText);
    }
    const QByteArray ziel = QFile::encodeName(target);
    // O_EXCL: created by us or not at all, also when a link of that name points elsewhere.
    const int aus = ::open(ziel.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (aus < 0) {
        const int e = errno;
        ::close(ein);
        return melden(e, true, errorText);
    }
    int fehler = 0;
    bool beimZiel = true;
    char puffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(ein, puffer, sizeof puffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            fehler = errno;
            beimZiel = false;
            break;
        }
        if (n == 0)
            break;
        if (!allesSchreiben(aus, puffer, n)) {
            fehler = errno ? errno : EIO;
            break;
        }
    }
    if (fehler == 0) {
        const struct timespec zeiten[2] = {st.st_atim, st.st_mtim};
        ::futimens(aus, zeiten);
    }
    if (::close(aus) != 0 && fehler == 0)
        fehler = errno;
    ::close(ein);
    if (fehler != 0) {
        // Only the file this call created: the exclusive create above guarantees it is ours.
        ::unlink(ziel.constData());
        return melden(fehler, beimZiel, errorText);
    }
    return 0;
}

QRect LinuxShell::fittedOnPage(QSize picture, const QRect& page)
{
    if (picture.isEmpty() || page.isEmpty())
        return {};
    const QSize groesse = picture.scaled(page.size(), Qt::KeepAspectRatio);
    return QRect(page.left() + (page.width() - groesse.width()) / 2, page.top() + (page.height() - groesse.height()) / 2,
                 groesse.width(), groesse.height());
}

void LinuxShell::drawFittedOnPage(QPainter& painter, const QImage& picture)
{
    const QRect seite(QPoint(0, 0), painter.viewport().size());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(fittedOnPage(picture.size(), seite), picture);
}

bool LinuxShell::hasDefaultApplication(const QString& path)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return true;
    const QMimeType typ = QMimeDatabase().mimeTypeForFile(path);
    QStringList namen{typ.name()};
    namen += typ.aliases();
    for (const QString& name : namen) {
        QProcess abfrage;
        abfrage.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), name});
        // A short query of the desktop's association files; a hung one counts as unanswered.
        if (!abfrage.waitForFinished(5000)) {
            abfrage.kill();
            abfrage.waitForFinished(1000);
            return true;
        }
        if (!abfrage.readAllStandardOutput().trimmed().isEmpty())
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// The platform operations

int LinuxPlatform::execPopupMenu(QMenu& menu)
{
    const QAction* gewaehlt = menu.exec(QCursor::pos());
    return gewaehlt ? gewaehlt->data().toInt() : 0;
}

QString LinuxPlatform::chooseFolder(const QString& title)
{
    QFileDialog dialog(QApplication::activeWindow(), title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedUrls().isEmpty())
        return QString();
    const QUrl gewaehlt = dialog.selectedUrls().constFirst();
    return gewaehlt.isLocalFile() ? gewaehlt.toLocalFile() : gewaehlt.toString();
}

int LinuxPlatform::openWithApplication(const QString& file)
{
    const QString pfad = resolvePath(file);
    if (const int fehlt = fehlendeDatei(pfad))
        return fehlt;
    if (!LinuxShell::hasDefaultApplication(pfad))
        return kKeineAnwendung;
    return oeffnerStarten(pfad) ? kErfolg : kKeineAnwendung;
}

int LinuxPlatform::printPicture(const QString& file)
{
    const QString pfad = resolvePath(file);
    if (const int fehlt = fehlendeDatei(pfad))
        return fehlt;
    // Asked before any dialog: without a printer there is nothing to choose.
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        return kKeineAnwendung;
    PictureLoader lader;
    const LoadedPicture bild = lader.load(pfad);
    if (!bild.ok || (bild.image.isNull() && !bild.metafile))
        return kKeineAnwendung;
    QPrinter drucker(QPrinter::HighResolution);
    drucker.setDocName(QFileInfo(pfad).fileName());
    QPrintDialog dialog(&drucker, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return kErfolg;  // the user's own choice, not a failure to report
    QPainter maler;
    if (!maler.begin(&drucker))
        return kKeineAnwendung;
    if (bild.metafile) {
        // Vectors at the printer's resolution.
        const QRect seite(QPoint(0, 0), maler.viewport().size());
        bild.metafile->draw(maler, QRectF(LinuxShell::fittedOnPage(bild.naturalSize, seite)));
    } else {
        LinuxShell::drawFittedOnPage(maler, bild.image);
    }
    maler.end();
    return kErfolg;
}

bool LinuxPlatform::openLink(const QString& link)
{
    return oeffnerStarten(link);
}

void LinuxPlatform::showInFileManager(const QString& file)
{
    const QString pfad = resolvePath(file);
    const QString ordner = QFileInfo(pfad).absolutePath();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        oeffnerStarten(ordner);
        return;
    }
    QDBusMessage aufruf = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    aufruf << QStringList{QUrl::fromLocalFile(pfad).toString()} << QString();
    // Asynchronous: starting a file manager on demand can take a while.
    auto* beobachter = new QDBusPendingCallWatcher(bus.asyncCall(aufruf, 10000));
    QObject::connect(beobachter, &QDBusPendingCallWatcher::finished, [ordner](QDBusPendingCallWatcher* w) {
        if (w->isError())
            oeffnerStarten(ordner);
        w->deleteLater();
    });
}

int LinuxPlatform::moveToTrash(const QString& fileList)
{
    int ergebnis = 0;
    for (const QString& eintrag : LinuxShell::pathsOfFileList(fileList)) {
        const QString pfad = resolvePath(eintrag);
        const QFileInfo info(pfad);
        if (!info.exists() && !info.isSymLink()) {
            ergebnis = kDateiFehlt;
            continue;
        }
        // A folder is never a picture of the list; a file without its owner's write permission
        // counts as write-protected and stays, as the message about such files tells the user.
        if (info.isDir() || !(QFile::permissions(pfad) & QFileDevice::WriteOwner)) {
            ergebnis = kZugriffVerweigert;
            continue;
        }
        if (!QFile::moveToTrash(pfad))
            ergebnis = kZugriffVerweigert;
    }
    return ergebnis;
}

int LinuxPlatform::copyFile(const QString& source, const QString& target, QString& errorText)
{
    return LinuxShell::copyWithoutReplacing(resolvePath(source), target, errorText);
}
