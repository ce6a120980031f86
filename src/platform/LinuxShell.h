// Pieces of the Linux file actions that the scripted test platform and the tests share with the
// real platform: the copy that never replaces, the page fitting.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

class QPainter;

namespace LinuxShell {

// Copies source to target, keeping permissions and modification time. The source is opened like
// every file the program reads (a FIFO or a device is refused at once). The target is created
// exclusively, so an existing file (or a link) of that name is never replaced; a half-written copy
// of our own is removed again. Returns 0 or an error number with its text:
// 53 File not found, 58 File already exists, 61 Disk full, 70 Permission denied,
// 75 Path/File access error, 76 Path not found.
int copyWithoutReplacing(const QString& source, const QString& target, QString& errorText);

// The rectangle a picture of the given size takes when fitted into the page, keeping its
// proportions and centred; small pictures are enlarged to the page.
QRect fittedOnPage(QSize picture, const QRect& page);

// Draws the picture fitted into the painter's whole viewport.
void drawFittedOnPage(QPainter& painter, const QImage& picture);

// Whether the file's type has a default application, asked from xdg-mime; true when xdg-mime
// cannot be run, so that the opener decides.
bool hasDefaultApplication(const QString& path);

}  // namespace LinuxShell
