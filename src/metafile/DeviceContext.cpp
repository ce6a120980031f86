// Mapping, save stack, object table and clip combination of the metafile device context.
#include "DeviceContext.h"

#include <cmath>

namespace metafile {

namespace {

// Size of one logical unit in millimetres for the fixed map modes.
qreal unitMm(int mapMode)
{
    switch (mapMode) {
    case MM_LOMETRIC: return 0.1;
    case MM_HIMETRIC: return 0.01;
    case MM_LOENGLISH: return 0.254;
    case MM_HIENGLISH: return 0.0254;
    case MM_TWIPS: return 25.4 / 1440;
    default: return 0;
    }
}

qreal safeRatio(qreal num, qreal den)
{
    if (den == 0 || !std::isfinite(num) || !std::isfinite(den))
        return 1;
    return num / den;
}

}  // namespace

QTransform DeviceContext::pageToDevice() const
{
    qreal sx = 1, sy = 1;
    QPointF vOrg = s.viewportOrg;
    if (wmfViewport) {
        // A WMF is played with its window stretched onto the picture, whatever it asks of the viewport.
        sx = safeRatio(wmfViewport->width(), s.windowExt.width());
        sy = safeRatio(wmfViewport->height(), s.windowExt.height());
        vOrg = wmfViewport->topLeft();
    } else if (const qreal mm = unitMm(s.mapMode); mm > 0) {
        sx = mm * pixelsPerMm.width();
        sy = -mm * pixelsPerMm.height();
    } else if (s.mapMode == MM_ISOTROPIC || s.mapMode == MM_ANISOTROPIC) {
        sx = safeRatio(s.viewportExt.width(), s.windowExt.width());
        sy = safeRatio(s.viewportExt.height(), s.windowExt.height());
        if (s.mapMode == MM_ISOTROPIC) {
            const qreal m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
    }
    return QTransform(sx, 0, 0, sy, vOrg.x() - s.windowOrg.x() * sx, vOrg.y() - s.windowOrg.y() * sy);
}

void DeviceContext::save()
{
    if (int(m_saved.size()) < kMaxSaveDepth)
        m_saved.push_back(s);
}

bool DeviceContext::restore(int n)
{
    const int depth = int(m_saved.size());
    const int target = n < 0 ? depth + n : n - 1;  // index of the state to return to
    if (n == 0 || target < 0 || target >= depth)
        return false;
    // The restored clip keeps the number it was saved with, so a canvas that still has it
    // set need not set it again.
    s = m_saved[size_t(target)];
    m_saved.resize(size_t(target));
    return true;
}

void DeviceContext::resizeObjects(int count)
{
    m_objects.clear();
    m_objectLimit = uint32_t(std::clamp(count, 0, 65535));
}

int DeviceContext::addObject(GdiObject object)
{
    uint32_t slot = 0;
    for (const auto& [index, unused] : m_objects) {
        if (index != slot)
            break;
        ++slot;
    }
    if (slot >= m_objectLimit)
        return -1;
    m_objects[slot] = std::move(object);
    return int(slot);
}

void DeviceContext::setObject(uint32_t index, GdiObject object)
{
    if (index < m_objectLimit)
        m_objects[index] = std::move(object);
}

const GdiObject* DeviceContext::object(uint32_t index) const
{
    const auto it = m_objects.find(index);
    return it == m_objects.end() ? nullptr : &it->second;
}

void DeviceContext::deleteObject(uint32_t index)
{
    m_objects.erase(index);
}

void DeviceContext::combineClip(const QPainterPath& shape, int mode, Budget& budget)
{
    s.clipSerial = ++m_lastClipSerial;
    const bool replaces = mode == RGN_COPY || (mode == RGN_AND && !s.clip);
    const qint64 elements = shape.elementCount() + (s.clip ? s.clip->elementCount() : 5);
    if (!budget.afford(elements * (replaces ? work::kElement : work::kCombinedElement))) {
        s.clip = QPainterPath();
        return;
    }
    if (replaces) {
        s.clip = shape;
    } else {
        combine(shape, mode);
    }
    // Clips live on in saved states; a clip that cannot be kept lets nothing through.
    if (!budget.keep(qint64(s.clip->elementCount()) * qint64(sizeof(QPainterPath::Element))))
        s.clip = QPainterPath();
}

void DeviceContext::combine(const QPainterPath& shape, int mode)
{
    if (!s.clip) {
        // No clip means everything is visible, which for the other modes is the whole target.
        QPainterPath all;
        all.addRect(fullArea);
        s.clip = all;
    }
    switch (mode) {
    case RGN_AND: s.clip = s.clip->intersected(shape); break;
    case RGN_OR: s.clip = s.clip->united(shape); break;
    case RGN_XOR: s.clip = s.clip->united(shape).subtracted(s.clip->intersected(shape)); break;
    case RGN_DIFF: s.clip = s.clip->subtracted(shape); break;
    default: break;
    }
}

void DeviceContext::resetClip()
{
    s.clipSerial = ++m_lastClipSerial;
    s.clip.reset();
}

}  // namespace metafile
