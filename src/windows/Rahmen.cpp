#include "windows/Rahmen.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

Rahmen::Rahmen(QWidget* parent)
    : QGroupBox(parent)
{
}

int Rahmen::RandOben() const
{
    return fontMetrics().height() / 2;
}

void Rahmen::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // An etched line (the styles' own group-box frame would move itself below the caption).
    qDrawShadeRect(&p, rect().adjusted(0, RandOben(), 0, 0), palette(), true, 1, 0);
    if (title().isEmpty())
        return;
    // The caption on the window's background, interrupting the border.
    const QFontMetrics fm = fontMetrics();
    const QString ohneKuerzel = QString(title()).remove(u'&');
    const QRect feld(fm.averageCharWidth(), 0, fm.horizontalAdvance(ohneKuerzel) + fm.averageCharWidth(), fm.height());
    p.fillRect(feld, palette().window());
    style()->drawItemText(&p, feld, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), title(), QPalette::WindowText);
}
