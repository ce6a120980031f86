// The picture types the viewer shows, recognised by the last three letters of a file name.
#pragma once

#include <QString>

namespace Bildtyp {

// The last three characters, upper-cased, are one of BMP, CUR, DIB, EMF, GIF, ICO, JPG, WMF.
bool HatBildEndung(const QString& name);
// As above, and the character before them is a dot.
bool HatBildEndungMitPunkt(const QString& name);
// The folder of a path: everything up to and including its last "/" ("" when it has none).
QString Ordner(const QString& pfad);

}  // namespace Bildtyp
