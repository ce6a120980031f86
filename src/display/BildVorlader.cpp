#include "display/BildVorlader.h"

#include "platform/FileSystem.h"

#include <QtConcurrent>

#include <sys/stat.h>

#include <algorithm>
#include <new>

BildVorlader::BildVorlader(Eingabeaufschub::Einordnung einordnen, QObject* parent)
    : QObject(parent)
    , m_aufschub(std::move(einordnen))
    , m_lader(std::make_unique<PictureLoader>())
{
    m_laden = [lader = m_lader.get()](const QString& pfad, QSize abdeckung) { return lader->load(pfad, abdeckung); };
    // One decode at a time: the loader's buffers serve one picture after the other, and the
    // picture a change waits for goes before those ahead (see naechsterAuftrag).
    m_arbeiter.setMaxThreadCount(1);
}

BildVorlader::~BildVorlader()
{
    m_arbeiter.waitForDone();
}

BildVorlader::Stempel BildVorlader::stempel(const QString& pfad)
{
    struct stat st {};
    if (::stat(FileSystem::nativeName(pfad).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return {true, qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
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

std::optional<LoadedPicture> BildVorlader::laden(const QString& pfad, const Umstaende& umstaende,
                                                 const std::function<bool()>& abbrechen)
{
    m_startbildOffen = false;  // from here on the start picture is one decoded ahead like any other
    if (!(umstaende == m_umstaende)) {
        verwerfen();
        m_umstaende = umstaende;
    }
    const QSize abdeckung = umstaende.abdeckung;
    const Stempel jetzt = stempel(pfad);
    if (const Eintrag* e = finden(pfad, abdeckung); e && jetzt.vorhanden && e->stempel == jetzt) {
        m_gezeigt = *e;
        return e->bild;
    }

    const quint64 anfrage = ++m_anfrage;
    m_gesucht = Auftrag{pfad, abdeckung, m_generation, true};
    m_gefunden.reset();
    const bool laeuftSchon = m_laeuft && m_laeuft->pfad == pfad && m_laeuft->abdeckung == abdeckung &&
                             m_laeuft->generation == m_generation;
    if (!laeuftSchon) {
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
    if (!m_vorausladen) {
        m_vorrat.clear();
        m_gezeigt.reset();
        return;
    }
    if (m_gezeigt)
        m_gewollt.append(m_gezeigt->pfad);
    for (const QString& p : pfade.mid(0, 2))
        if (!m_gewollt.contains(p))
            m_gewollt.append(p);
    // A file changed since its decode ahead is decoded again.
    std::erase_if(m_vorrat, [this](const Eintrag& e) {
        return !gewollt(e.pfad) || e.abdeckung != m_umstaende.abdeckung ||
               (!(m_gezeigt && e.pfad == m_gezeigt->pfad) && !(stempel(e.pfad) == e.stempel));
    });
    if (m_gezeigt && m_gezeigt->bild.ok) {
        std::erase_if(m_vorrat, [this](const Eintrag& e) { return e.pfad == m_gezeigt->pfad; });
        m_vorrat.push_back(std::move(*m_gezeigt));
    }
    m_gezeigt.reset();
    for (qsizetype i = 1; i < m_gewollt.size(); ++i) {
        const QString& p = m_gewollt[i];
        const bool laeuft = m_laeuft && m_laeuft->pfad == p && m_laeuft->abdeckung == m_umstaende.abdeckung &&
                            m_laeuft->generation == m_generation;
        if (!laeuft && !finden(p, m_umstaende.abdeckung))
            m_warteschlange.push_back(Auftrag{p, m_umstaende.abdeckung, m_generation, false});
    }
    naechsterAuftrag();
}

void BildVorlader::verwerfen()
{
    if (m_startbildOffen)
        return;
    // The decode under way finishes, but its picture is not kept; one a change waits for is used.
    ++m_generation;
    m_vorrat.clear();
    m_warteschlange.clear();
    m_gewollt.clear();
    m_gezeigt.reset();
}

void BildVorlader::setVorausladen(bool an)
{
    m_vorausladen = an;
    if (!an) {
        m_startbildOffen = false;
        verwerfen();
    }
}

void BildVorlader::startbild(const QString& pfad, const Umstaende& umstaende)
{
    m_startbildOffen = false;
    verwerfen();
    if (!m_vorausladen || pfad.isEmpty())
        return;
    m_umstaende = umstaende;
    m_gewollt = {pfad};
    m_warteschlange.push_back(Auftrag{pfad, umstaende.abdeckung, m_generation, false});
    m_startbildOffen = true;
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
    } else {
        while (!m_warteschlange.empty() && !auftrag) {
            Auftrag a = m_warteschlange.front();
            m_warteschlange.pop_front();
            if (a.generation == m_generation && gewollt(a.pfad) && !finden(a.pfad, a.abdeckung))
                auftrag = a;
        }
    }
    if (!auftrag)
        return;
    m_laeuft = auftrag;
    QtConcurrent::run(&m_arbeiter,
                      [laden = m_laden, a = *auftrag] {
                          Ergebnis e;
                          e.stempel = stempel(a.pfad);
                          try {
                              e.bild = laden(a.pfad, a.abdeckung);
                          } catch (const std::bad_alloc&) {
                              e.bild = LoadedPicture{};
                          }
                          return e;
                      })
        .then(this, [this, a = *auftrag](Ergebnis e) { erledigt(a, std::move(e)); });
}

void BildVorlader::erledigt(const Auftrag& auftrag, Ergebnis ergebnis)
{
    m_laeuft.reset();
    const bool aktuell = auftrag.generation == m_generation;
    if (m_gesucht && auftrag.pfad == m_gesucht->pfad && auftrag.abdeckung == m_gesucht->abdeckung && !m_gefunden) {
        // A decode made ahead counts only while its file is as it was when the decode began.
        if (auftrag.vordergrund || (aktuell && ergebnis.stempel.vorhanden && ergebnis.stempel == stempel(auftrag.pfad))) {
            m_gefunden = Eintrag{auftrag.pfad, auftrag.abdeckung, ergebnis.stempel, ergebnis.bild};
            m_vordergrund.reset();
        } else {
            m_vordergrund = Auftrag{auftrag.pfad, auftrag.abdeckung, m_generation, true};
        }
    }
    if (aktuell && m_vorausladen && ergebnis.bild.ok && gewollt(auftrag.pfad) && auftrag.abdeckung == m_umstaende.abdeckung &&
        !finden(auftrag.pfad, auftrag.abdeckung))
        m_vorrat.push_back(Eintrag{auftrag.pfad, auftrag.abdeckung, ergebnis.stempel, std::move(ergebnis.bild)});
    naechsterAuftrag();
    m_aufschub.wecken();
}
