#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include "platform/FileSystem.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

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

QString writeRawNamed(const QByteArray& nativePath, const QByteArray& content)
{
    const int fd = ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        if (::write(fd, content.constData(), size_t(content.size())) != content.size())
            std::fprintf(stderr, "short write to a fixture\n");
        ::close(fd);
    }
    return FileSystem::fromNative(nativePath);
}

QByteArray content(const QString& path)
{
    QByteArray bytes;
    return FileSystem::readFile(path, FileSystem::Limit::kUnlimited, bytes) ? bytes : QByteArray("<fehlt>");
}

bool makeFifo(const QString& path)
{
    return ::mkfifo(FileSystem::nativeName(path).constData(), 0600) == 0;
}

bool makeSocket(const QString& path)
{
    const QByteArray name = FileSystem::nativeName(path);
    sockaddr_un adresse{};
    if (name.size() >= qsizetype(sizeof adresse.sun_path))
        return false;
    adresse.sun_family = AF_UNIX;
    std::memcpy(adresse.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool ok = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&adresse), sizeof adresse) == 0;
    if (fd >= 0)
        ::close(fd);  // the socket file stays, with nobody behind it
    return ok;
}

}  // namespace Fixtures
