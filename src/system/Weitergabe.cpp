#include "system/Weitergabe.h"

#include "lists/Bildtyp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

namespace {

const QString kEigene = QStringLiteral("fotolauf.desktop");

QStringList ordnerListe(const char* variable, const QString& vorgabe)
{
    QStringList ordner;
    for (const QString& o : qEnvironmentVariable(variable, vorgabe).split(u':', Qt::SkipEmptyParts))
        if (o.startsWith(u'/'))
            ordner.append(o);
    return ordner;
}

QString heimOrdner(const char* variable, const QString& vorgabe)
{
    const QString o = qEnvironmentVariable(variable);
    return o.startsWith(u'/') ? o : QDir::homePath() + u'/' + vorgabe;
}

// The entries a group of a desktop file format gives a key, in order.
QStringList eintraege(const QByteArray& inhalt, const QByteArray& gruppe, const QString& schluessel)
{
    QStringList liste;
    bool inGruppe = false;
    for (QByteArray zeile : inhalt.split('\n')) {
        zeile = zeile.trimmed();
        if (zeile.startsWith('[')) {
            inGruppe = zeile == '[' + gruppe + ']';
            continue;
        }
        const qsizetype gleich = zeile.indexOf('=');
        if (inGruppe && gleich > 0 && QString::fromUtf8(zeile.left(gleich)).trimmed() == schluessel)
            liste += QString::fromUtf8(zeile.mid(gleich + 1)).split(u';', Qt::SkipEmptyParts);
    }
    for (QString& e : liste)
        e = e.trimmed();
    return liste;
}

QByteArray lesen(const QString& pfad)
{
    QFile datei(pfad);
    return datei.open(QIODevice::ReadOnly) ? datei.read(1 << 20) : QByteArray();
}

}  // namespace

namespace Weitergabe {

QString NaechsteAnwendung(const QString& mimeTyp, const QString& eigene)
{
    const QString konfigHeim = heimOrdner("XDG_CONFIG_HOME", QStringLiteral(".config"));
    const QString datenHeim = heimOrdner("XDG_DATA_HOME", QStringLiteral(".local/share"));
    QStringList anwendungsOrdner{datenHeim + QStringLiteral("/applications")};
    for (const QString& o : ordnerListe("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share")))
        anwendungsOrdner.append(o + QStringLiteral("/applications"));
    QStringList listen{konfigHeim + QStringLiteral("/mimeapps.list")};
    for (const QString& o : ordnerListe("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg")))
        listen.append(o + QStringLiteral("/mimeapps.list"));
    for (const QString& o : anwendungsOrdner)
        listen.append(o + QStringLiteral("/mimeapps.list"));

    QStringList entfernt{eigene};
    auto datei = [&](const QString& id) -> QString {
        if (entfernt.contains(id))
            return {};
        for (const QString& o : anwendungsOrdner)
            if (QFileInfo(o + u'/' + id).isFile())
                return o + u'/' + id;
        return {};
    };
    for (const QString& liste : listen) {
        const QByteArray inhalt = lesen(liste);
        for (const char* gruppe : {"Default Applications", "Added Associations"})
            for (const QString& id : eintraege(inhalt, gruppe, mimeTyp))
                if (const QString f = datei(id); !f.isEmpty())
                    return f;
        entfernt += eintraege(inhalt, "Removed Associations", mimeTyp);
    }
    for (const QString& o : anwendungsOrdner)
        for (const QString& id : eintraege(lesen(o + QStringLiteral("/mimeinfo.cache")), "MIME Cache", mimeTyp))
            if (const QString f = datei(id); !f.isEmpty())
                return f;
    return {};
}

QString Ziel(const QStringList& dateien)
{
    // The types the file-type window associates (the viewer's own entry lists them).
    const QByteArray eigenerEintrag = lesen(QStringLiteral(":/fotolauf.desktop"));
    const QStringList eigeneTypen = eintraege(eigenerEintrag, "Desktop Entry", QStringLiteral("MimeType"));
    const QMimeDatabase typen;
    QString typ;
    for (const QString& d : dateien) {
        if (!QFileInfo(d).isFile() || Bildtyp::HatBildEndungMitPunkt(d))
            return {};
        const QString t = typen.mimeTypeForFile(d, QMimeDatabase::MatchExtension).name();
        if (!eigeneTypen.contains(t) || (!typ.isEmpty() && t != typ))
            return {};
        typ = t;
    }
    return typ.isEmpty() ? QString() : NaechsteAnwendung(typ, kEigene);
}

bool Weiterreichen(const QStringList& dateien)
{
    const QString anwendung = Ziel(dateien);
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (anwendung.isEmpty() || gio.isEmpty())
        return false;
    QProcess prozess;
    prozess.setProgram(gio);
    prozess.setArguments(QStringList{QStringLiteral("launch"), anwendung} + dateien);
    prozess.setStandardInputFile(QProcess::nullDevice());
    prozess.setStandardOutputFile(QProcess::nullDevice());
    prozess.setStandardErrorFile(QProcess::nullDevice());
    return prozess.startDetached();
}

}  // namespace Weitergabe
