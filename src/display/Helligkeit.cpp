#include "display/Helligkeit.h"

#include <cmath>

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

std::optional<Tabelle> FuerStufe(int stufe)
{
    if (stufe == kNeutral)
        return std::nullopt;
    return TabelleBerechnen(stufe);
}

bool Anwenden(QImage& arbeitskopie, const QImage& quelle, const Tabelle& tabelle)
{
    if (arbeitskopie.size() != quelle.size() || arbeitskopie.format() != quelle.format() ||
        arbeitskopie.bytesPerLine() != quelle.bytesPerLine())
        return false;
    const uchar* q = quelle.constBits();
    uchar* z = arbeitskopie.bits();
    if (!q || !z)
        return false;
    // Rows are contiguous, so the whole buffer, padding included, is one run.
    ByteTables::map(q, z, quelle.sizeInBytes(), tabelle);
    return true;
}

}  // namespace Helligkeit
