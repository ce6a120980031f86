// Why a file was not read or written as asked. The program's classic messages have no words for
// the limits and checks of its own, so the reason travels with the refusal and is shown on the
// error-text line of the nearest message.
#pragma once

#include <QString>

struct Refusal {
    enum class Kind {
        None,
        Missing,         // nothing of that name
        NotRegular,      // a folder, a device, a pipe or a socket
        TooLarge,        // larger than the reader takes (limit)
        WriteProtected,  // the file's mode forbids writing, also to the administrator
        OwnerNotKept,    // replacing it would take the file away from its owner
        NoTrash,         // no trash could be made or used for the file's file system
        TrashNamesUsed,  // every name the trash has for the file is taken
        Failed,          // the system refused (error)
    };

    Kind kind = Kind::None;
    int error = 0;      // errno of the call that failed, where there was one
    qint64 limit = 0;   // TooLarge: the most the reader takes, in bytes
    QString path;       // the file or folder concerned

    bool refused() const { return kind != Kind::None; }
    // The reason in words, fixed English like the shell's error texts.
    QString text() const;

    static Refusal of(Kind kind, const QString& path = {}, int error = 0)
    {
        Refusal r;
        r.kind = kind;
        r.path = path;
        r.error = error;
        return r;
    }
};
