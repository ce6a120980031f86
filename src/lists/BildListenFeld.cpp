#include "lists/BildListenFeld.h"

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

#include <QDragEnterEvent>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QUrl>

BildListenModell::BildListenModell(BildListe& liste, bool mitHaekchen, QObject* parent)
    : QAbstractListModel(parent)
    , m_liste(liste)
    , m_mitHaekchen(mitHaekchen)
{
    connect(&liste, &BildListe::Geaendert, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&liste, &BildListe::HaekchenGeaendert, this, [this](int row) {
        const QModelIndex i = index(row);
        emit dataChanged(i, i, {Qt::CheckStateRole});
    });
}

int BildListenModell::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_liste.ListCount();
}

QVariant BildListenModell::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole) {
        // Readable, and short enough to lay out at once whatever a slide-list line held.
        return TextEncoding::forDisplay(m_liste.List(index.row()), 1000);
    }
    if (role == Qt::CheckStateRole && m_mitHaekchen)
        return m_liste.Selected(index.row()) ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool BildListenModell::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || !m_mitHaekchen)
        return false;
    m_liste.setSelected(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags BildListenModell::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractListModel::flags(index);
    if (m_mitHaekchen)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

BildListenFeld::BildListenFeld(bool sortiert, bool mitHaekchen, QWidget* parent)
    : BildListenFeld(std::make_unique<BildListe>(sortiert), nullptr, mitHaekchen, parent)
{
}

BildListenFeld::BildListenFeld(BildListe& liste, bool mitHaekchen, QWidget* parent)
    : BildListenFeld(nullptr, &liste, mitHaekchen, parent)
{
}

BildListenFeld::BildListenFeld(std::unique_ptr<BildListe> eigene, BildListe* fremde, bool mitHaekchen, QWidget* parent)
    : QListView(parent)
    , m_eigene(std::move(eigene))
    , m_liste(fremde ? *fremde : *m_eigene)
    , m_modell(m_liste, mitHaekchen, this)
{
    setModel(&m_modell);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    if (m_liste.ListIndex() >= 0)
        AuswahlMarkieren(m_liste.ListIndex());

    // Every change of the selection, by the program or by the user, counts as a click on the
    // entry, as list boxes have always reported it.
    connect(&m_liste, &BildListe::ListIndexGesetzt, this, [this](int index) {
        AuswahlMarkieren(index);
        emit EintragGeklickt();
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (m_innerhalbAuswahl || !current.isValid())
            return;
        m_geradeGewechselt = true;
        m_liste.setListIndex(current.row());
    });
    // The model is rebuilt on every change of the list: the highlight stays on the current entry.
    connect(&m_modell, &QAbstractItemModel::modelReset, this, [this] {
        if (m_liste.ListIndex() >= 0)
            AuswahlMarkieren(m_liste.ListIndex());
    });
    // A click on the entry that is already selected is a click as well.
    connect(this, &QListView::clicked, this, [this](const QModelIndex& i) {
        if (i.isValid() && !m_geradeGewechselt)
            emit EintragGeklickt();
        m_geradeGewechselt = false;
    });
    connect(this, &QListView::doubleClicked, this, [this](const QModelIndex& i) {
        if (i.isValid())
            emit EintragDoppelgeklickt();
    });
}

void BildListenFeld::AuswahlMarkieren(int index)
{
    m_innerhalbAuswahl = true;
    if (index < 0)
        selectionModel()->clearSelection();
    else
        setCurrentIndex(m_modell.index(index));
    m_innerhalbAuswahl = false;
}

void BildListenFeld::DateienAnnehmen(bool ja)
{
    setAcceptDrops(ja);
    viewport()->setAcceptDrops(ja);
    setDropIndicatorShown(false);
    setDragDropMode(ja ? QAbstractItemView::DropOnly : QAbstractItemView::NoDragDrop);
}

QStringList BildListenFeld::LokaleDateien(const QMimeData* daten)
{
    QStringList dateien;
    if (!daten || !daten->hasUrls())
        return dateien;
    for (const QUrl& url : daten->urls()) {
        const QString datei = FileSystem::fromFileUrl(url);
        if (!datei.isEmpty() && !datei.contains(QChar(u'\0')))
            dateien.append(datei);
    }
    return dateien;
}

void BildListenFeld::dragEnterEvent(QDragEnterEvent* event)
{
    if (!LokaleDateien(event->mimeData()).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void BildListenFeld::dragMoveEvent(QDragMoveEvent* event)
{
    if (!LokaleDateien(event->mimeData()).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void BildListenFeld::dropEvent(QDropEvent* event)
{
    const QStringList dateien = LokaleDateien(event->mimeData());
    if (dateien.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit DateienAbgelegt(dateien);
}
