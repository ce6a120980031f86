// The program's string table: every caption and message by entry number. German texts are
// entries 1000..3836, the English text of entry N is entry N + 3000.
#pragma once

#include <QHash>
#include <QString>

class StringTable {
public:
    // Loads the table compiled into the program.
    StringTable();
    // Parses a table in the resource format: "number<TAB>text" per line, "#" starts a comment.
    static QHash<int, QString> parse(const QByteArray& utf8);

    // The text of an entry; "" for an entry the table does not hold.
    QString text(int entry) const { return m_entries.value(entry); }
    bool contains(int entry) const { return m_entries.contains(entry); }
    const QHash<int, QString>& entries() const { return m_entries; }

private:
    QHash<int, QString> m_entries;
};
