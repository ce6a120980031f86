// Helpers that build test fixtures: files and folders in a temporary directory, pictures
// written with QImage.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace Fixtures {

// Creates the file (and its folders) with the given content; returns its full path.
QString writeFile(const QString& path, const QByteArray& content = QByteArray("x"));
// Writes a picture of the given size and colour: JPEG for .jpg/.jpeg names, BMP content otherwise.
QString writePicture(const QString& path, int width, int height, Qt::GlobalColor color = Qt::red);
// An albo.ini with the given text under appData/TESSRIN Albora 13/.
void writeAlboIni(const QString& appData, const QByteArray& text);

// A file whose name is given as raw bytes (for names that are not UTF-8); returns the name as
// the program holds it.
QString writeRawNamed(const QByteArray& nativePath, const QByteArray& content = QByteArray("x"));
// The content of a file named as the program holds names; "<fehlt>" when it cannot be read.
QByteArray content(const QString& path);
// A baseline JPEG of the given size with detail all over (so that every part of it takes its time
// to decode), written row by row without the whole picture in memory; returns its path.
QString writeLargeJpeg(const QString& path, int width, int height);
// Replaces a picture by another of the same size and colour `color`, written in place or renamed
// over it, and gives it back its old access and modification times (as `touch -r` does); true when
// the new file has the old size and times.
bool replaceKeepingTimes(const QString& path, Qt::GlobalColor color, bool byRename);
// Things named like files that are none: a FIFO without a writer, a listening-less socket.
bool makeFifo(const QString& path);
bool makeSocket(const QString& path);

// Sets an environment variable for the life of the object.
class Umgebung {
public:
    Umgebung(const char* name, const QByteArray& wert)
        : m_name(name)
        , m_hatte(qEnvironmentVariableIsSet(name))
        , m_alt(qgetenv(name))
    {
        qputenv(name, wert);
    }
    ~Umgebung()
    {
        if (m_hatte)
            qputenv(m_name, m_alt);
        else
            qunsetenv(m_name);
    }
    Umgebung(const Umgebung&) = delete;
    Umgebung& operator=(const Umgebung&) = delete;

private:
    const char* m_name;
    bool m_hatte;
    QByteArray m_alt;
};

}  // namespace Fixtures
