#include "platform/LinuxRegistry.h"

#include "platform/FileSystem.h"
#include "platform/MimeAppsList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

// The desktop entry's template is a resource of the static library, which is linked in only when
// someone asks for it.
static void vorlagenLaden()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

const QString kFileExts = QStringLiteral("software\\microsoft\\windows\\currentversion\\explorer\\fileexts\\.");
const QString kInstallerFolders = QStringLiteral("software\\microsoft\\windows\\currentversion\\installer\\folders");
const QString kUserApplications = QStringLiteral("software\\classes\\applications\\");
const QString kRootApplications = QStringLiteral("applications\\");
const QString kOpenCommand = QStringLiteral("\\shell\\open\\command");
const QString kProgramFile = QStringLiteral("fotolauf");

// A folder named by an XDG variable; relative values are invalid by the XDG rules.
QString xdgFolder(const char* variable, const QString& underHome)
{
    const QString folder = qEnvironmentVariable(variable);
    return folder.startsWith(u'/') ? folder : QDir::homePath() + u'/' + underHome;
}

QString configHome() { return xdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config")); }
QString applicationsFolder() { return xdgFolder("XDG_DATA_HOME", QStringLiteral(".local/share")) + QStringLiteral("/applications"); }

// Registry keys ignore letter case and surrounding backslashes.
QString normalKey(const QString& key)
{
    QString k = key.toLower();
    while (k.startsWith(u'\\'))
        k.remove(0, 1);
    while (k.endsWith(u'\\'))
        k.chop(1);
    return k;
}

// The program of an "Applications\<program>\shell\open\command" key, or "" for any other key.
QString programOfOpenCommand(RegistryRoot root, const QString& key)
{
    const QString k = normalKey(key);
    const QString prefix = root == RegistryRoot::CurrentUser ? kUserApplications
                           : root == RegistryRoot::ClassesRoot ? kRootApplications
                                                               : QString();
    if (prefix.isEmpty() || !k.startsWith(prefix) || !k.endsWith(kOpenCommand))
        return {};
    return k.mid(prefix.size(), k.size() - prefix.size() - kOpenCommand.size());
}

// The extension of a "…\Explorer\FileExts\.<ext>" key of the user, or "".
QString extensionOfKey(RegistryRoot root, const QString& key)
{
    const QString k = normalKey(key);
    if (root != RegistryRoot::CurrentUser || !k.startsWith(kFileExts))
        return {};
    return k.mid(kFileExts.size());
}

// The desktop entry that stands for a program file; "" when the name cannot be one.
QString desktopId(const QString& program)
{
    static const QRegularExpression gueltig(QStringLiteral("^[a-z0-9_.-]+$"));
    const QString name = program.toLower();
    return gueltig.match(name).hasMatch() ? name + QStringLiteral(".desktop") : QString();
}

// One argument of an Exec line: reserved characters quoted, the quote's own specials escaped.
QString execArgument(QString argument)
{
    argument.replace(u'%', QStringLiteral("%%"));
    static const QRegularExpression reserviert(QStringLiteral("[\\s\"'\\\\><~|&;$*?#()`]"));
    if (!argument.isEmpty() && !reserviert.match(argument).hasMatch())
        return argument;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

// The escapes of a desktop entry's string values.
QString entryValue(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else
            out += c;
    }
    return out;
}

Refusal writeDesktopEntry(const QString& id, const QString& command)
{
    vorlagenLaden();
    QFile vorlage(QStringLiteral(":/fotolauf.desktop"));
    if (!vorlage.open(QIODevice::ReadOnly))
        return Refusal::of(Refusal::Kind::Missing, vorlage.fileName());
    QByteArray entry;
    for (const QByteArray& line : vorlage.readAll().split('\n')) {
        if (line.startsWith("Exec="))
            entry += "Exec=" + entryValue(LinuxRegistry::execLine(command)).toUtf8() + '\n';
        else if (!line.isEmpty())
            entry += line + '\n';
    }
    return FileSystem::replaceFile(applicationsFolder() + u'/' + id, entry);
}

// The per-user files whose choices come before mimeapps.list: those of a particular desktop.
QStringList desktopSpecificLists()
{
    QStringList files;
    const QDir folder(configHome());
    for (const QString& name : folder.entryList({QStringLiteral("*-mimeapps.list")}, QDir::Files | QDir::System))
        files.append(folder.filePath(name));
    return files;
}

}  // namespace

LinuxRegistry::LinuxRegistry(QStringList installations)
    : m_installations(std::move(installations))
{
}

