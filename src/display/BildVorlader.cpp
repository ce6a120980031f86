#include "display/BildVorlader.h"

#include "display/FruehDekodierung.h"
#include "display/Helligkeit.h"
#include "display/Vektorraster.h"
#include "platform/CancelFlag.h"

#include <QtConcurrent>

#include <algorithm>
#include <new>

BildVorlader::BildVorlader(Eingabeaufschub::Einordnung einordnen, QObject* parent)
    : QObject(parent)
    , m_aufschub(std::move(einordnen))
    , m_lader(std::make_unique<PictureLoader>())
{
    m_laden = [lader = m_lader.get()](const QString& pfad, QSize abdeckung, const ByteTable* tabelle,
                                      const CancelFlag& abbruch) { return lader->load(pfad, abdeckung, tabelle, &abbruch); };
    // One piece of work at a time: the loader's buffers serve one picture after the other, two
    // large decodes never take their memory at once, and the picture a change waits for goes
    // before everything else (see naechsterAuftrag).
    m_arbeiter.setMaxThreadCount(1);
}

BildVorlader::~BildVorlader()
{
    stoppen(m_laeuft);
    m_arbeiter.waitForDone();
}

BildVorlader::Auftrag BildVorlader::neuerAuftrag(const QString& pfad, QSize abdeckung, quint64 generation, bool vordergrund,
                                                 int helligkeit)
{
    return Auftrag{pfad, abdeckung, generation, vordergrund, helligkeit, std::make_shared<CancelFlag>(), nullptr, {}, {}};
}

const BildVorlader::Eintrag* BildVorlader::finden(const QString& pfad, QSize abdeckung) const
{
    for (const Eintrag& e : m_vorrat)
        if (e.pfad == pfad && e.abdeckung == abdeckung)
            return &e;
    return nullptr;
}

bool BildVorlader::gewollt(const QString& pfad) const
{
    return m_gewollt.contains(pfad);
}

bool BildVorlader::laeuftFuer(const QString& pfad, QSize abdeckung) const
{
    return m_laeuft && !m_laeuft->zusatz && m_laeuft->pfad == pfad && m_laeuft->abdeckung == abdeckung &&
           m_laeuft->generation == m_generation && !m_laeuft->abbruch->raised();
}

void BildVorlader::stoppen(std::optional<Auftrag>& auftrag)
{
    if (auftrag)
        auftrag->abbruch->raise();
}

std::optional<LoadedPicture> BildVorlader::laden(const QString& pfad, const Umstaende& umstaende,
                                                 const std::function<bool()>& abbrechen)
{
    m_startbildOffen = false;  // from here on the start picture is one decoded ahead like any other
    // What was asked for the picture shown so far is of no use any more.
    for (Auftrag& z : m_zusatz)
        z.abbruch->raise();
    m_zusatz.clear();
    if (m_laeuft && m_laeuft->zusatz)
        stoppen(m_laeuft);
    if (!(umstaende == m_umstaende)) {
        verwerfen();
        m_umstaende = umstaende;
    }
    const QSize abdeckung = umstaende.abdeckung;
    const Dateistempel jetzt = Dateistempel::von(pfad);
    if (const Eintrag* e = finden(pfad, abdeckung); e && jetzt.vorhanden && e->stempel == jetzt) {
        m_gezeigt = *e;
        m_gezeigterStempel = e->stempel;
        return e->bild;
    }

    const quint64 anfrage = ++m_anfrage;
    m_gesucht = neuerAuftrag(pfad, abdeckung, m_generation, true, umstaende.helligkeit);
    m_gefunden.reset();
    if (!laeuftFuer(pfad, abdeckung)) {
        stoppen(m_laeuft);  // a decode of another picture, or of this one that was given up
        m_vordergrund = m_gesucht;
        naechsterAuftrag();
    }
    // A request made while this one waits (from an event that is not held) supersedes it as well.
    const bool ungestoert =
        m_aufschub.warten([&] { return m_gefunden.has_value() || anfrage != m_anfrage || abbrechen(); });
    if (!ungestoert || anfrage != m_anfrage || !m_gefunden) {
        if (anfrage == m_anfrage) {
            m_gesucht.reset();
            m_gefunden.reset();
        }
        return std::nullopt;
    }
    m_gesucht.reset();
    m_gezeigterStempel = m_gefunden->stempel;
    m_gezeigt = std::move(*m_gefunden);
    m_gefunden.reset();
    if (m_aufschub.wartet())
        m_aufschub.wecken();  // an older request waits below this one and is now superseded
    return m_gezeigt->bild;
}

