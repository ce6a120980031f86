// libFuzzer target: any bytes as a picture file, loaded at full size and reduced, the reduced one
// also through a brightness table; the loader must return cleanly, and a picture it accepts must
// be consistent with its natural size (a raster of the fitted size, or a metafile with a size to
// draw it at).
#include "platform/PictureLoader.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {
QTemporaryDir* tempDir = nullptr;
PictureLoader* loader = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's image plugins (GIF, ICO) are found through the application object.
    static QGuiApplication app(*argc, *argv);
    tempDir = new QTemporaryDir;
    loader = new PictureLoader;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = tempDir->filePath(QStringLiteral("input"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    ByteTable hell;
    for (int i = 0; i < 256; ++i)
        hell[size_t(i)] = uint8_t(std::min(255, 2 * i));
    for (const auto& [cover, tabelle] : {std::pair<QSize, const ByteTable*>{QSize(), nullptr}, {QSize(64, 48), nullptr},
                                         {QSize(64, 48), &hell}}) {
        const LoadedPicture p = loader->load(path, cover, tabelle);
        if (!p.ok)
            continue;
        // A metafile is drawn as vectors: no raster, but a size to draw it at.
        if (p.metafile) {
            if (!p.image.isNull() || p.naturalSize.isEmpty())
                std::abort();
            continue;
        }
        if (p.image.isNull() || p.image.size() != PictureLoader::fittedSize(p.naturalSize, cover))
            std::abort();
    }
    return 0;
}
