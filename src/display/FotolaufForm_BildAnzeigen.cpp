// Showing the selected picture of the working list: load, size text, placement, brightness,
// stored position, and the picture window on screen.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "display/BildVorlader.h"
#include "lists/BildListe.h"
#include "listwindow/Listenfenster.h"
#include "windows/ImageForm.h"
#include "windows/WertxForm.h"
#include "windows/XYPos.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

namespace {
// How long a first picture may take before its window comes up empty.
constexpr int kFensterNachMs = 300;
}  // namespace

Bildschirm FotolaufForm::BildschirmMasse() const
{
    return Bildschirm{ScreenWidth, ScreenHeight, SGVH, m_programm.TwipsProBildpunktX(), m_programm.TwipsProBildpunktY()};
}

Vergroesserung FotolaufForm::VergroesserungsRegel()
{
    return m_programm.Einstellungen().regel;
}

void FotolaufForm::ZeigerRegelAnwenden()
{
    ImageForm& bildFenster = m_programm.imageForm();
    m_programm.platform().setBusyPointer(false);
    if (!blnMauszeigerSichtbar)
        bildFenster.ZeigerAusDatei(m_programm.AppPfad + QStringLiteral("/MOUSE01.ICO"));
    else if (RechteckLupeScharf)
        bildFenster.ZeigerAusDatei(m_programm.AppPfad + QStringLiteral("/SquareZoom.ico"));
    else
        bildFenster.ZeigerNormal();
}

void FotolaufForm::BildAnzeigen()
{
    Programm& p = m_programm;
    BildListe& liste = p.Arbeitsliste();
    ImageForm& bildFenster = p.imageForm();
    p.listenfenster().Verbergen();
    if (blnMauszeigerSichtbar)
        p.platform().setBusyPointer(true);
    // Nothing is painted while the decode runs, so what is hidden here is never seen hidden: a
    // change that is given up leaves the picture on screen as it was.
    const bool warSichtbar = bildFenster.Image1.Visible;
    const bool pictureWarSichtbar = bildFenster.Picture1.Visible;
    const double seitenverhaeltnisAltVorher = dblSeitenverhaeltnisAlt;
    bildFenster.Image1.Visible = false;
    bildFenster.Picture1.Visible = false;
    dblSeitenverhaeltnisAlt = 0;

    const QString datei = liste.Text();
    const QString dateiPfad = liste.Datei();
    const std::optional<LoadedPicture> geladen = BildLaden(dateiPfad);
    if (!geladen) {
        // A key for another picture came during the decode: its own change shows that one, and
        // until it is ready the picture shown so far stays.
        bildFenster.Image1.Visible = warSichtbar;
        bildFenster.Picture1.Visible = pictureWarSichtbar;
        dblSeitenverhaeltnisAlt = seitenverhaeltnisAltVorher;
        p.platform().setBusyPointer(false);
        return;
    }
    const LoadedPicture& bild = *geladen;
    p.Startmarke(m_vorlader->gezeigtVorab() ? "picture decoded (begun before the toolkit)" : "picture decoded");
    p.AngezeigteDatei = datei;
    p.AngezeigteDateiPfad = dateiPfad;
    if (!bild.ok) {
        p.platform().setBusyPointer(false);
        bildFenster.Image1Leeren();
        // The window stays on screen with its background, so that the next key goes on from here.
        bildFenster.Anzeigen();
        hide();
        VorausLaden();
        LadefehlerMelden();
        emit BildAngezeigt();
        return;
    }
    const double tppX = p.TwipsProBildpunktX();
    const double tppY = p.TwipsProBildpunktY();
    bildFenster.Picture1.setWidth(bild.naturalSize.width() * tppX);
    bildFenster.Picture1.setHeight(bild.naturalSize.height() * tppY);
    const float w = static_cast<float>(bildFenster.Picture1.Width() / tppX);
    const float h = static_cast<float>(bildFenster.Picture1.Height() / tppY);
    p.xyPos().lblBildgroesse->setText(QString::number(w) + QStringLiteral(" x ") + QString::number(h));

    ZeigerRegelAnwenden();
    BildSeitenverhaeltnis = static_cast<double>(bildFenster.Picture1.Width()) / bildFenster.Picture1.Height();

    m_volleAufloesung.Vergessen();
    if (Helligkeit != 80) {
        bildFenster.ZeigerAusDatei(p.AppPfad + QStringLiteral("/miscA55.ico"));
        // Working copy and source come from the one decode, which put the whole picture through
        // this level's table before reducing it for the screen.
        Pictbuf = bild;
        Pictbox = bild;
        bildFenster.setImage1Bild(Pictbox);
        qint16 stufe = Helligkeit;
        HelligkeitAnwenden(stufe);
    } else {
        Pictbox = LoadedPicture{};
        Pictbuf = LoadedPicture{};
        bildFenster.setImage1Bild(bild);
    }

    Platzierung::Platzieren(bildFenster.Image1, bildFenster.Picture1.Width(), bildFenster.Picture1.Height(), BildschirmMasse(),
                            VergroesserungsRegel(), chkFensterGroesseAenderbar->isChecked());
    PositionWiederherstellen();
    VolleAufloesungSicherstellen();  // a restored zoomed section is drawn from the full resolution
    bildFenster.Image1.Visible = true;
    ZeigerRegelAnwenden();
    bildFenster.PIV = static_cast<double>(bildFenster.Picture1.Width()) / bildFenster.Image1.Width();
    bildFenster.Anzeigen();
    bildFenster.Neuzeichnen();
    hide();
    p.listenfenster().BildGezeigt(datei);
    p.Startmarke("picture shown");
    VorausLaden();
    emit BildAngezeigt();
}

