// libFuzzer target: loads arbitrary bytes as a metafile and draws it at a screen's size, where
// slowness shows: an input whose drawing takes longer than the run's timeout fails the run.
#include "metafile/Budget.h"
#include "metafile/MetafilePicture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstring>
#include <vector>

namespace {

// Long inputs only repeat records that short ones already reach; cutting them keeps a run fast.
constexpr size_t kMaxInput = 4096;

}  // namespace

// The sample seeds include large files; without a -max_len of its own, libFuzzer would mutate
// inputs as long as the longest of them, which costs time and reaches no further.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static std::vector<char*> args;
    static char maxLen[] = "-max_len=4096";
    bool given = false;
    for (int i = 0; i < *argc; ++i) {
        args.push_back((*argv)[i]);
        given = given || std::strncmp((*argv)[i], "-max_len=", 9) == 0;
    }
    if (!given)
        args.insert(args.begin() + std::min(*argc, 1), maxLen);
    args.push_back(nullptr);
    *argc = int(args.size()) - 1;
    *argv = args.data();
    return 0;
}

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
    // One painter for all runs: starting a raster painter costs more than most inputs.
    static QImage image(1920, 1080, QImage::Format_RGB32);
    static QPainter painter(&image);
    painter.fillRect(image.rect(), Qt::black);
    // The work units alone end a drawing here, not the processor time that also ends one on the
    // screen: work that the units misjudge shows as a timeout.
    metafile::Budget budget;
    picture->draw(painter, QRectF(image.rect()), budget);
    return 0;
}
