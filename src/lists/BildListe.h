// A picture list: full path names in order, a selected index (-1 = none) and a tick per entry.
// A sorted list keeps ascending, case-insensitive, locale-aware order at every insertion (equal
// names stay in insertion order); an unsorted one keeps insertion order. At most 32767 entries.
#pragma once

#include <QCollator>
#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

class BildListe : public QObject {
    Q_OBJECT
public:
    static constexpr int kHoechstzahl = 32767;

    explicit BildListe(bool sortiert, QObject* parent = nullptr);

    bool Sorted() const { return m_sortiert; }
    int ListCount() const { return static_cast<int>(m_eintraege.size()); }
    QString List(int index) const;
    const std::vector<QString>& Eintraege() const { return m_eintraege; }

    // Adds one entry (sorted lists place it, unsorted ones append it); returns its index, -1
    // when the list is full.
    int AddItem(const QString& eintrag);
    // Adds many entries at once: the same result as adding them one by one, but sorted once.
    void AddItems(const QStringList& eintraege);
    void RemoveItem(int index);
    void Clear();

    int ListIndex() const { return m_listIndex; }
    // Selects an entry (-1 clears the selection); out-of-range values are ignored.
    void setListIndex(int index);

    bool Selected(int index) const;
    void setSelected(int index, bool haekchen);
    bool IrgendeinHaekchen() const;

    // The case-insensitive, locale-aware order of sorted lists.
    static bool kleiner(const QString& a, const QString& b);

signals:
    // The selection was set (also to the same index again).
    void ListIndexGesetzt(int index);
    // Entries were added, removed or cleared.
    void Geaendert();
    void HaekchenGeaendert(int index);

private:
    static const QCollator& collator();
    bool m_sortiert;
    std::vector<QString> m_eintraege;
    std::vector<char> m_haekchen;
    int m_listIndex = -1;
};
