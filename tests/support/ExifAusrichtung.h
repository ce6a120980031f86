// Writes an Exif orientation into a JPEG file's bytes, as a camera does for a photo taken with the
// camera turned: a segment with "Exif", two NULs and TIFF data whose IFD0 holds only Orientation,
// put right after the start marker. Header-only, for the tests and the benchmarks.
#pragma once

#include <QByteArray>

namespace Fixtures {

// jpeg: the bytes of a JPEG file; orientation 1 to 8 (or any number, to test a bad one); intel:
// the TIFF data in little-endian ("II") rather than big-endian ("MM") byte order.
inline QByteArray mitAusrichtung(const QByteArray& jpeg, int orientation, bool intel = false)
{
    auto zahl = [intel](quint32 wert, int bytes) {
        QByteArray b;
        for (int k = 0; k < bytes; ++k) {
            const int verschiebung = intel ? 8 * k : 8 * (bytes - 1 - k);
            b.append(char((wert >> verschiebung) & 0xFF));
        }
        return b;
    };
    QByteArray tiff = intel ? QByteArray("II") : QByteArray("MM");
    tiff += zahl(42, 2) + zahl(8, 4);                      // header, IFD0 right after it
    tiff += zahl(1, 2);                                    // one entry
    tiff += zahl(274, 2) + zahl(3, 2) + zahl(1, 4);        // Orientation, SHORT, one of them
    tiff += zahl(quint32(orientation), 2) + zahl(0, 2);    // the value, left-justified in its field
    tiff += zahl(0, 4);                                    // no further IFD
    const QByteArray nutzlast = QByteArray("Exif\0\0", 6) + tiff;
    const int laenge = int(nutzlast.size()) + 2;
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char(laenge >> 8)).append(char(laenge & 0xFF)).append(nutzlast);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

}  // namespace Fixtures
