// The file a start with these program arguments will show first, told from the arguments alone, so
// that its decode can begin before the program is up. Follows the start-up's own reading of the
// arguments: picture names go into the sorted list (the first in that order is shown first); a
// slide-list file is shown from its first line. Where that needs the program itself (a name found
// only in another letter case, a slide list it cannot read), it tells nothing.
#pragma once

#include <QString>
#include <QStringList>

namespace ErstesBild {

// argumente: as the program got them, one file name each. "" when it cannot tell.
QString Vorhersagen(const QStringList& argumente);

}  // namespace ErstesBild
