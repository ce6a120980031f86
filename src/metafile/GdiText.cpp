// Text of the metafile players: the font a record asks for and the runs drawn with it.
#include "GdiPlayer.h"

#include "TextCodec.h"

#include <QFontMetricsF>
#include <cmath>

namespace metafile {

namespace {

enum { TA_UPDATECP = 1, ETO_OPAQUE = 2, ETO_CLIPPED = 4 };

qreal linearScale(const QTransform& t)
{
    return std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
}

// The fontconfig name of the generic family a style hint stands for.
QString genericFamily(QFont::StyleHint hint)
{
    switch (hint) {
    case QFont::Serif: return QStringLiteral("serif");
    case QFont::Monospace: return QStringLiteral("monospace");
    case QFont::Cursive: return QStringLiteral("cursive");
    case QFont::Decorative: return QStringLiteral("fantasy");
    default: return QStringLiteral("sans-serif");
    }
}

}  // namespace

QFont GdiPlayer::makeFont(const FontSpec& desc, qreal& emHeight) const
{
    QFont font;
    QString face = desc.face.trimmed();
    QFont::StyleHint hint = QFont::SansSerif;
    switch (desc.pitchAndFamily & 0xF0) {
    case 0x10: hint = QFont::Serif; break;
    case 0x30: hint = QFont::Monospace; break;
    case 0x40: hint = QFont::Cursive; break;
    case 0x50: hint = QFont::Decorative; break;
    default: break;
    }
    if ((desc.pitchAndFamily & 0x03) == 1)  // fixed pitch
        hint = QFont::Monospace;
    if (face.contains(QLatin1String("Times"), Qt::CaseInsensitive) || face.contains(QLatin1String("Roman"), Qt::CaseInsensitive))
        hint = QFont::Serif;
    else if (face.contains(QLatin1String("Courier"), Qt::CaseInsensitive) || face.contains(QLatin1String("Mono"), Qt::CaseInsensitive))
        hint = QFont::Monospace;
    font.setStyleHint(hint);
    // The face alone, so that a face that is not installed is substituted as the desktop does it:
    // fontconfig knows the metric-compatible faces (Carlito for Calibri, Liberation Sans for
    // Arial, ...), and for a face it does not know takes the generic family of the hint. Any
    // second family named here would be taken before fontconfig's substitutes.
    if (face.isEmpty() || isSymbolFace(face))
        face = genericFamily(hint);
    font.setFamilies({face});
    font.setWeight(QFont::Weight(std::clamp(desc.weight <= 0 ? 400 : desc.weight, 100, 900)));
    font.setItalic(desc.italic);
    font.setUnderline(desc.underline);
    font.setStrikeOut(desc.strikeOut);
    font.setPixelSize(256);
    if (desc.height < 0) {
        emHeight = -desc.height;
    } else if (desc.height > 0) {
        // A positive height is the cell (ascent plus descent); the em is that much smaller.
        const QFontMetricsF fm(font);
        const qreal cell = fm.ascent() + fm.descent();
        emHeight = desc.height * (cell > 0 ? 256 / cell : 1);
    } else {
        const qreal scale = linearScale(dc.s.world * dc.pageToDevice());
        emHeight = scale > 0 ? 12 / scale : 12;
    }
    return font;
}

void GdiPlayer::text(QPointF anchor, const QString& string, std::vector<qreal> advances, uint32_t options, const QRectF* rect)
{
    if (m_inPath)
        return;
    if (rect && rect->isEmpty())
        rect = nullptr;
    if (rect && (options & ETO_OPAQUE))
        fillRect(*rect, dc.s.bkColor);
    if (string.isEmpty())
        return;
    TextRun run;
    run.font = makeFont(dc.s.font, run.emHeight);
    if (!std::isfinite(run.emHeight) || run.emHeight <= 0)
        return;
    const bool updateCp = dc.s.textAlign & TA_UPDATECP;
    run.anchor = updateCp ? dc.s.currentPos : anchor;
    run.text = isSymbolFace(dc.s.font.face) ? mapSymbolText(string) : string;
    run.angle = dc.s.font.escapement / 10.0;
    run.charWidth = std::abs(dc.s.font.width);
    run.align = dc.s.textAlign & (AlignCenter | AlignBaseline);
    run.color = dc.s.textColor;
    if (dc.s.bkMode == OPAQUE && !(rect && (options & ETO_OPAQUE)))
        run.background = dc.s.bkColor;
    if (advances.size() >= size_t(string.size()))
        advances.resize(size_t(string.size()));
    else
        advances.clear();
    run.advances = std::move(advances);

    const std::optional<QPainterPath> savedClip = dc.s.clip;
    const int savedSerial = dc.s.clipSerial;
    if (rect && (options & ETO_CLIPPED))
        intersectClipRect(*rect);
    m_canvas.drawText(run, paint(false, false));
    dc.s.clip = savedClip;
    dc.s.clipSerial = savedSerial;
    if (updateCp) {
        qreal width = 0;
        if (!run.advances.empty()) {
            for (qreal a : run.advances)
                width += a;
        } else {
            width = QFontMetricsF(run.font).horizontalAdvance(run.text) * run.emHeight / 256;
        }
        dc.s.currentPos.rx() += width;
    }
}

}  // namespace metafile
