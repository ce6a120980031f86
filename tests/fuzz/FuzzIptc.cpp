// Fuzz target of the IPTC reader: any bytes as a JPEG file or a bare IIM stream.
#include "metadata/clsIPTC.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    clsIPTC iptc;
    iptc.LoadFromBytes(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    qsizetype summe = 0;
    for (int f = 0; f < clsIPTC::FeldAnzahl; ++f)
        summe += iptc.feld(static_cast<clsIPTC::Feld>(f)).size();
    volatile qsizetype s = summe;
    (void)s;
    return 0;
}
