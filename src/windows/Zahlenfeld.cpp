#include "windows/Zahlenfeld.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QResizeEvent>

namespace {

// The text in n lines of nearly equal length, broken anywhere.
QStringList inZeilen(const QString& text, int n)
{
    QStringList zeilen;
    const qsizetype laenge = (text.size() + n - 1) / n;
    for (qsizetype i = 0; i < text.size(); i += laenge)
        zeilen.append(text.mid(i, laenge));
    return zeilen;
}

bool passt(const QStringList& zeilen, const QFont& schrift, QSizeF platz)
{
    const QFontMetricsF m(schrift);
    if (zeilen.size() * m.lineSpacing() > platz.height())
        return false;
    for (const QString& z : zeilen)
        if (m.horizontalAdvance(z) > platz.width())
            return false;
    return true;
}

}  // namespace

void Zahlenfeld::Zeigen(const QString& text)
{
    QLabel::setText(text);
    aufteilen();
    update();
}

void Zahlenfeld::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        aufteilen();
}

void Zahlenfeld::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    aufteilen();
}

void Zahlenfeld::aufteilen()
{
    const QString t = text();
    const QSizeF platz = QSizeF(contentsRect().size()) - QSizeF(2, 0);
    const double groesste = font().pointSizeF() > 0 ? font().pointSizeF() : 8.0;
    // The fewest lines that fit in a readable font, in the largest font they fit in; when no layout
    // fits in a readable font, the largest font any of them fits in.
    m_schrift = font();
    m_zeilen = t.isEmpty() ? QStringList() : QStringList{t};
    double gewaehlt = 0;
    for (int n = 1; n <= 3 && gewaehlt < kLesbarPunkte && !t.isEmpty(); ++n) {
        const QStringList zeilen = inZeilen(t, n);
        for (double punkte = groesste; punkte >= 1.0; punkte -= 0.5) {
            QFont f = font();
            f.setPointSizeF(punkte);
            if (!passt(zeilen, f, platz))
                continue;
            if (punkte > gewaehlt) {
                m_schrift = f;
                m_zeilen = zeilen;
                gewaehlt = punkte;
            }
            break;
        }
    }
}

void Zahlenfeld::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    drawFrame(&p);
    p.setFont(m_schrift);
    p.setPen(palette().color(QPalette::WindowText));
    const QRectF innen = QRectF(contentsRect()).adjusted(1, 0, -1, 0);
    const QFontMetricsF m(m_schrift);
    double y = innen.top() + (innen.height() - m_zeilen.size() * m.lineSpacing()) / 2 + m.ascent();
    for (const QString& z : m_zeilen) {
        p.drawText(QPointF(innen.left(), y), z);
        y += m.lineSpacing();
    }
}