BildVorlader::Umstaende FotolaufForm::LadeUmstaende()
{
    Platform& platform = m_programm.platform();
    const double dpr = platform.devicePixelRatio();
    const QSize schirm = platform.screenSizePixels();
    return {QSize(qRound(schirm.width() * dpr), qRound(schirm.height() * dpr)), Helligkeit,
            chkFensterGroesseAenderbar->isChecked()};
}

std::optional<LoadedPicture> FotolaufForm::BildLaden(const QString& dateiPfad)
{
    // A picture that takes long while no picture window is up yet (the first one): the window
    // comes up meanwhile, empty, so that the program is seen and can be ended while it works.
    ImageForm& bildFenster = m_programm.imageForm();
    QTimer frueh;
    frueh.setSingleShot(true);
    if (!bildFenster.isVisible()) {
        connect(&frueh, &QTimer::timeout, this, [this, &bildFenster] {
            bildFenster.Anzeigen();
            m_vorlader->aufschub().zeichnenLassen(&bildFenster);
        });
        frueh.start(kFensterNachMs);
    }
    return m_vorlader->laden(dateiPfad, LadeUmstaende(), [this] { return m_programm.beendet(); });
}

void FotolaufForm::VorausLaden()
{
    QStringList pfade;
    if (m_vorlader->vorausladenAn()) {
        BildListe& neu = m_programm.Arbeitsliste();
        for (int i : Nachbarn())
            pfade.append(neu.Datei(i));
    }
    m_vorlader->vorausladen(pfade);
}

std::optional<VolleAufloesung::Paar> FotolaufForm::VolleAufloesungFuer(QSize geraet)
{
    Programm& p = m_programm;
    return m_volleAufloesung.Fuer(p.imageForm().Image1Bild(), geraet, p.AngezeigteDateiPfad, m_vorlader->gezeigterStempel(),
                                  Helligkeit != 80 ? &HelligkeitsTabelle : nullptr);
}

void FotolaufForm::LadefehlerMelden()
{
    Programm& p = m_programm;
    p.Meldung(p.Text(2056) + Programm::CrLf + p.AngezeigteDatei + Programm::CrLf + p.Text(2301) + Programm::CrLf + p.Text(2302),
              MsgBox::OkNur, MsgBox::Information);
}

void FotolaufForm::PassendMachen()
{
    Platzierung::PassendMachen(m_programm.imageForm().Image1, BildSeitenverhaeltnis, BildschirmMasse());
}

void FotolaufForm::PositionWiederherstellen()
{
    Programm& p = m_programm;
    if (!p.Einstellungen().positionSpeichern)
        return;
    const int i = p.Arbeitsliste().ListIndex();
    if (i < 0 || static_cast<size_t>(i) >= p.BildPosList.size())
        return;
    const Positionssatz& satz = p.BildPosList[static_cast<size_t>(i)];
    if (satz.leer())
        return;
    Bildflaeche& image1 = p.imageForm().Image1;
    image1.setLeft(satz.Left);
    image1.setTop(satz.Top);
    image1.setWidth(satz.Width);
    image1.setHeight(satz.Height);
}

void FotolaufForm::HelligkeitAnwenden(qint16& stufe)
{
    HelligkeitsTabelle = Helligkeit::TabelleBerechnen(stufe);
    DoImagePro(QStringLiteral("Brightness/Contrast"));
    ImageForm& bildFenster = m_programm.imageForm();
    bildFenster.setImage1Bild(Pictbox);
    bildFenster.Neuzeichnen();
    m_programm.platform().processEvents();
}

void FotolaufForm::DoImagePro(const QString& operation)
{
    const bool vierundzwanzig = Pictbox.is24Bit && Pictbox.image.format() == QImage::Format_RGB888 &&
                                Pictbuf.image.format() == QImage::Format_RGB888;
    if (!vierundzwanzig) {
        m_programm.Meldung(QStringLiteral(" 24-bit bitmaps only"), MsgBox::OkNur, MsgBox::Kritisch);
        return;
    }
    if (operation != u"Brightness/Contrast")
        return;
    // The decode has normally done the pass, over the whole picture before it was reduced: a pass
    // over the reduced copy would brighten pixels already averaged with their neighbours.
    if (Pictbuf.byteTable == HelligkeitsTabelle) {
        Pictbox = Pictbuf;
        return;
    }
    if (Pictbuf.byteTable)
        return;  // through another table already: a second one would not give this level
    Pictbox.image = QImage(Pictbuf.image.size(), Pictbuf.image.format());
    if (Helligkeit::Anwenden(Pictbox.image, Pictbuf.image, HelligkeitsTabelle))
        Pictbox.byteTable = HelligkeitsTabelle;
}
