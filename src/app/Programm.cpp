#include "app/Programm.h"

#include "app/FotolaufForm.h"
#include "app/ProfileReader.h"
#include "app/Startzeiten.h"
#include "lists/BildListe.h"
#include "listwindow/ListBoxForm.h"
#include "listwindow/Listenfenster.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "windows/Fensterordnung.h"
#include "windows/HilfeBoxForm.h"
#include "windows/ImageForm.h"
#include "windows/ZoomForm.h"
#include "windows/WertxForm.h"
#include "windows/XYPos.h"

#include <QLocale>
#include <QEvent>
#include <QWidget>

#include <cmath>

const QString Programm::CrLf = QStringLiteral("\r\n");

namespace {

// Converts a settings value to a whole number as the classic integer conversion does: the text
// must be a number in the user's format; fractions round half to even.
bool ganzeZahl(const QString& text, qint64& zahl)
{
    bool ok = false;
    const double d = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(d) || std::fabs(d) > 2147483647.0)
        return false;
    zahl = static_cast<qint64>(std::nearbyint(d));  // the default rounding mode rounds half to even
    return true;
}

}  // namespace

Programm::Programm(Platform& platform)
    : m_platform(platform)
    , m_fensterordnung(std::make_unique<Fensterordnung>([this]() -> QWidget* { return m_imageForm.get(); }))
    , m_arbeitsliste(std::make_unique<BildListe>(false))
    , m_listenfenster(std::make_unique<Listenfenster>(*this, *m_arbeitsliste))
{
}

Programm::~Programm()
{
    // An unloaded window the event loop never came back for (the program ended first) goes now.
    for (const QPointer<QWidget>& fenster : m_entladen)
        delete fenster.data();
    m_zoomForm.reset();
    m_hilfeBoxForm.reset();
    m_xyPos.reset();
    m_wertxForm.reset();
    m_listenfenster.reset();
    m_imageForm.reset();
    m_fotolaufForm.reset();
    m_arbeitsliste.reset();
    m_fensterordnung.reset();
}

void Programm::Starten()
{
    fotolaufForm();
    Startmarke("main window built");
    m_fotolaufForm->Form_Load();
}

void Programm::Startmarke(const char* was)
{
    if (m_startzeiten)
        m_startzeiten->markieren(was);
}

void Programm::BildPosListNeu(int obergrenze)
{
    BildPosList.assign(static_cast<size_t>(std::max(obergrenze, -1) + 1), Positionssatz{});
}

QString Programm::Text(int nummer) const
{
    return m_strings.text(LanguageOffset + nummer);
}

int Programm::Meldung(const QString& text, int knoepfe, int icon, int standardKnopf)
{
    MessageBoxRequest r;
    r.text = text;
    r.title = Text(1201);  // the program's title
    r.buttons = knoepfe;
    r.icon = icon;
    r.defaultButton = standardKnopf;
    return m_platform.messageBox(r);
}

QString Programm::MeldungMitGrund(const Refusal& grund, const QString& naechsteMeldung)
{
    return QStringLiteral("Errortext=") + grund.text() + CrLf + CrLf + naechsteMeldung;
}

void Programm::ProgrammBeenden()
{
    m_beendet = true;
    m_platform.endProgram();
}

// ---------------------------------------------------------------------------------------------
// Settings file

void Programm::IniLesen()
{
    IniDatei = SonderordnerPfad(26) + QStringLiteral("/TESSRIN Albora 13/albo.ini");
    if (FileSystem::isRegularFile(FileSystem::resolvePath(IniDatei))) {
        SpracheLesen();
        if (m_beendet)
            return;
        DPIEinstellungLesen();
    } else {
        DPIPruefung = QStringLiteral("1");
    }
}

