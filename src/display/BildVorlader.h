// Loading ahead: the pictures the user will most likely ask for next are decoded on a worker
// thread, at the size they are shown, while the current one is on screen. Every decode, also the
// one a picture change waits for and the work for the picture on screen (its full resolution for
// a zoom, a metafile drawn at the size shown), runs on that one worker, one after the other, so the
// program takes Alt+F4 or a newer picture key during a long decode (see Eingabeaufschub) and never
// holds two large decodes at once. Work nobody waits for any more is stopped between two rows.
// Holds the picture shown and at most two ahead; a picture decoded earlier is used only while its
// file keeps its stamp (see Dateistempel).
#pragma once

#include "display/Dateistempel.h"
#include "display/Eingabeaufschub.h"
#include "display/Helligkeit.h"
#include "platform/PictureLoader.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CancelFlag;
class FruehDekodierung;

class BildVorlader : public QObject {
    Q_OBJECT
public:
    // The decode itself; runs on the worker thread and stops early once `abbruch` is raised. tabelle:
    // the brightness table the decode puts the picture through (none at the neutral level).
    using Ladefunktion = std::function<LoadedPicture(const QString& pfad, QSize abdeckung, const ByteTable* tabelle,
                                                     const CancelFlag& abbruch)>;
    // Work for the picture on screen, run on the worker: it gives what is to happen with its result
    // on the GUI thread (nothing happens when the work was stopped meanwhile).
    using Zusatzarbeit = std::function<std::function<void()>(const Ladefunktion& laden, const CancelFlag& abbruch)>;

    // What a decode ahead depends on besides the file: when it changes, everything is dropped.
    struct Umstaende {
        QSize abdeckung;  // the size (device pixels) pictures are shown at most at
        int helligkeit = 0;
        bool groesseAenderbar = false;
        bool operator==(const Umstaende&) const = default;
    };

    // A picture decoded from its file, with the file's stamp as it was while it was read (none when
    // the file changed meanwhile): what a picture decoded ahead is taken by.
    struct Dekodiert {
        Dateistempel stempel;
        LoadedPicture bild;
    };
    // Decodes the file at the size it is shown (a metafile is drawn at that size); runs on any
    // thread, stops early once `abbruch` is raised. Running out of memory gives nothing loaded.
    static Dekodiert dekodieren(const Ladefunktion& laden, const QString& pfad, QSize abdeckung, int helligkeit,
                                const CancelFlag& abbruch);

    explicit BildVorlader(Eingabeaufschub::Einordnung einordnen, QObject* parent = nullptr);
    // Stops the work under way and waits for it.
    ~BildVorlader() override;

    // The picture of the file (a path as it exists on disk): the one decoded ahead when its file is
    // unchanged, the one being decoded when that is it, else decoded now. A metafile comes drawn at
    // the size it covers. Empty when a key for another picture came first or abbrechen() became
    // true while waiting. The work for the picture shown before is stopped.
    std::optional<LoadedPicture> laden(const QString& pfad, const Umstaende& umstaende,
                                       const std::function<bool()>& abbrechen);
    // The stamp of the file as it was while the picture laden() gave last was decoded; "missing"
    // when the file changed during that decode.
    const Dateistempel& gezeigterStempel() const { return m_gezeigterStempel; }
    // The picture laden() gave last is the decode begun before the program was up.
    bool gezeigtVorab() const { return m_gezeigt && m_gezeigt->vorab; }
    // The picture laden() gave last stays at hand; these files are decoded next, in this order
    // (at most two; everything else held is let go, and a decode of another file is stopped).
    void vorausladen(const QStringList& pfade);
    // Lets go of everything held and stops every decode but the one a picture change waits for
    // (but see startbild()).
    void verwerfen();

    // The picture a start will show first, decoded from now on while the program gets ready (its
    // windows, its lists, the folder question). The first laden() takes it as a picture decoded
    // ahead: under the same circumstances and while its file is unchanged. Until that laden(),
    // verwerfen() keeps it, so that the start-up's new working list does not lose it.
    // `frueh`: that picture's decode begun before the program was up; it is taken as this decode
    // when it is of the same file at the same size and the brightness is neutral.
    void startbild(const QString& pfad, const Umstaende& umstaende, std::shared_ptr<FruehDekodierung> frueh = {});

