#include "display/Helligkeit.h"

#include <cmath>
#include <cstring>

namespace Helligkeit {

Tabelle TabelleBerechnen(int stufe)
{
    const double f = std::exp(stufe / 50.0) / 5.0;
    Tabelle t{};
    for (int i = 0; i < 256; ++i) {
        const double v = std::nearbyint(i * f);  // the default rounding mode rounds half to even
        t[static_cast<size_t>(i)] = v > 255.0 ? 255 : static_cast<std::uint8_t>(v);
    }
    return t;
}

bool Anwenden(QImage& arbeitskopie, const QImage& quelle, const Tabelle& tabelle)
{
    if (arbeitskopie.size() != quelle.size() || arbeitskopie.format() != quelle.format() ||
        arbeitskopie.bytesPerLine() != quelle.bytesPerLine())
        return false;
    const qsizetype bytes = quelle.sizeInBytes();
    const std::uint8_t* q = quelle.constBits();
    std::uint8_t* z = arbeitskopie.bits();
    if (!q || !z)
        return false;
    // One lookup per byte; rows are contiguous, so the whole buffer is one run.
    for (qsizetype i = 0; i < bytes; ++i)
        z[i] = tabelle[q[i]];
    return true;
}

}  // namespace Helligkeit
