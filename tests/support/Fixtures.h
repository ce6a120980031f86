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

}  // namespace Fixtures