bool Programm::EinenSchluesselLesen(const QString& abschnitt, const QString& schluessel, QString& feld)
{
    constexpr int kPuffer = 300;
    QByteArray inhalt;
    QString wert;
    // Within the size of a settings file: anything larger (or a FIFO, a device) reads as empty.
    if (m_platform.readFile(FileSystem::resolvePath(IniDatei), FileSystem::Limit::kSettings, inhalt))
        wert = ProfileReader::value(TextEncoding::decodeText(inhalt), abschnitt, schluessel, QString(), kPuffer);
    m_ini.Puffer = wert;
    IniWertVorbereiten(static_cast<int>(wert.size()), schluessel, abschnitt, IniDatei);
    m_ini.Schluessel = schluessel;
    if (!NaechsterWert(m_ini.Schluessel, m_ini.Position, m_ini.Wert, IniDatei))
        return false;
    feld = m_ini.Schluessel;
    return true;
}

void Programm::SpracheLesen()
{
    QString feld;
    if (!EinenSchluesselLesen(QStringLiteral("Global"), QStringLiteral("Language"), feld))
        return;
    qint64 zahl = 0;
    if (!ganzeZahl(feld, zahl))
        return;  // a failed conversion abandons the rest of this reading
    if (zahl == 0)
        LanguageOffset = 0;
    else if (zahl == 1)
        LanguageOffset = 3000;
    Sprache = feld;
}

void Programm::DPIEinstellungLesen()
{
    QString feld;
    if (!EinenSchluesselLesen(QStringLiteral("Adjustments"), QStringLiteral("CheckForDPI"), feld))
        return;
    if (feld.isEmpty()) {
        DPIPruefung = QStringLiteral("1");
        return;
    }
    qint64 zahl = 0;
    if (!ganzeZahl(feld, zahl))
        return;
    if (zahl == 0)
        DPIPruefung = QStringLiteral("0");
    else if (zahl == 1)
        DPIPruefung = QStringLiteral("1");
}

void Programm::IniWertVorbereiten(int laenge, const QString& schluessel, const QString& abschnitt, const QString& datei)
{
    Q_UNUSED(datei);
    const auto l = static_cast<qint16>(laenge);  // the length is a 16-bit count
    m_ini.Laenge = l;
    m_ini.Abschnitt = abschnitt;
    m_ini.Schluessel = schluessel;
    m_ini.Wert = m_ini.Puffer.left(std::max<int>(l, 0)) + u',';
    m_ini.Position = 1;
}

bool Programm::NaechsterWert(QString& ziel, qint16& position, const QString& wert, const QString& datei)
{
    const qsizetype komma = wert.indexOf(u',', std::max<qsizetype>(position - 1, 0));
    if (komma < 0) {
        Meldung(Text(2197) + datei + CrLf + Text(2198) + wert + CrLf, MsgBox::OkNur, MsgBox::Kritisch);
        ProgrammBeenden();
        return false;
    }
    ziel = wert.mid(position - 1, komma - (position - 1)).trimmed();
    position = static_cast<qint16>(komma + 2);
    return true;
}

QString Programm::SonderordnerPfad(int csidl)
{
    QString pfad;
    if (csidl == 26)
        pfad = m_platform.applicationDataFolder();
    return BisNullzeichen(pfad);
}