QStringList LinuxRegistry::mimeTypesOf(const QString& extension)
{
    // The first type of each is the one shared-mime-info gives the extension; the others are the
    // names older programs still use. BMP and DIB pictures have one type: registering either
    // extension registers both.
    static const QList<std::pair<QString, QStringList>> kTypen = {
        {QStringLiteral("bmp"), {QStringLiteral("image/bmp"), QStringLiteral("image/x-bmp")}},
        {QStringLiteral("dib"), {QStringLiteral("image/bmp"), QStringLiteral("image/x-bmp")}},
        {QStringLiteral("cur"), {QStringLiteral("image/x-win-bitmap")}},
        {QStringLiteral("emf"), {QStringLiteral("image/emf"), QStringLiteral("image/x-emf")}},
        {QStringLiteral("gif"), {QStringLiteral("image/gif")}},
        {QStringLiteral("ico"), {QStringLiteral("image/vnd.microsoft.icon"), QStringLiteral("image/x-icon")}},
        {QStringLiteral("jpg"), {QStringLiteral("image/jpeg")}},
        {QStringLiteral("wmf"), {QStringLiteral("image/wmf"), QStringLiteral("image/x-wmf")}},
    };
    for (const auto& [endung, typen] : kTypen)
        if (endung.compare(extension, Qt::CaseInsensitive) == 0)
            return typen;
    return {};
}

QString LinuxRegistry::execLine(const QString& command)
{
    QStringList arguments;
    qsizetype i = 0;
    while (i < command.size()) {
        if (command[i].isSpace()) {
            ++i;
            continue;
        }
        QString argument;
        if (command[i] == u'"') {
            const qsizetype end = command.indexOf(u'"', i + 1);
            argument = command.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? command.size() : end + 1;
        } else {
            qsizetype end = i;
            while (end < command.size() && !command[end].isSpace())
                ++end;
            argument = command.mid(i, end - i);
            i = end;
        }
        // One viewer for all files the user opens together, as the package's own entry does.
        arguments.append(argument == u"%1" ? QStringLiteral("%F") : execArgument(argument));
    }
    return arguments.join(u' ');
}

QStringList LinuxRegistry::installationFolders() const
{
    if (!m_installations.isEmpty())
        return m_installations;
    QStringList folders;
    if (QCoreApplication::instance())
        folders.append(QCoreApplication::applicationDirPath());
    const QString onPath = QStandardPaths::findExecutable(kProgramFile);
    if (!onPath.isEmpty())
        folders.append(QFileInfo(QFileInfo(onPath).canonicalFilePath()).absolutePath());
    folders.removeDuplicates();
    return folders;
}

bool LinuxRegistry::setText(RegistryRoot root, const QString& key, const QString& name, const QString& text)
{
    const QString program = desktopId(programOfOpenCommand(root, key));
    if (!program.isEmpty() && name.isEmpty())
        return angenommen(writeDesktopEntry(program, text));

    const QStringList types = mimeTypesOf(extensionOfKey(root, key));
    const QString id = desktopId(text);
    if (!types.isEmpty() && name.compare(u"Application", Qt::CaseInsensitive) == 0 && !id.isEmpty()) {
        return angenommen(MimeAppsList::editFile(configHome() + QStringLiteral("/mimeapps.list"), [&](MimeAppsList& list) {
            for (const QString& type : types)
                list.setDefault(type, id);
        }));
    }
    return false;
}

bool LinuxRegistry::deleteValue(RegistryRoot root, const QString& key, const QString& name)
{
    // An earlier choice of the user that would win over the default: another program chosen for
    // this desktop in particular, or the viewer taken off the type's list.
    const QStringList types = mimeTypesOf(extensionOfKey(root, key));
    if (types.isEmpty() || name.compare(u"Progid", Qt::CaseInsensitive) != 0)
        return false;
    const QString id = desktopId(kProgramFile);
    bool ok = true;
    for (const QString& file : desktopSpecificLists())
        ok = angenommen(MimeAppsList::editFile(file, [&](MimeAppsList& list) {
                 for (const QString& type : types) {
                     list.dropOtherDefault(type, id);
                     list.dropRemovedAssociation(type, id);
                 }
             })) && ok;
    return angenommen(MimeAppsList::editFile(configHome() + QStringLiteral("/mimeapps.list"), [&](MimeAppsList& list) {
               for (const QString& type : types)
                   list.dropRemovedAssociation(type, id);
           })) && ok;
}

bool LinuxRegistry::angenommen(const Refusal& grund)
{
    if (!grund.refused())
        return true;
    const bool schonGemeldet = std::any_of(m_refusals.begin(), m_refusals.end(), [&](const Refusal& r) {
        return r.kind == grund.kind && r.error == grund.error && r.path == grund.path;
    });
    if (!schonGemeldet)
        m_refusals.append(grund);
    return false;
}

QList<Refusal> LinuxRegistry::takeRefusals()
{
    return std::exchange(m_refusals, {});
}

bool LinuxRegistry::valueName(RegistryRoot root, const QString& key, int index, QString& name)
{
    if (root != RegistryRoot::LocalMachine || normalKey(key) != kInstallerFolders || index < 0)
        return false;
    // The help folders that an installation put beside its program file.
    QStringList names;
    for (const QString& folder : installationFolders())
        for (const QString& help : {QStringLiteral("/Help/Deutsch/"), QStringLiteral("/Help/English/")})
            if (QFileInfo(folder + help).isDir())
                names.append(folder + help);
    if (index >= names.size())
        return false;
    name = names[index];
    return true;
}
