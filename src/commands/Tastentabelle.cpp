#include "commands/Tastentabelle.h"

#include "commands/Tastencode.h"

namespace Tastentabelle {
namespace {

using A = Tastenaktion;
constexpr qint16 kJede = -1;

constexpr Tastenzeile kZeilen[] = {
    {33, kJede, A::ErstesBild, true},                        // Page Up
    {36, kJede, A::ErstesBild, true},                        // Home
    {34, kJede, A::LetztesBild, true},                       // Page Down
    {35, kJede, A::LetztesBild, true},                       // End
    {112, kJede, A::ZoomOut, true},                          // F1
    {113, kJede, A::VorherigesBild, true},                   // F2
    {37, Tastencode::kAlt, A::VorherigesBild, true},         // Alt+Left
    {37, Tastencode::kShift, A::NachLinks, false},           // Shift+Left
    {114, kJede, A::NaechstesBild, true},                    // F3
    {39, Tastencode::kAlt, A::NaechstesBild, true},          // Alt+Right
    {39, Tastencode::kShift, A::NachRechts, false},          // Shift+Right
    {115, kJede, A::ZoomIn, true},                           // F4 (Alt+F4 ends the program before the table)
    {116, kJede, A::Liste, false},                           // F5
    {117, kJede, A::AutomatikStarten, false},                // F6
    {118, kJede, A::AutomatikStoppen, false},                // F7
    {119, kJede, A::NeueZusammenstellung, true},             // F8
    {120, kJede, A::MauszeigerUmschalten, true},             // F9
    {121, kJede, A::Einstellungen, false},                   // F10
    {122, kJede, A::Mausposition, false},                    // F11
    {90, Tastencode::kStrg, A::LupeScharf, false},           // Ctrl+Z
    {79, Tastencode::kStrg, A::LupeAus, false},              // Ctrl+O
    {38, Tastencode::kShift, A::NachOben, false},            // Shift+Up
    {40, Tastencode::kShift, A::NachUnten, false},           // Shift+Down
    {0, kJede, A::ListeVerbergen, false},                    // any other key
};

}  // namespace

std::span<const Tastenzeile> Zeilen()
{
    return kZeilen;
}

const Tastenzeile* Suchen(qint16 keyCode, qint16 shift)
{
    bool tasteHatZeilen = false;
    for (const Tastenzeile& z : kZeilen) {
        if (z.keyCode == 0)
            return tasteHatZeilen ? nullptr : &z;
        if (z.keyCode != keyCode)
            continue;
        tasteHatZeilen = true;
        if (z.shift == kJede || z.shift == shift)
            return &z;
    }
    return nullptr;
}

}  // namespace Tastentabelle
