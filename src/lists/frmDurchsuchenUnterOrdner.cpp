#include "lists/frmDurchsuchenUnterOrdner.h"

#include "app/FotolaufForm.h"
#include "app/Twips.h"
#include "lists/BildListenFeld.h"
#include "lists/Bildtyp.h"

#include <QLabel>
#include <QPushButton>

#include <cmath>

frmDurchsuchenUnterOrdner::frmDurchsuchenUnterOrdner(Programm& programm)
    : QDialog(nullptr)
    , m_programm(programm)
{
    const Programm& p = programm;
    setWindowTitle(QStringLiteral("TESSRIN-Fotolauf"));
    setFixedSize(TwipsZuPixelX(p, 8916), TwipsZuPixelY(p, 2160));
    auto label = [this, &p](const char* name, int top) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        TwipsPlatzieren(p, *l, 120, top, 8772, 372);
        return l;
    };
    Label1 = label("Label1", 120);
    Label2 = label("Label2", 480);
    Label3 = label("Label3", 840);
    Label4 = label("Label4", 1200);
    btnOhneUnterordner = new QPushButton(this);
    btnOhneUnterordner->setObjectName(QStringLiteral("btnOhneUnterordner"));
    TwipsPlatzieren(p, *btnOhneUnterordner, 120, 1680, 2055, 375);
    btnMitUnterOrdnern = new QPushButton(this);
    btnMitUnterOrdnern->setObjectName(QStringLiteral("btnMitUnterOrdnern"));
    TwipsPlatzieren(p, *btnMitUnterOrdnern, 3480, 1680, 2055, 375);
    btnAbbrechen = new QPushButton(this);
    btnAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));
    TwipsPlatzieren(p, *btnAbbrechen, 6720, 1680, 2052, 372);
    btnOhneUnterordner->setAutoDefault(false);
    btnMitUnterOrdnern->setAutoDefault(false);
    btnAbbrechen->setAutoDefault(false);
    connect(btnOhneUnterordner, &QPushButton::clicked, this, &frmDurchsuchenUnterOrdner::btnOhneUnterordner_Click);
    connect(btnMitUnterOrdnern, &QPushButton::clicked, this, &frmDurchsuchenUnterOrdner::btnMitUnterOrdnern_Click);
    connect(btnAbbrechen, &QPushButton::clicked, this, &frmDurchsuchenUnterOrdner::btnAbbrechen_Click);
}

frmDurchsuchenUnterOrdner::~frmDurchsuchenUnterOrdner() = default;

void frmDurchsuchenUnterOrdner::zeigenModal()
{
    Form_Load();
    m_programm.platform().execModal(*this);
}

void frmDurchsuchenUnterOrdner::Form_Load()
{
    Programm& p = m_programm;
    p.FensterLokalisieren(*this);
    Label1->setText(p.Text(1234));
    Label2->setText(p.Text(1231));
    Label3->setText(p.Text(1232));
    Label4->setText(p.Text(1233));
    btnOhneUnterordner->setText(p.Text(3147));
    btnMitUnterOrdnern->setText(p.Text(3148));
    btnAbbrechen->setText(p.Text(3013));
    const FotolaufForm& f = p.fotolaufForm();
    const auto breite = static_cast<qint32>(std::lround(width() * p.TwipsPerPixelX()));
    const auto hoehe = static_cast<qint32>(std::lround(height() * p.TwipsPerPixelY()));
    move(TwipsZuPixelX(p, f.ScreenWidth / 2 - breite / 2), TwipsZuPixelY(p, f.ScreenHeight / 2 - hoehe / 2));
    blnMeldungZeigen = true;
}

void frmDurchsuchenUnterOrdner::btnOhneUnterordner_Click()
{
    Programm& p = m_programm;
    btnMitUnterOrdnern->setEnabled(false);
    btnOhneUnterordner->setEnabled(false);
    p.platform().setBusyPointer(true);
    m_suchtGerade = true;
    p.platform().processEvents();
    if (p.beendet())
        return;
    p.fotolaufForm().ListAlleFilesImGleichenOrdner();
    SucheBeenden();
}

