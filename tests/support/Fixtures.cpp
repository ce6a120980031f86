#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace Fixtures {

QString writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
    return path;
}

QString writePicture(const QString& path, int width, int height, Qt::GlobalColor color)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    // Pictures are recognised by their content: formats Qt cannot write are stored as BMP.
    const QString endung = QFileInfo(path).suffix().toLower();
    image.save(path, endung == u"jpg" || endung == u"jpeg" ? "JPEG" : "BMP", 95);
    return path;
}

void writeAlboIni(const QString& appData, const QByteArray& text)
{
    writeFile(appData + QStringLiteral("/TESSRIN Albora 13/albo.ini"), text);
}

}  // namespace Fixtures
