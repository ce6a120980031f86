// The list control that shows a picture list: a model/view list (fast with 32767 entries) over
// a BildListe, its own or one it is given, optionally with a tick box in front of every entry.
#pragma once

#include "lists/BildListe.h"

#include <QAbstractListModel>
#include <QListView>

#include <memory>

class BildListenModell : public QAbstractListModel {
    Q_OBJECT
public:
    BildListenModell(BildListe& liste, bool mitHaekchen, QObject* parent);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    BildListe& m_liste;
    bool m_mitHaekchen;
};

class BildListenFeld : public QListView {
    Q_OBJECT
public:
    // With a list of its own.
    BildListenFeld(bool sortiert, bool mitHaekchen, QWidget* parent = nullptr);
    // Showing a list that someone else owns and that outlives the control; the control shows
    // its selection at once.
    BildListenFeld(BildListe& liste, bool mitHaekchen, QWidget* parent = nullptr);
    // Lets the list take files dropped from a file manager.
    void DateienAnnehmen(bool ja);
    // The local file paths of a drop, byte for byte; empty when it carries none. A name no file
    // can have (a NUL in it) is left out.
    static QStringList LokaleDateien(const QMimeData* daten);

    BildListe& liste() { return m_liste; }
    const BildListe& liste() const { return m_liste; }

    // The list operations, by their familiar names.
    int ListCount() const { return m_liste.ListCount(); }
    QString List(int i) const { return m_liste.List(i); }
    int AddItem(const QString& s) { return m_liste.AddItem(s); }
    void RemoveItem(int i) { m_liste.RemoveItem(i); }
    void Clear() { m_liste.Clear(); }
    int ListIndex() const { return m_liste.ListIndex(); }
    void setListIndex(int i) { m_liste.setListIndex(i); }
    bool Selected(int i) const { return m_liste.Selected(i); }
    void setSelected(int i, bool h) { m_liste.setSelected(i, h); }
    // The entry text of the selected entry ("" when none is selected).
    QString Text() const { return m_liste.List(m_liste.ListIndex()); }
    // The file of the selected entry (see BildListe::Datei).
    QString Datei() { return m_liste.Datei(m_liste.ListIndex()); }
    // Brings the control to the front of its window.
    void ZOrder() { raise(); }

signals:
    // The selection was set (by the program or the user) or the selected entry was clicked.
    void EintragGeklickt();
    void EintragDoppelgeklickt();
    // Local files were dropped onto the list (from a file manager's text/uri-list).
    void DateienAbgelegt(const QStringList& dateien);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Either eigene or fremde.
    BildListenFeld(std::unique_ptr<BildListe> eigene, BildListe* fremde, bool mitHaekchen, QWidget* parent);
    // Highlights the list's selected entry (none for -1) without reporting it as a click.
    void AuswahlMarkieren(int index);

    std::unique_ptr<BildListe> m_eigene;
    BildListe& m_liste;
    BildListenModell m_modell;
    bool m_innerhalbAuswahl = false;
    bool m_geradeGewechselt = false;
};
