#include "system/frmVerknuepfeDateitypenXP.h"

#include "app/FotolaufForm.h"
#include "app/Twips.h"
#include "platform/Registry.h"
#include "system/Registrierung.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QPushButton>

const QString frmVerknuepfeDateitypenXP::kProgrammdatei = QStringLiteral("fotolauf");

namespace {

const QString kGestarteteProgramme = QStringLiteral("Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache");
const QString kInstallierteOrdner = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders");
const QString kDateiEndungen = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\");

bool DateiExistiert(const QString& pfad)
{
    return QFileInfo(pfad).isFile();
}

}  // namespace

frmVerknuepfeDateitypenXP::frmVerknuepfeDateitypenXP(Programm& programm)
    : QDialog(nullptr)
    , m_programm(programm)
{
    const Programm& p = programm;
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(TwipsZuPixelX(p, 8484), TwipsZuPixelY(p, 4332));
    FrameTypen = new QGroupBox(this);
    FrameTypen->setObjectName(QStringLiteral("FrameTypen"));
    TwipsPlatzieren(p, *FrameTypen, 120, 120, 8292, 3612);
    auto kaestchen = [this, &p](const char* name, int top, int breite) {
        auto* c = new QCheckBox(QString::fromLatin1(name).replace(QStringLiteral("Check"), QStringLiteral(".")), FrameTypen);
        c->setObjectName(QString::fromLatin1(name));
        c->setChecked(true);
        TwipsPlatzieren(p, *c, 240, top, breite, 255);
        return c;
    };
    CheckBMP = kaestchen("CheckBMP", 600, 1332);
    CheckCUR = kaestchen("CheckCUR", 960, 1332);
    CheckDIB = kaestchen("CheckDIB", 1320, 1332);
    CheckEMF = kaestchen("CheckEMF", 1680, 1452);
    CheckGIF = kaestchen("CheckGIF", 2040, 1452);
    CheckICO = kaestchen("CheckICO", 2400, 1332);
    CheckJPG = kaestchen("CheckJPG", 2760, 1452);
    CheckWMF = kaestchen("CheckWMF", 3120, 1452);
    auto knopf = [&p](QWidget* eltern, const char* name, int left, int top) {
        auto* b = new QPushButton(eltern);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        TwipsPlatzieren(p, *b, left, top, 2175, 375);
        return b;
    };
    btnAlleEin = knopf(FrameTypen, "btnAlleEin", 1800, 600);
    btnAlleAus = knopf(FrameTypen, "btnAlleAus", 1800, 1320);
    btnFertig = knopf(this, "btnFertig", 1920, 3840);
    connect(btnAlleEin, &QPushButton::clicked, this, &frmVerknuepfeDateitypenXP::btnAlleEin_Click);
    connect(btnAlleAus, &QPushButton::clicked, this, &frmVerknuepfeDateitypenXP::btnAlleAus_Click);
    connect(btnFertig, &QPushButton::clicked, this, &frmVerknuepfeDateitypenXP::btnFertig_Click);
}

frmVerknuepfeDateitypenXP::~frmVerknuepfeDateitypenXP() = default;

void frmVerknuepfeDateitypenXP::zeigenModal()
{
    Form_Load();
    m_programm.platform().execModal(*this);
}

std::array<QCheckBox*, 8> frmVerknuepfeDateitypenXP::Kaestchen() const
{
    return {CheckBMP, CheckCUR, CheckDIB, CheckEMF, CheckGIF, CheckICO, CheckJPG, CheckWMF};
}

void frmVerknuepfeDateitypenXP::Form_Load()
{
    Programm& p = m_programm;
    p.FensterLokalisieren(*this);
    setWindowTitle(p.Text(3142));
    FrameTypen->setTitle(p.Text(3131));
    btnAlleEin->setText(p.Text(3132));
    btnAlleAus->setText(p.Text(3133));
    btnFertig->setText(p.Text(3134));
    const FotolaufForm& f = p.fotolaufForm();
    const auto breite = static_cast<qint32>(std::lround(width() * p.TwipsPerPixelX()));
    const auto hoehe = static_cast<qint32>(std::lround(height() * p.TwipsPerPixelY()));
    move(TwipsZuPixelX(p, f.ScreenWidth / 2 - breite / 2), TwipsZuPixelY(p, f.ScreenHeight / 2 - hoehe / 2));
}

void frmVerknuepfeDateitypenXP::btnAlleEin_Click()
{
    for (QCheckBox* c : Kaestchen())
        c->setChecked(true);
}

