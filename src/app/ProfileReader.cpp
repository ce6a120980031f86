#include "app/ProfileReader.h"

#include <QStringView>

namespace ProfileReader {

QString value(const QString& fileText, const QString& section, const QString& key, const QString& fallback,
              int bufferSize)
{
    bool inSection = false;
    bool sectionSeen = false;
    QString found = fallback;
    for (QStringView line : QStringView(fileText).tokenize(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            const QStringView name = (close < 0 ? line.sliced(1) : line.sliced(1, close - 1)).trimmed();
            // Only the first section of a name counts.
            inSection = !sectionSeen && name.compare(section, Qt::CaseInsensitive) == 0;
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        if (line.first(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
            continue;
        QStringView v = line.sliced(eq + 1).trimmed();
        if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
            v = v.sliced(1, v.size() - 2);
        found = v.toString();
        break;
    }
    if (bufferSize > 0 && found.size() > bufferSize - 1)
        found.truncate(bufferSize - 1);
    return found;
}

}  // namespace ProfileReader
