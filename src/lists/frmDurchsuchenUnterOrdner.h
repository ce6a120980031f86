// The question after a start with one picture: take the other pictures of its folder, of the
// folder and all its sub-folders, or quit. Behind "with sub-folders" is a depth-first walk.
#pragma once

#include "lists/BildListe.h"
#include "platform/FileSystem.h"

#include <QDialog>

#include <set>
#include <utility>

class Programm;
class QLabel;
class QPushButton;

class frmDurchsuchenUnterOrdner : public QDialog {
    Q_OBJECT
public:
    explicit frmDurchsuchenUnterOrdner(Programm& programm);
    ~frmDurchsuchenUnterOrdner() override;

    // Load, then shown modally; returns when the window has been unloaded.
    void zeigenModal();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* btnOhneUnterordner = nullptr;
    QPushButton* btnMitUnterOrdnern = nullptr;
    QPushButton* btnAbbrechen = nullptr;

    bool blnMeldungZeigen = false;

    void btnOhneUnterordner_Click();
    void btnMitUnterOrdnern_Click();
    void btnAbbrechen_Click();

protected:
    // Closing the question with the window's close box (or Escape) takes the folder without
    // its sub-folders, the lighter of the two searches.
    void reject() override;

private:
    void Form_Load();
    // Collects the pictures of one folder and then, in name order, of each of its sub-folders.
    // anzeigePfad is the folder as the names are to read, echterPfad the folder on disk.
    void DurchsucheOrdner(const QString& anzeigePfad, const QString& echterPfad, const FolderEntries& inhalt);
    void SucheBeenden();

    Programm& m_programm;
    QStringList m_gefunden;
    std::vector<EintragsDatei> m_gefundeneDateien;
    std::set<std::pair<quint64, quint64>> m_besucht;  // device and inode of the folders seen
    bool m_suchtGerade = false;
};
