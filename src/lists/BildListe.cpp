#include "lists/BildListe.h"

#include "platform/FileSystem.h"

#include <QLocale>

#include <algorithm>
#include <numeric>

EintragsDatei EintragsDatei::nachsehen(const QString& pfad)
{
    return {pfad, FileSystem::exists(pfad)};
}

BildListe::BildListe(bool sortiert, QObject* parent)
    : QObject(parent)
    , m_sortiert(sortiert)
{
}

const QCollator& BildListe::collator()
{
    static const QCollator c = [] {
        // Without a configured locale ("C"), sort as an English desktop would rather than by
        // character codes, which would put every capital letter before every small one.
        QLocale locale;
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QCollator col(locale);
        col.setCaseSensitivity(Qt::CaseInsensitive);
        col.setNumericMode(false);
        col.setIgnorePunctuation(false);
        return col;
    }();
    return c;
}

bool BildListe::kleiner(const QString& a, const QString& b)
{
    return collator().compare(a, b) < 0;
}

QString BildListe::List(int index) const
{
    if (index < 0 || index >= ListCount())
        return {};
    return m_eintraege[static_cast<size_t>(index)];
}

int BildListe::AddItem(const QString& eintrag)
{
    return AddItem(eintrag, EintragsDatei{eintrag, false});
}

int BildListe::AddItem(const QString& eintrag, const EintragsDatei& datei)
{
    if (ListCount() >= kHoechstzahl)
        return -1;
    size_t pos = m_eintraege.size();
    if (m_sortiert) {
        const auto it = std::upper_bound(m_eintraege.begin(), m_eintraege.end(), eintrag, kleiner);
        pos = static_cast<size_t>(it - m_eintraege.begin());
    }
    m_eintraege.insert(m_eintraege.begin() + static_cast<std::ptrdiff_t>(pos), eintrag);
    m_dateien.insert(m_dateien.begin() + static_cast<std::ptrdiff_t>(pos), datei);
    m_haekchen.insert(m_haekchen.begin() + static_cast<std::ptrdiff_t>(pos), 0);
    if (m_listIndex >= static_cast<int>(pos))
        ++m_listIndex;
    emit Geaendert();
    return static_cast<int>(pos);
}

void BildListe::AddItemsAus(const BildListe& quelle)
{
    QStringList texte;
    texte.reserve(quelle.ListCount());
    for (const QString& e : quelle.m_eintraege)
        texte.append(e);
    AddItems(texte, quelle.m_dateien);
}

QString BildListe::Datei(int index)
{
    if (index < 0 || index >= ListCount())
        return {};
    EintragsDatei& d = m_dateien[static_cast<size_t>(index)];
    if (d.gefunden)
        return d.pfad;
    if (FileSystem::exists(d.pfad)) {
        d.gefunden = true;
        return d.pfad;
    }
    const QString aufgeloest = FileSystem::resolvePath(d.pfad);
    if (aufgeloest != d.pfad && FileSystem::exists(aufgeloest)) {
        d.pfad = aufgeloest;
        d.gefunden = true;
    }
    return aufgeloest;
}

