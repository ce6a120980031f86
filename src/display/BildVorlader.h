// Loading ahead: the pictures the user will most likely ask for next are decoded on a worker
// thread, at the size they are shown, while the current one is on screen. Every decode, also the
// one a picture change waits for, runs on that worker, so the program takes Alt+F4 or a newer
// picture key during a long decode (see Eingabeaufschub). Holds the picture shown
// and at most two ahead; a picture decoded earlier is used only while its file keeps its size and
// modification time.
#pragma once

#include "display/Eingabeaufschub.h"
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

class BildVorlader : public QObject {
    Q_OBJECT
public:
    using Ladefunktion = std::function<LoadedPicture(const QString& pfad, QSize abdeckung)>;

    // What a decode ahead depends on besides the file: when it changes, everything is dropped.
    struct Umstaende {
        QSize abdeckung;  // the size (device pixels) pictures are shown at most at
        int helligkeit = 0;
        bool groesseAenderbar = false;
        bool operator==(const Umstaende&) const = default;
    };

    explicit BildVorlader(Eingabeaufschub::Einordnung einordnen, QObject* parent = nullptr);
    // Waits for the decode under way.
    ~BildVorlader() override;

    // The picture of the file (a path as it exists on disk): the one decoded ahead when its file is
    // unchanged, the one being decoded when that is it, else decoded now. Empty when a key for
    // another picture came first or abbrechen() became true while waiting.
    std::optional<LoadedPicture> laden(const QString& pfad, const Umstaende& umstaende,
                                       const std::function<bool()>& abbrechen);
    // The picture laden() gave last stays at hand; these files are decoded next, in this order
    // (at most two; everything else held is let go).
    void vorausladen(const QStringList& pfade);
    // Lets go of everything held and of every decode not yet started (but see startbild()).
    void verwerfen();

    // The picture a start will show first, decoded from now on while the program gets ready (its
    // windows, its lists, the folder question). The first laden() takes it as a picture decoded
    // ahead: under the same circumstances and while its file is unchanged. Until that laden(),
    // verwerfen() keeps it, so that the start-up's new working list does not lose it.
    void startbild(const QString& pfad, const Umstaende& umstaende);

    // Decoding ahead on or off; picture changes still decode on the worker.
    void setVorausladen(bool an);
    bool vorausladenAn() const { return m_vorausladen; }
    // No decode under way or waiting to start.
    bool ruhig() const { return !m_laeuft && !m_vordergrund && m_warteschlange.empty(); }
    // The decode itself (tests hold it back or count it); runs on the worker thread.
    void setLadefunktion(Ladefunktion laden);
    Eingabeaufschub& aufschub() { return m_aufschub; }

    // A file's size and modification time, or "missing".
    struct Stempel {
        bool vorhanden = false;
        qint64 groesse = 0;
        qint64 zeit = 0;  // nanoseconds
        bool operator==(const Stempel&) const = default;
    };
    static Stempel stempel(const QString& pfad);

private:
    struct Auftrag {
        QString pfad;
        QSize abdeckung;
        quint64 generation = 0;
        bool vordergrund = false;
    };
    struct Eintrag {
        QString pfad;
        QSize abdeckung;
        Stempel stempel;
        LoadedPicture bild;
    };
    struct Ergebnis {
        Stempel stempel;
        LoadedPicture bild;
    };
    const Eintrag* finden(const QString& pfad, QSize abdeckung) const;
    bool gewollt(const QString& pfad) const;
    void naechsterAuftrag();
    void erledigt(const Auftrag& auftrag, Ergebnis ergebnis);

    Eingabeaufschub m_aufschub;
    std::unique_ptr<PictureLoader> m_lader;
    Ladefunktion m_laden;
    bool m_vorausladen = true;
    Umstaende m_umstaende;
    quint64 m_generation = 0;  // raised by verwerfen(): decodes of an older one are not kept
    quint64 m_anfrage = 0;     // raised by every laden() that waits: only the newest one is served
    bool m_startbildOffen = false;  // startbild() came and no laden() since
    std::vector<Eintrag> m_vorrat;  // the picture shown and those decoded ahead
    QStringList m_gewollt;          // the picture shown first, then those to decode ahead
    std::optional<Eintrag> m_gezeigt;
    std::optional<Auftrag> m_laeuft;
    std::optional<Auftrag> m_vordergrund;
    std::deque<Auftrag> m_warteschlange;
    // The picture a laden() waits for, and what arrived for it.
    std::optional<Auftrag> m_gesucht;
    std::optional<Eintrag> m_gefunden;
    QThreadPool m_arbeiter;
};