void BildVorlader::vorausladen(const QStringList& pfade)
{
    m_gewollt.clear();
    m_warteschlange.clear();
    if (m_vorausladen) {
        if (m_gezeigt)
            m_gewollt.append(m_gezeigt->pfad);
        for (const QString& p : pfade.mid(0, 2))
            if (!m_gewollt.contains(p))
                m_gewollt.append(p);
    }
    // A decode of a file that is no longer wanted stops, unless a picture change waits for it.
    const bool gesucht = m_laeuft && m_gesucht && m_laeuft->pfad == m_gesucht->pfad;
    if (m_laeuft && !m_laeuft->zusatz && !gesucht && !gewollt(m_laeuft->pfad))
        stoppen(m_laeuft);
    if (!m_vorausladen) {
        m_vorrat.clear();
        m_gezeigt.reset();
        return;
    }
    // A file changed since its decode ahead is decoded again.
    std::erase_if(m_vorrat, [this](const Eintrag& e) {
        return !gewollt(e.pfad) || e.abdeckung != m_umstaende.abdeckung ||
               (!(m_gezeigt && e.pfad == m_gezeigt->pfad) && !(Dateistempel::von(e.pfad) == e.stempel));
    });
    if (m_gezeigt && m_gezeigt->bild.ok) {
        std::erase_if(m_vorrat, [this](const Eintrag& e) { return e.pfad == m_gezeigt->pfad; });
        m_vorrat.push_back(std::move(*m_gezeigt));
    }
    m_gezeigt.reset();
    for (qsizetype i = 1; i < m_gewollt.size(); ++i) {
        const QString& p = m_gewollt[i];
        if (!laeuftFuer(p, m_umstaende.abdeckung) && !finden(p, m_umstaende.abdeckung))
            m_warteschlange.push_back(neuerAuftrag(p, m_umstaende.abdeckung, m_generation, false, m_umstaende.helligkeit));
    }
    naechsterAuftrag();
}

void BildVorlader::verwerfen()
{
    if (m_startbildOffen)
        return;
    // Everything under way stops, except a decode that a picture change waits for, which is used.
    ++m_generation;
    m_vorrat.clear();
    m_warteschlange.clear();
    m_gewollt.clear();
    m_gezeigt.reset();
    for (Auftrag& z : m_zusatz)
        z.abbruch->raise();
    m_zusatz.clear();
    const bool gesucht = m_laeuft && m_gesucht && !m_laeuft->zusatz && m_laeuft->pfad == m_gesucht->pfad &&
                         m_laeuft->abdeckung == m_gesucht->abdeckung;
    if (!gesucht)
        stoppen(m_laeuft);
}

std::shared_ptr<const CancelFlag> BildVorlader::zusatz(const void* fuer, Zusatzarbeit arbeit)
{
    zusatzAbbrechen(fuer);
    Auftrag a = neuerAuftrag(QString(), QSize(), m_generation, false, 80);
    a.fuer = fuer;
    a.zusatz = std::move(arbeit);
    std::shared_ptr<const CancelFlag> abbruch = a.abbruch;
    m_zusatz.push_back(std::move(a));
    naechsterAuftrag();
    return abbruch;
}

void BildVorlader::zusatzAbbrechen(const void* fuer)
{
    std::erase_if(m_zusatz, [fuer](const Auftrag& a) {
        if (a.fuer == fuer)
            a.abbruch->raise();
        return a.fuer == fuer;
    });
    if (m_laeuft && m_laeuft->zusatz && m_laeuft->fuer == fuer)
        stoppen(m_laeuft);
}

void BildVorlader::setVorausladen(bool an)
{
    m_vorausladen = an;
    if (!an) {
        m_startbildOffen = false;
        verwerfen();
    }
}

void BildVorlader::startbild(const QString& pfad, const Umstaende& umstaende, std::shared_ptr<FruehDekodierung> frueh)
{
    m_startbildOffen = false;
    verwerfen();
    // Of another picture or another size: stopped, and gone once it noticed.
    if (frueh && !(frueh->pfad() == pfad && frueh->abdeckung() == umstaende.abdeckung &&
                   umstaende.helligkeit == Helligkeit::kNeutral))
        frueh.reset();
    if (!m_vorausladen || pfad.isEmpty())
        return;
    m_umstaende = umstaende;
    m_gewollt = {pfad};
    Auftrag auftrag = neuerAuftrag(pfad, umstaende.abdeckung, m_generation, false, umstaende.helligkeit);
    if (frueh) {
        auftrag.abbruch = frueh->abbruch();
        auftrag.frueh = std::move(frueh);
    }
    m_warteschlange.push_back(std::move(auftrag));
    m_startbildOffen = true;
    naechsterAuftrag();
}

void BildVorlader::setVorausHalten(bool halten)
{
    m_vorausHalten = halten;
    naechsterAuftrag();
}

void BildVorlader::setLadefunktion(Ladefunktion laden)
{
    m_laden = std::move(laden);
}

