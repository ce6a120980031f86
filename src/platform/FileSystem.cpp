// Folder listings through readdir (fast enough for folders of tens of thousands of files) and
// case-insensitive path resolution, component by component.
#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace FileSystem {
namespace {

bool existsAsGiven(const QByteArray& native)
{
    struct stat st;
    return ::lstat(native.constData(), &st) == 0;
}

// Names in one folder, read raw; empty when the folder cannot be opened.
bool readNames(const QByteArray& folder, std::vector<QByteArray>& names)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return false;
    while (dirent* e = ::readdir(dir)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        names.emplace_back(n);
    }
    ::closedir(dir);
    return true;
}

bool lessIgnoringCase(const QString& a, const QString& b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

}  // namespace

QString resolvePath(const QString& path)
{
    if (path.isEmpty() || existsAsGiven(QFile::encodeName(path)))
        return path;
    // "current" is the resolved folder so far, ending in "/" ("" for the working folder).
    QString current = path.startsWith(u'/') ? QStringLiteral("/") : QString();
    for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
        const QString candidate = current + part;
        if (part == u"." || part == u".." || existsAsGiven(QFile::encodeName(candidate))) {
            current = candidate + u'/';
            continue;
        }
        std::vector<QByteArray> names;
        if (!readNames(QFile::encodeName(current.isEmpty() ? QStringLiteral(".") : current), names))
            return path;
        QString match;
        for (const QByteArray& raw : names) {
            const QString name = QFile::decodeName(raw);
            if (name.compare(part, Qt::CaseInsensitive) == 0 && (match.isEmpty() || lessIgnoringCase(name, match)))
                match = name;
        }
        if (match.isEmpty())
            return path;
        current += match + u'/';
    }
    if (!path.endsWith(u'/') && current.size() > 1)
        current.chop(1);
    return current;
}

FolderEntries listFolder(const QString& folder, bool sortByName)
{
    FolderEntries result;
    QString resolved = resolvePath(folder);
    if (resolved.isEmpty())
        resolved = QStringLiteral(".");
    QByteArray native = QFile::encodeName(resolved);
    if (!native.endsWith('/'))
        native.append('/');
    DIR* dir = ::opendir(native.constData());
    if (!dir)
        return result;
    result.opened = true;
    const int dirFd = ::dirfd(dir);
    while (dirent* e = ::readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;  // hidden entries, "." and ".."
        unsigned char type = e->d_type;
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat st;
            if (::fstatat(dirFd, e->d_name, &st, 0) != 0)
                continue;
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_REG)
            result.files.append(QFile::decodeName(e->d_name));
        else if (type == DT_DIR)
            result.subfolders.append(QFile::decodeName(e->d_name));
    }
    ::closedir(dir);
    if (sortByName) {
        std::sort(result.files.begin(), result.files.end(), lessIgnoringCase);
        std::sort(result.subfolders.begin(), result.subfolders.end(), lessIgnoringCase);
    }
    return result;
}

bool readFile(const QString& path, QByteArray& content)
{
    QFile file(resolvePath(path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    content = file.readAll();
    return file.error() == QFile::NoError;
}

bool folderId(const QString& folder, FolderId& id)
{
    struct stat st;
    if (::stat(QFile::encodeName(resolvePath(folder)).constData(), &st) != 0)
        return false;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    return true;
}

}  // namespace FileSystem