QString Programm::BisNullzeichen(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

// ---------------------------------------------------------------------------------------------
// Screen metrics and fonts

void Programm::DesktopDPIErmitteln()
{
    BildschirmDPI = m_platform.logicalDpiX();
}

namespace {

void schriftenSetzen(QWidget& fenster, int punkte)
{
    for (QWidget* control : fenster.findChildren<QWidget*>()) {
        QFont f = control->font();
        f.setPointSize(punkte);
        f.setBold(false);
        control->setFont(f);
    }
}

// Sets a window's fonts, chosen earlier, when the window is first shown. One per window: a later
// choice replaces an earlier one still waiting.
class SchriftenBeimZeigen : public QObject {
public:
    static void vormerken(QWidget& fenster, int punkte)
    {
        delete fenster.findChild<QObject*>(QLatin1String(kName), Qt::FindDirectChildrenOnly);
        new SchriftenBeimZeigen(fenster, punkte);
    }
    bool eventFilter(QObject* objekt, QEvent* ereignis) override
    {
        if (ereignis->type() == QEvent::Show && objekt == parent()) {
            objekt->removeEventFilter(this);
            schriftenSetzen(*static_cast<QWidget*>(objekt), m_punkte);
            deleteLater();
        }
        return false;
    }

private:
    static constexpr const char* kName = "SchriftenBeimZeigen";
    SchriftenBeimZeigen(QWidget& fenster, int punkte)
        : QObject(&fenster)
        , m_punkte(punkte)
    {
        setObjectName(QLatin1String(kName));
        fenster.installEventFilter(this);
    }
    int m_punkte;
};

}  // namespace

void Programm::FensterLokalisieren(QWidget& fenster)
{
    DesktopDPIErmitteln();
    int punkte = 8;
    if (DPIPruefung == u"0" || BildschirmDPI <= 96)
        punkte = 8;
    else if (BildschirmDPI <= 120)
        punkte = 10;
    else
        punkte = 12;
    if (!fenster.isVisible())
        SchriftenBeimZeigen::vormerken(fenster, punkte);
    else
        schriftenSetzen(fenster, punkte);
}

double Programm::TwipsPerPixelX() const
{
    const int dpi = m_platform.logicalDpiX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

double Programm::TwipsPerPixelY() const
{
    const int dpi = m_platform.logicalDpiY();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

namespace {
double geraetepixelJePixel(Platform& platform)
{
    const double dpr = platform.devicePixelRatio();
    return dpr > 0 ? dpr : 1.0;
}
}  // namespace

double Programm::TwipsProBildpunktX() const
{
    return TwipsPerPixelX() / geraetepixelJePixel(m_platform);
}

double Programm::TwipsProBildpunktY() const
{
    return TwipsPerPixelY() / geraetepixelJePixel(m_platform);
}

// ---------------------------------------------------------------------------------------------
// Windows

FotolaufForm& Programm::fotolaufForm()
{
    if (!m_fotolaufForm)
        m_fotolaufForm = std::make_unique<FotolaufForm>(*this);
    return *m_fotolaufForm;
}

ListBoxForm& Programm::listBoxForm()
{
    return m_listenfenster->fenster();
}

bool Programm::hatListBoxForm() const
{
    return m_listenfenster->gemacht();
}

ImageForm& Programm::imageForm()
{
    if (!m_imageForm)
        m_imageForm = std::make_unique<ImageForm>(*this);
    return *m_imageForm;
}

Einstellungsstand Programm::Einstellungen() const
{
    return m_wertxForm ? m_wertxForm->Lesen() : Einstellungsstand{};
}

WertxForm& Programm::wertxForm()
{
    if (!m_wertxForm)
        m_wertxForm = std::make_unique<WertxForm>(*this);
    return *m_wertxForm;
}

XYPos& Programm::xyPos()
{
    if (!m_xyPos)
        m_xyPos = std::make_unique<XYPos>(*this);
    return *m_xyPos;
}

HilfeBoxForm& Programm::hilfeBoxForm()
{
    if (!m_hilfeBoxForm)
        m_hilfeBoxForm = std::make_unique<HilfeBoxForm>(*this);
    return *m_hilfeBoxForm;
}

ZoomForm& Programm::zoomForm()
{
    if (!m_zoomForm)
        m_zoomForm = std::make_unique<ZoomForm>(*this);
    return *m_zoomForm;
}

void Programm::HilfeBoxSchliessen()
{
    if (m_hilfeBoxForm)
        m_hilfeBoxForm->SchliesseHilfeBox();
}

void Programm::ZoomFormSchliessen()
{
    if (m_zoomForm)
        m_zoomForm->Entladen();
}

void Programm::entladen(QWidget* fenster)
{
    // The window may be unloading itself from one of its own handlers: delete it later.
    auto loesen = [this, fenster](auto& zeiger) {
        if (zeiger.get() == fenster) {
            fenster->hide();
            zeiger.release()->deleteLater();
            std::erase_if(m_entladen, [](const QPointer<QWidget>& p) { return p.isNull(); });
            m_entladen.emplace_back(fenster);
            return true;
        }
        return false;
    };
    if (loesen(m_imageForm) || loesen(m_wertxForm) || loesen(m_xyPos) || loesen(m_hilfeBoxForm) ||
        loesen(m_zoomForm))
        return;
}