void BildVorlader::naechsterAuftrag()
{
    if (m_laeuft)
        return;
    std::optional<Auftrag> auftrag;
    if (m_vordergrund) {
        auftrag.swap(m_vordergrund);
    } else if (!m_zusatz.empty()) {
        auftrag = std::move(m_zusatz.front());
        m_zusatz.pop_front();
    } else {
        while (!m_warteschlange.empty() && !auftrag && (!m_vorausHalten || m_startbildOffen)) {
            Auftrag a = m_warteschlange.front();
            m_warteschlange.pop_front();
            if (a.generation == m_generation && gewollt(a.pfad) && !finden(a.pfad, a.abdeckung))
                auftrag = a;
        }
    }
    if (!auftrag)
        return;
    m_laeuft = auftrag;
    QtConcurrent::run(&m_arbeiter, [laden = m_laden, a = *auftrag] { return ausfuehren(laden, a); })
        .then(this, [this, a = *auftrag](Ergebnis e) { erledigt(a, std::move(e)); });
}

BildVorlader::Ergebnis BildVorlader::ausfuehren(const Ladefunktion& laden, const Auftrag& auftrag)
{
    Ergebnis e;
    const CancelFlag& abbruch = *auftrag.abbruch;
    if (auftrag.zusatz) {
        try {
            e.liefern = auftrag.zusatz(laden, abbruch);
        } catch (const std::bad_alloc&) {
            e.liefern = nullptr;
        }
        return e;
    }
    if (auftrag.frueh)
        if (std::optional<Dekodiert> d = auftrag.frueh->abholen()) {
            e.dekodiert = std::move(*d);
            e.vorab = true;
            return e;
        }
    e.dekodiert = dekodieren(laden, auftrag.pfad, auftrag.abdeckung, auftrag.helligkeit, abbruch);
    return e;
}

BildVorlader::Dekodiert BildVorlader::dekodieren(const Ladefunktion& laden, const QString& pfad, QSize abdeckung, int helligkeit,
                                                 const CancelFlag& abbruch)
{
    Dekodiert d;
    try {
        d.stempel = Dateistempel::von(pfad);
        const std::optional<Helligkeit::Tabelle> tabelle = Helligkeit::FuerStufe(helligkeit);
        d.bild = laden(pfad, abdeckung, tabelle ? &*tabelle : nullptr, abbruch);
        if (d.bild.ok && d.bild.metafile && d.bild.image.isNull()) {
            const QSize groesse = PictureLoader::fittedSize(d.bild.naturalSize, abdeckung);
            d.bild.image = Vektorraster::Zeichnen(*d.bild.metafile, groesse, QRect(QPoint(0, 0), groesse), abbruch);
            if (d.bild.image.isNull())
                d.bild = LoadedPicture{};
        }
    } catch (const std::bad_alloc&) {
        d.bild = LoadedPicture{};
    }
    // A file that changed while it was read: its stamp says nothing about what was decoded.
    if (!(Dateistempel::von(pfad) == d.stempel))
        d.stempel = Dateistempel{};
    return d;
}

void BildVorlader::erledigt(const Auftrag& auftrag, Ergebnis ergebnis)
{
    m_laeuft.reset();
    const bool gestoppt = auftrag.abbruch->raised();
    if (auftrag.zusatz) {
        if (!gestoppt && ergebnis.liefern)
            ergebnis.liefern();
        naechsterAuftrag();
        return;
    }
    const bool aktuell = auftrag.generation == m_generation;
    if (m_gesucht && auftrag.pfad == m_gesucht->pfad && auftrag.abdeckung == m_gesucht->abdeckung &&
        auftrag.helligkeit == m_gesucht->helligkeit && !m_gefunden) {
        // A decode made ahead counts only while its file is as it was when the decode began.
        const bool passt = auftrag.vordergrund || (aktuell && ergebnis.dekodiert.stempel.vorhanden &&
                                                   ergebnis.dekodiert.stempel == Dateistempel::von(auftrag.pfad));
        if (!gestoppt && passt) {
            m_gefunden = Eintrag{auftrag.pfad, auftrag.abdeckung, ergebnis.dekodiert.stempel, ergebnis.dekodiert.bild, ergebnis.vorab};
            m_vordergrund.reset();
        } else if (!m_vordergrund) {
            m_vordergrund = neuerAuftrag(auftrag.pfad, auftrag.abdeckung, m_generation, true, m_gesucht->helligkeit);
        }
    }
    if (!gestoppt && aktuell && m_vorausladen && ergebnis.dekodiert.bild.ok && ergebnis.dekodiert.stempel.vorhanden && gewollt(auftrag.pfad) &&
        auftrag.abdeckung == m_umstaende.abdeckung && !finden(auftrag.pfad, auftrag.abdeckung))
        m_vorrat.push_back(
            Eintrag{auftrag.pfad, auftrag.abdeckung, ergebnis.dekodiert.stempel, std::move(ergebnis.dekodiert.bild), ergebnis.vorab});
    naechsterAuftrag();
    m_aufschub.wecken();
}
