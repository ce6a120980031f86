// A picture list: full path names in order, a selected index (-1 = none) and a tick per entry.
// A sorted list keeps ascending, case-insensitive, locale-aware order at every insertion (equal
// names stay in insertion order); an unsorted one keeps insertion order. At most 32767 entries.
// Each entry also knows its file: the text of an entry may be lower-cased, while the file is the
// one the user named or the folder scan found, with its real name.
#pragma once

#include <QCollator>
#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

// Where the file of an entry is: the path it is looked for at, and whether it was found there.
// Once found, that file is the entry's for good: no other letter case is ever tried for it.
struct EintragsDatei {
    QString pfad;
    bool gefunden = false;
    // Found when the path exists exactly as given (one look at the disk).
    static EintragsDatei nachsehen(const QString& pfad);
};

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
    // when the list is full. Without a file the entry's text is where its file is looked for.
    int AddItem(const QString& eintrag);
    int AddItem(const QString& eintrag, const EintragsDatei& datei);
    // Adds many entries at once: the same result as adding them one by one, but sorted once.
    // dateien: one per entry, or none.
    void AddItems(const QStringList& eintraege, std::vector<EintragsDatei> dateien = {});
    // Appends the entries of another list with their files, in its order.
    void AddItemsAus(const BildListe& quelle);

    // The file of an entry: where it was found, or, the first time it is asked for, the entry's
    // path as given when that exists, else the same path matched without regard to case (kept
    // for good once it exists). "" for an index outside the list.
    QString Datei(int index);
    // The file of the selected entry ("" when none is selected).
    QString Datei() { return Datei(m_listIndex); }
    // The text of the selected entry ("" when none is selected).
    QString Text() const { return List(m_listIndex); }
    const std::vector<EintragsDatei>& Dateien() const { return m_dateien; }
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
    std::vector<EintragsDatei> m_dateien;
    std::vector<char> m_haekchen;
    int m_listIndex = -1;
};
