#include "app/StringTable.h"

#include <QFile>

StringTable::StringTable()
{
    Q_INIT_RESOURCE(resources);
    QFile file(QStringLiteral(":/strings.txt"));
    if (file.open(QIODevice::ReadOnly))
        m_entries = parse(file.readAll());
}

QHash<int, QString> StringTable::parse(const QByteArray& utf8)
{
    QHash<int, QString> entries;
    for (QByteArray line : utf8.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0)
            continue;
        bool ok = false;
        const int entry = line.first(tab).toInt(&ok);
        if (ok)
            entries.insert(entry, QString::fromUtf8(line.sliced(tab + 1)));
    }
    return entries;
}
