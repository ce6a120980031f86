// The key handler's table: one row per key and modifier condition, walked in order; the first
// row of a key whose condition holds acts. A key with rows but no condition met does nothing; a
// key without rows takes the last row.
#pragma once

#include <QtGlobal>

#include <span>

enum class Tastenaktion {
    ErstesBild,
    LetztesBild,
    ZoomOut,
    VorherigesBild,
    NaechstesBild,
    NachLinks,
    NachRechts,
    NachOben,
    NachUnten,
    ZoomIn,
    Liste,
    AutomatikStarten,
    AutomatikStoppen,
    NeueZusammenstellung,
    MauszeigerUmschalten,
    Einstellungen,
    Mausposition,
    LupeScharf,
    LupeAus,
    ListeVerbergen,
};

struct Tastenzeile {
    qint16 keyCode;  // 0: any other key
    qint16 shift;    // required modifier mask; -1: any
    Tastenaktion aktion;
    bool verbraucht;  // the caller's KeyCode is set to 0
};

namespace Tastentabelle {

std::span<const Tastenzeile> Zeilen();

// The row that acts on a key, or nullptr when the key has rows but none whose condition holds.
const Tastenzeile* Suchen(qint16 keyCode, qint16 shift);

}  // namespace Tastentabelle