void BildListe::AddItems(const QStringList& eintraege, std::vector<EintragsDatei> dateien)
{
    if (eintraege.isEmpty())
        return;
    const qsizetype platz = kHoechstzahl - ListCount();
    const qsizetype anzahl = std::min<qsizetype>(platz, eintraege.size());
    if (anzahl <= 0)
        return;
    if (dateien.size() != static_cast<size_t>(eintraege.size())) {
        dateien.clear();
        dateien.reserve(static_cast<size_t>(anzahl));
        for (qsizetype i = 0; i < anzahl; ++i)
            dateien.push_back({eintraege[i], false});
    }
    if (!m_sortiert || (m_eintraege.empty() && anzahl == 1)) {
        m_eintraege.insert(m_eintraege.end(), eintraege.begin(), eintraege.begin() + anzahl);
        m_dateien.insert(m_dateien.end(), std::make_move_iterator(dateien.begin()),
                         std::make_move_iterator(dateien.begin() + anzahl));
    } else {
        // Sort the new entries once by their collation keys, then merge: equal entries keep the
        // order in which they would have been inserted one by one.
        const QString* neu = eintraege.constData();
        std::vector<QCollatorSortKey> schluessel;
        schluessel.reserve(static_cast<size_t>(anzahl));
        // Names that agree up to a "/" sort as their remainders do; keys of the remainders alone
        // are much cheaper for the long common folder of a folder's pictures.
        qsizetype gemeinsam = neu[0].size();
        for (qsizetype i = 1; i < anzahl && gemeinsam > 0; ++i) {
            const QString& s = neu[i];
            qsizetype k = 0;
            const qsizetype grenze = std::min(gemeinsam, s.size());
            while (k < grenze && s[k] == neu[0][k])
                ++k;
            gemeinsam = k;
        }
        gemeinsam = neu[0].left(gemeinsam).lastIndexOf(u'/') + 1;
        for (qsizetype i = 0; i < anzahl; ++i)
            schluessel.push_back(collator().sortKey(QStringView(neu[i]).sliced(gemeinsam).toString()));
        std::vector<qsizetype> ordnung(static_cast<size_t>(anzahl));
        std::iota(ordnung.begin(), ordnung.end(), 0);
        std::stable_sort(ordnung.begin(), ordnung.end(), [&](qsizetype a, qsizetype b) {
            return schluessel[static_cast<size_t>(a)].compare(schluessel[static_cast<size_t>(b)]) < 0;
        });
        std::vector<QString> sortiert;
        std::vector<EintragsDatei> sortierteDateien;
        sortiert.reserve(static_cast<size_t>(anzahl));
        sortierteDateien.reserve(static_cast<size_t>(anzahl));
        for (qsizetype i : ordnung) {
            sortiert.push_back(neu[i]);
            sortierteDateien.push_back(std::move(dateien[static_cast<size_t>(i)]));
        }
        // Merge; on equal entries the older one comes first, as with insertion one by one.
        std::vector<QString> eintraegeNeu;
        std::vector<EintragsDatei> dateienNeu;
        std::vector<char> haekchenNeu;
        eintraegeNeu.reserve(m_eintraege.size() + sortiert.size());
        dateienNeu.reserve(m_eintraege.size() + sortiert.size());
        haekchenNeu.reserve(m_eintraege.size() + sortiert.size());
        int indexNeu = -1;
        size_t i = 0, j = 0;
        while (i < m_eintraege.size() || j < sortiert.size()) {
            const bool alt = j == sortiert.size() || (i < m_eintraege.size() && !kleiner(sortiert[j], m_eintraege[i]));
            if (alt) {
                if (static_cast<int>(i) == m_listIndex)
                    indexNeu = static_cast<int>(eintraegeNeu.size());
                eintraegeNeu.push_back(std::move(m_eintraege[i]));
                dateienNeu.push_back(std::move(m_dateien[i]));
                haekchenNeu.push_back(m_haekchen[i]);
                ++i;
            } else {
                eintraegeNeu.push_back(std::move(sortiert[j]));
                dateienNeu.push_back(std::move(sortierteDateien[j]));
                haekchenNeu.push_back(0);
                ++j;
            }
        }
        m_eintraege = std::move(eintraegeNeu);
        m_dateien = std::move(dateienNeu);
        m_haekchen = std::move(haekchenNeu);
        m_listIndex = indexNeu;
    }
    m_haekchen.resize(m_eintraege.size(), 0);
    emit Geaendert();
}

void BildListe::RemoveItem(int index)
{
    if (index < 0 || index >= ListCount())
        return;
    m_eintraege.erase(m_eintraege.begin() + index);
    m_dateien.erase(m_dateien.begin() + index);
    m_haekchen.erase(m_haekchen.begin() + index);
    if (m_listIndex == index)
        m_listIndex = -1;
    else if (m_listIndex > index)
        --m_listIndex;
    emit Geaendert();
}

void BildListe::Clear()
{
    m_eintraege.clear();
    m_dateien.clear();
    m_haekchen.clear();
    m_listIndex = -1;
    emit Geaendert();
}

void BildListe::setListIndex(int index)
{
    if (index < -1 || index >= ListCount())
        return;
    m_listIndex = index;
    emit ListIndexGesetzt(index);
}

bool BildListe::Selected(int index) const
{
    return index >= 0 && index < ListCount() && m_haekchen[static_cast<size_t>(index)] != 0;
}

void BildListe::setSelected(int index, bool haekchen)
{
    if (index < 0 || index >= ListCount())
        return;
    m_haekchen[static_cast<size_t>(index)] = haekchen ? 1 : 0;
    emit HaekchenGeaendert(index);
}

bool BildListe::IrgendeinHaekchen() const
{
    return std::any_of(m_haekchen.begin(), m_haekchen.end(), [](char h) { return h != 0; });
}