void frmVerknuepfeDateitypenXP::btnAlleAus_Click()
{
    for (QCheckBox* c : Kaestchen())
        c->setChecked(false);
}

void frmVerknuepfeDateitypenXP::btnFertig_Click()
{
    Registry& registry = m_programm.platform().registry();
    registry.takeRefusals();  // only what this click asks for
    VerknuepfungenSchreiben();
    VerweigerungenMelden(registry.takeRefusals());
    accept();
}

void frmVerknuepfeDateitypenXP::VerweigerungenMelden(const QList<Refusal>& verweigert)
{
    // A key that cannot be written is passed over, as the registry's would be; but when a file of
    // the desktop was left unchanged by a limit or a check of ours, the user learns which and why,
    // instead of finding the association silently not made.
    Programm& p = m_programm;
    for (const Refusal& grund : verweigert)
        p.Meldung(Programm::MeldungMitGrund(grund, grund.path + Programm::CrLf + p.Text(1376)));
}

void frmVerknuepfeDateitypenXP::JuengstenOrdnerWaehlen(const QStringList& kandidaten)
{
    const QDateTime jetzt = QDateTime::currentDateTime();
    qint64 bestes = 0;
    for (const QString& ordner : kandidaten) {
        const qint64 alter = QFileInfo(ordner).lastModified().secsTo(jetzt);
        if (bestes == 0 || alter < bestes) {
            bestes = alter;
            m_programm.InstallationsOrdner = ordner;
        }
    }
}

void frmVerknuepfeDateitypenXP::VerknuepfungenSchreiben()
{
    Programm& p = m_programm;
    Platform& platform = p.platform();

    // Installations of the album program that was started last.
    List1.clear();
    QStringList namen;
    RegListeWerte(platform, RegistryRoot::CurrentUser, kGestarteteProgramme, namen);
    for (const QString& name : namen) {
        const qsizetype treffer = name.indexOf(QStringLiteral("albo.exe"), 0, Qt::CaseInsensitive);
        if (treffer < 0)
            continue;
        const QString ordner = name.left(std::max<qsizetype>(treffer - 1, 0));
        if (DateiExistiert(ordner + QStringLiteral("/albo.exe")) && DateiExistiert(ordner + QStringLiteral("/albomdb.exe")))
            List1.append(ordner);
    }
    if (!List1.isEmpty())
        JuengstenOrdnerWaehlen(List1);

    // Installations of this program, known by the help folders put beside it.
    List2.clear();
    namen.clear();
    RegListeWerte(platform, RegistryRoot::LocalMachine, kInstallierteOrdner, namen);
    for (const QString& name : namen) {
        if (!name.contains(QStringLiteral("/help/deutsch"), Qt::CaseInsensitive) &&
            !name.contains(QStringLiteral("/help/english"), Qt::CaseInsensitive))
            continue;
        const QString ordner = name.left(name.indexOf(QStringLiteral("/help/"), 0, Qt::CaseInsensitive));
        if (DateiExistiert(ordner + u'/' + kProgrammdatei))
            List2.append(ordner);
    }
    if (!List2.isEmpty())
        JuengstenOrdnerWaehlen(List2);

    if (p.InstallationsOrdner.isEmpty())
        return;
    const auto kaestchen = Kaestchen();
    if (std::none_of(kaestchen.begin(), kaestchen.end(), [](const QCheckBox* c) { return c->isChecked(); }))
        return;

    const QString befehl = u'"' + p.InstallationsOrdner + u'/' + kProgrammdatei + u'"' + QStringLiteral(" \"%1\"");
    const QString befehlsSchluessel = QStringLiteral("Applications\\") + kProgrammdatei + QStringLiteral("\\shell\\open\\command");
    RegSchreibeText(platform, RegistryRoot::CurrentUser, QStringLiteral("Software\\Classes\\") + befehlsSchluessel, QString(), befehl);
    RegSchreibeText(platform, RegistryRoot::ClassesRoot, befehlsSchluessel, QString(), befehl);
    for (QCheckBox* c : kaestchen) {
        if (!c->isChecked())
            continue;
        const QString endung = c->text().toLower();  // ".bmp" … ".wmf"
        RegSchreibeText(platform, RegistryRoot::CurrentUser, kDateiEndungen + endung, QStringLiteral("Application"), kProgrammdatei);
        if (endung == u".jpg")
            RegLoescheWert(platform, RegistryRoot::CurrentUser, kDateiEndungen + endung, QStringLiteral("Progid"));
    }
}