    // Work for the picture on screen, on behalf of `fuer`: it runs after a picture change's decode
    // and before those ahead. It replaces the work asked for earlier on behalf of the same `fuer`
    // (which stops), and is stopped by the next picture change. The flag it gives is raised when
    // it is stopped.
    std::shared_ptr<const CancelFlag> zusatz(const void* fuer, Zusatzarbeit arbeit);
    void zusatzAbbrechen(const void* fuer);

    // While held, decodes ahead wait (not the start picture, a picture change or the work for the
    // picture on screen); they count as work waiting to start.
    void setVorausHalten(bool halten);

    // Decoding ahead on or off; picture changes still decode on the worker.
    void setVorausladen(bool an);
    bool vorausladenAn() const { return m_vorausladen; }
    // No work under way or waiting to start.
    bool ruhig() const { return !m_laeuft && !m_vordergrund && m_zusatz.empty() && m_warteschlange.empty(); }
    // The decode itself (tests hold it back or count it); runs on the worker thread.
    void setLadefunktion(Ladefunktion laden);
    Eingabeaufschub& aufschub() { return m_aufschub; }

private:
    struct Auftrag {
        QString pfad;
        QSize abdeckung;
        quint64 generation = 0;
        bool vordergrund = false;
        int helligkeit = Helligkeit::kNeutral;
        std::shared_ptr<CancelFlag> abbruch;
        // Work for the picture on screen instead of a decode.
        const void* fuer = nullptr;
        Zusatzarbeit zusatz;
        // The decode begun before the program was up, taken instead of decoding again.
        std::shared_ptr<FruehDekodierung> frueh;
    };
    struct Eintrag {
        QString pfad;
        QSize abdeckung;
        Dateistempel stempel;
        LoadedPicture bild;
        bool vorab = false;  // decoded before the program was up
    };
    struct Ergebnis {
        Dekodiert dekodiert;
        std::function<void()> liefern;  // of work for the picture on screen
        bool vorab = false;
    };
    static Auftrag neuerAuftrag(const QString& pfad, QSize abdeckung, quint64 generation, bool vordergrund, int helligkeit);
    const Eintrag* finden(const QString& pfad, QSize abdeckung) const;
    bool gewollt(const QString& pfad) const;
    bool laeuftFuer(const QString& pfad, QSize abdeckung) const;
    void stoppen(std::optional<Auftrag>& auftrag);
    void naechsterAuftrag();
    static Ergebnis ausfuehren(const Ladefunktion& laden, const Auftrag& auftrag);
    void erledigt(const Auftrag& auftrag, Ergebnis ergebnis);

    Eingabeaufschub m_aufschub;
    std::unique_ptr<PictureLoader> m_lader;
    Ladefunktion m_laden;
    bool m_vorausladen = true;
    Umstaende m_umstaende;
    quint64 m_generation = 0;  // raised by verwerfen(): decodes of an older one are not kept
    quint64 m_anfrage = 0;     // raised by every laden() that waits: only the newest one is served
    bool m_startbildOffen = false;  // startbild() came and no laden() since
    bool m_vorausHalten = false;
    std::vector<Eintrag> m_vorrat;  // the picture shown and those decoded ahead
    QStringList m_gewollt;          // the picture shown first, then those to decode ahead
    std::optional<Eintrag> m_gezeigt;
    Dateistempel m_gezeigterStempel;
    std::optional<Auftrag> m_laeuft;
    std::optional<Auftrag> m_vordergrund;
    std::deque<Auftrag> m_zusatz;
    std::deque<Auftrag> m_warteschlange;
    // The picture a laden() waits for, and what arrived for it.
    std::optional<Auftrag> m_gesucht;
    std::optional<Eintrag> m_gefunden;
    QThreadPool m_arbeiter;
};
