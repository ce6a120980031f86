// Fuzz target of the EXIF reader: any bytes as the start of a picture file, and as the TIFF data
// the orientation is read from.
#include "metadata/clsEXIF.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static clsEXIF exif;  // one reader for all inputs, as the program keeps one
    // The same bytes as the TIFF data of a JPEG's Exif segment, as the picture loader reads them.
    volatile int ausrichtung = clsEXIF::Ausrichtung(QByteArrayView(data, static_cast<qsizetype>(size)));
    (void)ausrichtung;
    exif.ReadMetaInfoAusBytes(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    QString text;
    exif.MetaInfo(34665, text);
    exif.MetaInfo(271, text);
    for (int i = 1; i <= exif.TagAnzahl() && i <= 64; ++i)
        exif.Tag(i);
    // Counts beyond what 4096 bytes can hold are only reserved empty lines; building their
    // half-megabyte text for every such input would slow the run for nothing new.
    if (exif.TagAnzahl() <= 1024) {
        volatile qsizetype laenge = exif.ListInfo().size();
        (void)laenge;
    }
    return 0;
}
