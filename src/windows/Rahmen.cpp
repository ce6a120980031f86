#include "windows/Rahmen.h"

#include <QPainter>
#include <QStyleOptionFrame>

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
    QStyleOptionFrame rand;
    rand.initFrom(this);
    rand.rect = rect().adjusted(0, RandOben(), 0, 0);
    rand.lineWidth = 1;
    rand.midLineWidth = 0;
    style()->drawPrimitive(QStyle::PE_FrameGroupBox, &rand, &p, this);
    if (title().isEmpty())
        return;
    // The caption on the window's background, interrupting the border.
    const QFontMetrics fm = fontMetrics();
    const QString ohneKuerzel = QString(title()).remove(u'&');
    const QRect feld(fm.averageCharWidth(), 0, fm.horizontalAdvance(ohneKuerzel) + fm.averageCharWidth(), fm.height());
    p.fillRect(feld, palette().window());
    style()->drawItemText(&p, feld, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), title(), QPalette::WindowText);
}
