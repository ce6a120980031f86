#include "platform/MimeAppsList.h"

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

#include <QStringList>

namespace {

const QByteArray kDefaults = QByteArrayLiteral("Default Applications");
const QByteArray kRemoved = QByteArrayLiteral("Removed Associations");

bool isGroupHeader(const QByteArray& text, QByteArray* name = nullptr)
{
    const QByteArray t = text.trimmed();
    if (t.size() < 2 || !t.startsWith('[') || !t.endsWith(']'))
        return false;
    if (name)
        *name = t.mid(1, t.size() - 2);
    return true;
}

// The key of a "key=value" line; empty for comments, blank lines and headers.
QString keyOf(const QByteArray& text)
{
    const QByteArray t = text.trimmed();
    const qsizetype eq = t.indexOf('=');
    if (t.isEmpty() || t.startsWith('#') || t.startsWith('[') || eq <= 0)
        return {};
    return QString::fromUtf8(t.left(eq).trimmed());
}

// The entries of a value, decoded so that bytes which are not UTF-8 come back unchanged.
QStringList entriesOf(const QByteArray& text)
{
    const qsizetype eq = text.indexOf('=');
    QStringList entries;
    for (const QString& e : TextEncoding::decodeFileName(text.mid(eq + 1)).split(u';', Qt::SkipEmptyParts))
        if (!e.trimmed().isEmpty())
            entries.append(e.trimmed());
    return entries;
}

QByteArray joined(const QStringList& entries)
{
    QByteArray value;
    for (const QString& e : entries)
        value += TextEncoding::encodeFileName(e) + ';';
    return value;
}

}  // namespace

MimeAppsList::MimeAppsList(const QByteArray& content)
{
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype nl = content.indexOf('\n', start);
        Line line;
        if (nl < 0) {
            line.text = content.mid(start);
            start = content.size();
        } else {
            line.text = content.mid(start, nl - start);
            line.end = QByteArrayLiteral("\n");
            if (line.text.endsWith('\r')) {
                line.text.chop(1);
                line.end = QByteArrayLiteral("\r\n");
            }
            start = nl + 1;
        }
        m_lines.append(line);
    }
}

QByteArray MimeAppsList::content() const
{
    QByteArray out;
    for (const Line& l : m_lines)
        out += l.text + l.end;
    return out;
}

QByteArray MimeAppsList::usualLineEnd() const
{
    for (const Line& l : m_lines)
        if (!l.end.isEmpty())
            return l.end;
    return QByteArrayLiteral("\n");
}

QList<std::pair<qsizetype, qsizetype>> MimeAppsList::sections(const QByteArray& group) const
{
    QList<std::pair<qsizetype, qsizetype>> found;
    qsizetype begin = -1;
    for (qsizetype i = 0; i <= m_lines.size(); ++i) {
        QByteArray name;
        const bool header = i < m_lines.size() && isGroupHeader(m_lines[i].text, &name);
        if (begin >= 0 && (header || i == m_lines.size())) {
            found.append({begin, i});
            begin = -1;
        }
        if (header && name == group)
            begin = i + 1;
    }
    return found;
}

QList<qsizetype> MimeAppsList::keyLines(const QByteArray& group, const QString& key) const
{
    QList<qsizetype> found;
    for (const auto& [begin, end] : sections(group))
        for (qsizetype i = begin; i < end; ++i)
            if (keyOf(m_lines[i].text) == key)
                found.append(i);
    return found;
}

void MimeAppsList::replaceValue(qsizetype index, const QStringList& entries)
{
    Line& line = m_lines[index];
    // The key and the blanks around "=" stay as the user wrote them.
    qsizetype valueStart = line.text.indexOf('=') + 1;
    while (valueStart < line.text.size() && (line.text[valueStart] == ' ' || line.text[valueStart] == '\t'))
        ++valueStart;
    const QByteArray text = line.text.left(valueStart) + joined(entries);
    if (text != line.text) {
        line.text = text;
        m_changed = true;
    }
}

void MimeAppsList::setDefault(const QString& type, const QString& desktopId)
{
    const QList<qsizetype> lines = keyLines(kDefaults, type);
    for (const qsizetype i : lines) {
        QStringList entries = entriesOf(m_lines[i].text);
        if (!entries.isEmpty() && entries.first() == desktopId)
            continue;  // already the default: the line stays as the user wrote it
        entries.removeAll(desktopId);
        entries.prepend(desktopId);
        replaceValue(i, entries);
    }
    if (!lines.isEmpty())
        return;

    const Line added{type.toUtf8() + '=' + desktopId.toUtf8() + ';', usualLineEnd()};
    const auto existing = sections(kDefaults);
    if (!existing.isEmpty()) {
        // Behind the last line of the group that is not blank.
        qsizetype at = existing.first().second;
        while (at > existing.first().first && m_lines[at - 1].text.trimmed().isEmpty())
            --at;
        m_lines.insert(at, added);
    } else {
        if (!m_lines.isEmpty() && m_lines.last().end.isEmpty())
            m_lines.last().end = usualLineEnd();
        if (!m_lines.isEmpty() && !m_lines.last().text.trimmed().isEmpty())
            m_lines.append({QByteArray(), usualLineEnd()});
        m_lines.append({'[' + kDefaults + ']', usualLineEnd()});
        m_lines.append(added);
    }
    m_changed = true;
}

void MimeAppsList::dropOtherDefault(const QString& type, const QString& desktopId)
{
    const QList<qsizetype> lines = keyLines(kDefaults, type);
    for (qsizetype k = lines.size() - 1; k >= 0; --k) {
        const QStringList entries = entriesOf(m_lines[lines[k]].text);
        if (!entries.isEmpty() && entries.first() != desktopId) {
            m_lines.removeAt(lines[k]);
            m_changed = true;
        }
    }
}

void MimeAppsList::dropRemovedAssociation(const QString& type, const QString& desktopId)
{
    const QList<qsizetype> lines = keyLines(kRemoved, type);
    for (qsizetype k = lines.size() - 1; k >= 0; --k) {
        QStringList entries = entriesOf(m_lines[lines[k]].text);
        if (entries.removeAll(desktopId) == 0)
            continue;
        if (entries.isEmpty()) {
            m_lines.removeAt(lines[k]);
            m_changed = true;
        } else {
            replaceValue(lines[k], entries);
        }
    }
}

Refusal MimeAppsList::readFile(const QString& path, QByteArray& content)
{
    Refusal grund;
    if (FileSystem::readFile(path, FileSystem::Limit::kSettings, content, &grund))
        return {};
    // Nothing of that name is an empty list; a link to nowhere is not.
    if (grund.kind == Refusal::Kind::Missing && !FileSystem::exists(path))
        return {};
    return grund;
}

Refusal MimeAppsList::writeFile(const QString& path, const QByteArray& content)
{
    return FileSystem::replaceFile(path, content);
}
