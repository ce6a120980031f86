#include "lists/ErstesBild.h"

#include "lists/Argumente.h"
#include "lists/BildListe.h"
#include "lists/Bildtyp.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

namespace ErstesBild {

namespace {

// The first field of a slide-list file; the lines after it are not needed.
constexpr qsizetype kKopf = 64 * 1024;

}  // namespace

QString Vorhersagen(const QStringList& argumente)
{
    if (argumente.isEmpty())
        return {};
    QString zeile = Argumente::Verbinden(argumente).toLower();
    if (!Argumente::IstFotolaufDatei(zeile)) {
        qsizetype erstes = -1;
        QString erster;  // its entry: the lower-cased name
        for (qsizetype i = 0; i < argumente.size(); ++i) {
            QString name = argumente[i].toLower();
            if (Bildtyp::HatBildEndung(name) && Bildtyp::HatBildEndungMitPunkt(name) &&
                (erstes < 0 || BildListe::kleiner(name, erster))) {
                erstes = i;
                erster = std::move(name);
            }
        }
        if (erstes < 0 || !FileSystem::exists(argumente[erstes]))
            return {};
        return argumente[erstes];
    }
    if (zeile.startsWith(u'"'))
        zeile = zeile.mid(1, zeile.size() - 2);
    const QString liste = FileSystem::resolvePath(argumente.size() == 1 ? argumente[0] : zeile);
    QByteArray inhalt;
    if (!FileSystem::readFile(liste, FileSystem::Limit::kSlideList, inhalt))
        return {};
    if (inhalt.size() > kKopf)
        inhalt.truncate(inhalt.lastIndexOf('\n', kKopf) + 1);  // whole lines: the encoding is told from them
    const QStringList felder = Argumente::FotolaufDateiFelder(TextEncoding::decodeText(inhalt));
    if (felder.isEmpty() || felder[0].isEmpty() || felder[0].contains(QChar(u'\0')))
        return {};
    const QString datei = FileSystem::absolutePath(felder[0], Bildtyp::Ordner(liste));
    return FileSystem::exists(datei) ? datei : QString();
}

}  // namespace ErstesBild
