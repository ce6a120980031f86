#include "display/Dateistempel.h"

#include "platform/FileSystem.h"

#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

Dateistempel Dateistempel::von(const QString& pfad)
{
    const QByteArray name = FileSystem::nativeName(pfad);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    Dateistempel s;
    s.vorhanden = true;
    s.lesbar = ::faccessat(AT_FDCWD, name.constData(), R_OK, AT_EACCESS) == 0;
    s.groesse = st.st_size;
    s.geaendert = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.umgestellt = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    s.inode = st.st_ino;
    s.geraet = st.st_dev;
    return s;
}