void frmDurchsuchenUnterOrdner::btnMitUnterOrdnern_Click()
{
    Programm& p = m_programm;
    Platform& platform = p.platform();
    btnMitUnterOrdnern->setEnabled(false);
    btnOhneUnterordner->setEnabled(false);
    platform.setBusyPointer(true);
    m_suchtGerade = true;
    platform.processEvents();
    if (p.beendet())
        return;

    FotolaufForm& f = p.fotolaufForm();
    const QString ordner = Bildtyp::Ordner(f.List1->List(0));
    // The folder of the file the user named: the entry's text may have lost its letter case.
    const QString echterOrdner = Bildtyp::Ordner(f.List1->liste().Datei(0));
    const FolderEntries inhalt = platform.listFolder(echterOrdner);
    if (!inhalt.files.isEmpty()) {
        f.lstFilesImGleichenOrdner->Clear();
        m_gefunden.clear();
        m_gefundeneDateien.clear();
        m_besucht.clear();
        FileSystem::FolderId id;
        if (FileSystem::folderId(echterOrdner, id))
            m_besucht.insert({id.device, id.inode});
        DurchsucheOrdner(ordner, echterOrdner, inhalt);
        if (p.beendet())
            return;
        f.lstFilesImGleichenOrdner->liste().AddItems(m_gefunden, std::move(m_gefundeneDateien));
        m_gefunden.clear();
        m_gefundeneDateien.clear();
    }
    SucheBeenden();
}

void frmDurchsuchenUnterOrdner::DurchsucheOrdner(const QString& anzeigePfad, const QString& echterPfad,
                                                 const FolderEntries& inhalt)
{
    Programm& p = m_programm;
    const QString mitTrenner = anzeigePfad.endsWith(u'/') ? anzeigePfad : anzeigePfad + u'/';
    const QString echtMitTrenner = echterPfad.endsWith(u'/') ? echterPfad : echterPfad + u'/';
    for (const QString& datei : inhalt.files) {
        const QString name = mitTrenner + datei;
        if (!Bildtyp::HatBildEndung(name))
            continue;
        if (m_gefunden.size() < BildListe::kHoechstzahl) {
            m_gefunden.append(name);
            m_gefundeneDateien.push_back({echtMitTrenner + datei, true});
        } else if (blnMeldungZeigen) {
            blnMeldungZeigen = false;
            p.Meldung(p.Text(2332));
        }
    }
    for (const QString& unterordner : inhalt.subfolders) {
        p.platform().processEvents();
        if (p.beendet())
            return;
        const QString echt = echtMitTrenner + unterordner;
        // A link back into a folder already visited would make the walk endless.
        FileSystem::FolderId id;
        if (!FileSystem::folderId(echt, id) || !m_besucht.insert({id.device, id.inode}).second)
            continue;
        DurchsucheOrdner(mitTrenner + unterordner, echt, p.platform().listFolder(echt));
        if (p.beendet())
            return;
    }
}

void frmDurchsuchenUnterOrdner::SucheBeenden()
{
    Programm& p = m_programm;
    FotolaufForm& f = p.fotolaufForm();
    p.platform().setBusyPointer(true);
    f.KopiereListBox();
    p.BildPosListNeu(f.List1->ListCount());
    p.platform().setBusyPointer(true);
    p.platform().processEvents();
    if (p.beendet())
        return;
    m_suchtGerade = false;
    accept();
}

void frmDurchsuchenUnterOrdner::btnAbbrechen_Click()
{
    m_programm.ProgrammBeenden();
    if (isVisible())
        done(QDialog::Rejected);
}

void frmDurchsuchenUnterOrdner::reject()
{
    if (m_suchtGerade || m_programm.beendet())
        return;
    btnOhneUnterordner_Click();
}
