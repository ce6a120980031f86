// Edits of a mimeapps.list file (the desktop's per-user choice of default applications) that keep
// every line they do not need to change byte for byte: comments, other groups, other types, line
// ends and the order of everything; in a line that is changed, the bytes of the entries kept stay
// as they were, also where they are not UTF-8.
#pragma once

#include "platform/Refusal.h"

#include <QByteArray>
#include <QList>
#include <QString>

class MimeAppsList {
public:
    explicit MimeAppsList(const QByteArray& content = {});

    QByteArray content() const;
    bool changed() const { return m_changed; }

    // Puts the desktop entry first in the type's [Default Applications] list; the entries that were
    // there stay behind it as fallbacks.
    void setDefault(const QString& type, const QString& desktopId);
    // Drops the type's [Default Applications] line when it names another application first.
    void dropOtherDefault(const QString& type, const QString& desktopId);
    // Takes the desktop entry out of the type's [Removed Associations] list.
    void dropRemovedAssociation(const QString& type, const QString& desktopId);

    // Reads a file (a missing one is empty), lets edit change it and, when something changed, writes
    // it atomically to where it is (a link is followed, so the link stays), keeping its owner and
    // mode. Refused when the file could not be read or written; the file is then as it was.
    template <typename Edit>
    static Refusal editFile(const QString& path, Edit edit)
    {
        QByteArray content;
        if (Refusal grund = readFile(path, content); grund.refused())
            return grund;
        MimeAppsList list(content);
        edit(list);
        return list.changed() ? writeFile(path, list.content()) : Refusal();
    }

private:
    struct Line {
        QByteArray text;  // without its line end
        QByteArray end;   // "\n", "\r\n" or "" (the last line of a file without a final newline)
    };
    static Refusal readFile(const QString& path, QByteArray& content);
    static Refusal writeFile(const QString& path, const QByteArray& content);

    // Index range [begin, end) of the lines of each section with that group name.
    QList<std::pair<qsizetype, qsizetype>> sections(const QByteArray& group) const;
    // Indexes of the lines that set the key within the group, in file order.
    QList<qsizetype> keyLines(const QByteArray& group, const QString& key) const;
    void replaceValue(qsizetype index, const QStringList& entries);
    QByteArray usualLineEnd() const;

    QList<Line> m_lines;
    bool m_changed = false;
};
