// What tells whether a file is still the one decoded earlier: its size and modification time,
// which any program can set back, and what no user can set: the change time, the inode and the
// device (a file replaced by another has a new change time, mostly a new inode too). Whether the
// program may read it is part of it, so a file made unreadable is not shown from an earlier decode.
#pragma once

#include <QString>
#include <QtGlobal>

struct Dateistempel {
    bool vorhanden = false;  // a regular file
    bool lesbar = false;
    qint64 groesse = 0;
    qint64 geaendert = 0;  // modification time, nanoseconds
    qint64 umgestellt = 0;  // change time (inode), nanoseconds
    quint64 inode = 0;
    quint64 geraet = 0;
    bool operator==(const Dateistempel&) const = default;

    // The file as it is now; "missing" for anything but a regular file.
    static Dateistempel von(const QString& pfad);
};
