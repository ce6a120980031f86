// libFuzzer target: loads arbitrary bytes as a metafile and plays it onto a small picture.
#include "platform/metafile/MetafilePicture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace {

// Long inputs only repeat records that short ones already reach; cutting them keeps a run fast.
constexpr size_t kMaxInput = 6000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "metafile_fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(std::min(size, kMaxInput)));
    const auto picture = MetafilePicture::load(bytes);
    if (!picture)
        return 0;
    const QSize natural = picture->naturalSize();
    if (natural.isEmpty())
        __builtin_trap();
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    picture->draw(painter, QRectF(0, 0, 64, 64));
    return 0;
}
