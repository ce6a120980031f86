// What drawing one metafile may cost. The players and the canvas charge work units for what they
// do (records read, path elements, pixels filled, glyphs, bitmap pixels) and bytes for what they
// keep until the drawing ends (objects, clips, the open path); what no longer fits is left
// undrawn and the rest of the picture is shown. Another thread may ask the drawing to stop.
#pragma once

#include <QtGlobal>
#include <atomic>
#include <chrono>
#include <functional>

namespace metafile {

// What drawing costs in work units, measured at 1920 x 1080 (see bench_metafile's costly
// pictures, which each ask for one kind of work).
namespace work {
inline constexpr qint64 kCall = 60;              // a drawing call handed to QPainter
inline constexpr qint64 kElement = 2;            // a path element mapped, measured or copied
inline constexpr qint64 kStep = 4;               // a line or a part of a curve cut to the picture
inline constexpr qint64 kOutlineElement = 40;    // an element made into the outline of a wide line
inline constexpr qint64 kDash = 300;             // a dash of a line
inline constexpr qint64 kGlyph = 500;            // a character laid out and drawn
inline constexpr qint64 kCombinedElement = 600;  // an element of areas intersected or united
inline constexpr qreal kEdgePixel = 4;           // a pixel along an edge the rasterizer follows
inline constexpr qint64 kPixelsPerUnit = 8;      // pixels filled with a colour (or read from a bitmap)
inline constexpr qint64 kPatternFactor = 8;      // how much more a pattern or bitmap brush costs
}  // namespace work

class Budget {
public:
    // About a second of one core's work when drawing at 1920 x 1080 (a unit is roughly ten
    // nanoseconds), and the bytes a drawing may keep besides the target and its own file.
    static constexpr qint64 kWork = 100'000'000;
    static constexpr qint64 kKeptBytes = qint64(64) << 20;
    // The processor time after which a drawing on screen stops whatever its units say: a
    // backstop for work that the units misjudge.
    static constexpr std::chrono::milliseconds kScreenTime{1500};

    explicit Budget(qint64 work = kWork, qint64 keptBytes = kKeptBytes);
    Budget(const Budget&) = delete;
    Budget& operator=(const Budget&) = delete;

    // Processor time of the thread that draws, counted from its first check; without it only
    // the units count.
    void setTimeLimit(std::chrono::milliseconds cpu);

    // True while work is left, the time is not up and no stop was asked.
    bool keepGoing();
    // Work that is done whatever follows (reading a record, cutting a path to the picture).
    void charge(qint64 units);
    // Work that is done only when it fits; false: leave it undrawn (nothing is charged).
    bool afford(qint64 units);
    // Bytes kept until the drawing ends; false: they do not fit, keep less.
    bool keep(qint64 bytes);
    // Something is left undrawn for a reason of its own (too large to draw at all).
    void leaveOut() { m_cut = true; }
    // Asks the drawing to stop at its next check; from any thread.
    void stop() { m_stopAsked.store(true, std::memory_order_relaxed); }
    // A question asked at every check, on the drawing's thread: true stops the drawing (for
    // example when a newer picture has been asked for).
    void stopWhen(std::function<bool()> asked) { m_stopWhen = std::move(asked); }

    qint64 used() const { return m_used; }
    qint64 kept() const { return m_kept; }
    // Something was left undrawn, or the drawing was stopped or ran out of time.
    bool cut() const { return m_cut; }

private:
    bool fits(qint64 units);
    bool timeUp(qint64 units);

    const qint64 m_work;
    const qint64 m_keptLimit;
    qint64 m_used = 0;
    qint64 m_kept = 0;
    bool m_cut = false;
    std::atomic<bool> m_stopAsked{false};
    std::function<bool()> m_stopWhen;
    // Reading the thread's clock is a system call: it is read after this much work or this
    // many checks, whichever comes first.
    qint64 m_clockDue = 0;
    int m_checksToClock = 0;
    std::chrono::nanoseconds m_timeLimit{0};
    std::chrono::nanoseconds m_deadline{0};  // zero: not started
    bool m_timed = false;
};

}  // namespace metafile
