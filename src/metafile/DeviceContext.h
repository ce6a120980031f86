// The graphics state a metafile changes as it plays: selected objects, colours and modes,
// the window/viewport mapping, the world transform, the clip, the object table and the
// stack of saved states.
#pragma once

#include "Budget.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QTransform>
#include <map>
#include <optional>
#include <vector>

namespace metafile {

enum MapMode { MM_TEXT = 1, MM_LOMETRIC, MM_HIMETRIC, MM_LOENGLISH, MM_HIENGLISH, MM_TWIPS, MM_ISOTROPIC, MM_ANISOTROPIC };
enum PenStyle { PS_SOLID = 0, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME, PS_USERSTYLE, PS_ALTERNATE };
enum BrushStyle { BS_SOLID = 0, BS_NULL, BS_HATCHED, BS_PATTERN, BS_INDEXED, BS_DIBPATTERN, BS_DIBPATTERNPT };
enum Rop2 { R2_BLACK = 1, R2_NOTMERGEPEN, R2_MASKNOTPEN, R2_NOTCOPYPEN, R2_MASKPENNOT, R2_NOT, R2_XORPEN, R2_NOTMASKPEN,
            R2_MASKPEN, R2_NOTXORPEN, R2_NOP, R2_MERGENOTPEN, R2_COPYPEN, R2_MERGEPENNOT, R2_MERGEPEN, R2_WHITE };
enum RegionMode { RGN_AND = 1, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY };
enum { TRANSPARENT = 1, OPAQUE = 2 };
enum { ALTERNATE = 1, WINDING = 2 };

struct BrushSpec {
    int style = BS_SOLID;
    QColor color = Qt::white;
    int hatch = 0;
    QImage pattern;
    bool monochrome = false;        // pattern drawn in the text and background colours of the moment
};

struct PenSpec {
    int style = PS_SOLID;           // low four bits of the GDI pen style
    int endCap = 0;                 // 0 round, 1 square, 2 flat
    int join = 0;                   // 0 round, 1 bevel, 2 miter
    qreal width = 0;                // logical units; 0 draws one device pixel
    bool cosmetic = true;
    QColor color = Qt::black;
    std::vector<qreal> dashes;      // user style, in pen widths
    std::optional<BrushSpec> brush; // what a wide pen paints with; none: its colour
};

struct FontSpec {
    qreal height = 0;               // logical; negative: character height, positive: cell height
    qreal width = 0;
    int escapement = 0;             // tenths of a degree
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0;
    int pitchAndFamily = 0;
    QString face;
};

struct GdiObject {
    enum Kind { Empty, Pen, Brush, Font, Palette, Region, Other };
    Kind kind = Empty;
    PenSpec pen;
    BrushSpec brush;
    FontSpec font;
    QPainterPath region;            // device units of the metafile
};

struct DcState {
    int mapMode = MM_TEXT;
    QPointF windowOrg{0, 0};
    QSizeF windowExt{1, 1};
    QPointF viewportOrg{0, 0};
    QSizeF viewportExt{1, 1};
    QTransform world;
    PenSpec pen;
    BrushSpec brush;
    FontSpec font;
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    int bkMode = OPAQUE;
    int textAlign = 0;
    int polyFillMode = ALTERNATE;
    int rop2 = R2_COPYPEN;
    bool arcClockwise = false;
    QPointF currentPos;
    std::optional<QPainterPath> clip;  // target pixels
    int clipSerial = 0;             // one number per distinct clip of a playback
};

class DeviceContext {
public:
    static constexpr int kMaxSaveDepth = 1024;

    DcState s;
    // Metafile device units → target pixels; fixed for one playback.
    QTransform deviceToTarget;
    // Reference device pixels per millimetre, for the metric and English map modes.
    QSizeF pixelsPerMm{96 / 25.4, 96 / 25.4};
    // WMF playback maps the window straight onto this rectangle of device units.
    std::optional<QRectF> wmfViewport;
    // Target pixels that "no clip" stands for when a clip is combined with it.
    QRectF fullArea;

    QTransform pageToDevice() const;
    QTransform logicalToTarget() const { return s.world * pageToDevice() * deviceToTarget; }

    void save();
    // n < 0: relative to the top of the stack; n > 0: absolute depth. False when out of range.
    bool restore(int n);
    int saveDepth() const { return int(m_saved.size()); }

    void resizeObjects(int count);
    int objectCount() const { return m_objectLimit; }
    // Puts the object into the lowest free slot (WMF rule); -1 when the table is full.
    int addObject(GdiObject object);
    // Puts the object at the given slot (EMF rule); ignored when outside the table.
    void setObject(uint32_t index, GdiObject object);
    const GdiObject* object(uint32_t index) const;
    void deleteObject(uint32_t index);

    // Combines a shape in target pixels with the clip. What that costs is charged to the budget;
    // when it does not fit, nothing shows through the clip: what it lets through is left undrawn.
    void combineClip(const QPainterPath& shape, int mode, Budget& budget);
    void resetClip();

private:
    void combine(const QPainterPath& shape, int mode);

    std::vector<DcState> m_saved;
    int m_lastClipSerial = 0;
    // Only the slots in use are stored: a header may declare 65535 of them and use three.
    std::map<uint32_t, GdiObject> m_objects;
    uint32_t m_objectLimit = 0;
};

}  // namespace metafile
