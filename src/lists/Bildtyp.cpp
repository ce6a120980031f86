#include "lists/Bildtyp.h"

namespace Bildtyp {

bool HatBildEndung(const QString& name)
{
    if (name.size() < 3)
        return false;
    const QString endung = name.right(3).toUpper();
    static const char16_t* const kTypen[] = {u"BMP", u"CUR", u"DIB", u"EMF", u"GIF", u"ICO", u"JPG", u"WMF"};
    for (const char16_t* t : kTypen)
        if (endung == QStringView(t))
            return true;
    return false;
}

bool HatBildEndungMitPunkt(const QString& name)
{
    return HatBildEndung(name) && name.size() >= 4 && name.at(name.size() - 4) == u'.';
}

QString Ordner(const QString& pfad)
{
    return pfad.left(pfad.lastIndexOf(u'/') + 1);
}

}  // namespace Bildtyp
