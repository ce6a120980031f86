#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include "platform/FileSystem.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include <jpeglib.h>

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

QString writeLargeJpeg(const QString& path, int width, int height)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::FILE* out = std::fopen(FileSystem::nativeName(path).constData(), "wb");
    if (!out)
        return path;
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 85, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uchar> row(size_t(width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const unsigned y = cinfo.next_scanline;
        for (int x = 0; x < width; ++x) {
            row[size_t(x) * 3] = uchar(x ^ y);
            row[size_t(x) * 3 + 1] = uchar((x * 7 + y * 3) >> 2);
            row[size_t(x) * 3 + 2] = uchar((x / 64 + y / 64) * 37);
        }
        JSAMPROW zeile = row.data();
        jpeg_write_scanlines(&cinfo, &zeile, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(out);
    return path;
}

bool replaceKeepingTimes(const QString& path, Qt::GlobalColor color, bool byRename)
{
    const QByteArray name = FileSystem::nativeName(path);
    struct stat before {};
    QImage old;
    if (::stat(name.constData(), &before) != 0 || !old.load(path))
        return false;
    const QByteArray format = QImageReader::imageFormat(path);
    const QString written = byRename ? path + QStringLiteral(".neu") : path;
    QImage picture(old.size(), QImage::Format_RGB32);
    picture.fill(color);
    if (!picture.save(written, format.isEmpty() ? "BMP" : format.constData(), 95))
        return false;
    if (byRename && ::rename(FileSystem::nativeName(written).constData(), name.constData()) != 0)
        return false;
    const timespec times[2] = {before.st_atim, before.st_mtim};
    struct stat after {};
    return ::utimensat(AT_FDCWD, name.constData(), times, 0) == 0 && ::stat(name.constData(), &after) == 0 &&
           after.st_size == before.st_size && after.st_mtim.tv_sec == before.st_mtim.tv_sec &&
           after.st_mtim.tv_nsec == before.st_mtim.tv_nsec;
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
