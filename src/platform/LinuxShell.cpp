// Linux implementation of the file actions of the platform: the desktop's opener (xdg-open), our
// own picture printing, the file manager over D-Bus, the freedesktop trash, a copy that never
// replaces, the popup menu and the folder chooser.
#include "platform/LinuxShell.h"

#include "platform/FileSystem.h"
#include "platform/LinuxPlatform.h"
#include "platform/PictureLoader.h"
#include "platform/TextEncoding.h"
#include "platform/Trash.h"
#include "metafile/MetafilePicture.h"

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
constexpr int kKeineAnwendung = 31;

// 0 when the path names something; otherwise 2 (its folder exists) or 3 (its folder is missing).
int fehlendeDatei(const QString& pfad)
{
    if (FileSystem::exists(pfad))
        return 0;
    const qsizetype trenner = pfad.lastIndexOf(u'/');
    const QString ordner = trenner <= 0 ? QStringLiteral("/") : pfad.left(trenner);
    return pfad.isEmpty() || (FileSystem::canNameFile(pfad) && FileSystem::exists(ordner)) ? kDateiFehlt : kPfadFehlt;
}

// Starts the desktop's opener detached, so that the program never waits for the application.
// xdg-open is what Qt's desktop services start outside a sandbox; starting it ourselves works
// under every platform plugin and tells whether it could be started at all.
bool oeffnerStarten(const QString& argument)
{
    const QString oeffner = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (oeffner.isEmpty())
        return false;
    // What the opener and the application it starts have to say (toolkit warnings, missing
    // fonts) is theirs: it does not go into the terminal the viewer was started from.
    QProcess prozess;
    prozess.setProgram(oeffner);
    prozess.setArguments({argument});
    prozess.setStandardInputFile(QProcess::nullDevice());
    prozess.setStandardOutputFile(QProcess::nullDevice());
    prozess.setStandardErrorFile(QProcess::nullDevice());
    return prozess.startDetached();
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

}  // namespace

// ---------------------------------------------------------------------------------------------
// Shared pieces

int LinuxShell::copyWithoutReplacing(const QString& source, const QString& target, QString& errorText)
{
    errorText.clear();
    FileSystem::ReadableFile ein = FileSystem::openForReading(source, FileSystem::Limit::kUnlimited);
    if (!ein.isOpen())
        return melden(ein.refusal().kind == Refusal::Kind::NotRegular ? EISDIR : ein.error(), false,
                      errorText);
    const QByteArray ziel = FileSystem::nativeName(target);
    if (!FileSystem::canNameFile(target))
        return melden(ENAMETOOLONG, true, errorText);
    // O_EXCL: created by us or not at all, also when a link of that name points elsewhere.
    const int aus = ::open(ziel.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, ein.permissions());
    if (aus < 0)
        return melden(errno, true, errorText);
    // Copied for a user by root (sudo): the copy belongs to whoever owns the folder, as the user's own copy would.
    FileSystem::giveToFolderOwner(ziel);
    int fehler = 0;
    bool beimZiel = true;
    char puffer[1 << 16];
    for (;;) {
        const qint64 n = ein.readNext(puffer, sizeof puffer);
        if (n < 0) {
            fehler = errno;
            beimZiel = false;
            break;
        }
        if (n == 0)
            break;
        if (!FileSystem::writeAll(aus, puffer, n)) {
            fehler = errno ? errno : EIO;
            break;
        }
    }
    if (fehler == 0) {
        const struct timespec zeiten[2] = {ein.modified(), ein.modified()};
        ::futimens(aus, zeiten);
    }
    if (::close(aus) != 0 && fehler == 0)
        fehler = errno;
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
    return gewaehlt.isLocalFile() ? FileSystem::fromFileUrl(gewaehlt) : gewaehlt.toString();
}

int LinuxPlatform::openWithApplication(const QString& file)
{
    if (const int fehlt = fehlendeDatei(file))
        return fehlt;
    if (!LinuxShell::hasDefaultApplication(file))
        return kKeineAnwendung;
    // As a URL, so that a name that is not UTF-8 reaches the opener byte for byte.
    return oeffnerStarten(FileSystem::fileUrl(file)) ? kErfolg : kKeineAnwendung;
}

int LinuxPlatform::printPicture(const QString& file)
{
    const QString& pfad = file;
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
    drucker.setDocName(TextEncoding::readableName(pfad.mid(pfad.lastIndexOf(u'/') + 1)));
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
    const QString& pfad = file;
    const qsizetype trenner = pfad.lastIndexOf(u'/');
    const QString ordner = FileSystem::fileUrl(trenner <= 0 ? QStringLiteral("/") : pfad.left(trenner));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        oeffnerStarten(ordner);
        return;
    }
    QDBusMessage aufruf = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    aufruf << QStringList{FileSystem::fileUrl(pfad)} << QString();
    // Asynchronous: starting a file manager on demand can take a while.
    auto* beobachter = new QDBusPendingCallWatcher(bus.asyncCall(aufruf, 10000));
    QObject::connect(beobachter, &QDBusPendingCallWatcher::finished, [ordner](QDBusPendingCallWatcher* w) {
        if (w->isError())
            oeffnerStarten(ordner);
        w->deleteLater();
    });
}

int LinuxPlatform::moveToTrash(const QStringList& files, Refusal* refusal)
{
    const QString trash = Trash::homeTrash();
    int ergebnis = 0;
    for (const QString& datei : files) {
        const Refusal grund = Trash::moveToTrash(datei, trash);
        if (!grund.refused())
            continue;
        ergebnis = Trash::resultCode(grund);
        if (refusal)
            *refusal = grund;
    }
    return ergebnis;
}

int LinuxPlatform::copyFile(const QString& source, const QString& target, QString& errorText)
{
    return LinuxShell::copyWithoutReplacing(source, target, errorText);
}
