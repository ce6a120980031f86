// Zooming the shown picture out and in by halves and doubles, and storing each picture's
// rectangle per list position.
#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "lists/BildListe.h"
#include "windows/ImageForm.h"
#include "windows/WertxForm.h"
#include "windows/ZoomForm.h"

#include <QCheckBox>

#include <cmath>

namespace {
qint32 ganz(double v)
{
    return static_cast<qint32>(std::nearbyint(v));  // half to even
}
}  // namespace

void FotolaufForm::NachZoomPlatzieren()
{
    Platzierung::NachZoomPlatzieren(m_programm.imageForm().Image1, BildschirmMasse(), chkFensterGroesseAenderbar->isChecked());
}

void FotolaufForm::ZoomOut()
{
    ImageForm& f = m_programm.imageForm();
    Bildflaeche& image1 = f.Image1;
    image1.Visible = false;
    const qint32 alteBreite = ganz(image1.Width());
    const qint32 alteHoehe = ganz(image1.Height());
    const double alterMassstab = static_cast<double>(f.Picture1.Width()) / image1.Width();
    image1.setWidth(image1.Width() / 2.0f);
    image1.setHeight(image1.Height() / 2.0f);
    NachZoomPlatzieren();
    image1.Visible = true;
    f.PIV = static_cast<double>(f.Picture1.Width()) / image1.Width();
    dblSeitenverhaeltnis = static_cast<double>(image1.Width()) / image1.Height();
    if (dblSeitenverhaeltnisAlt != 0 &&
        (dblSeitenverhaeltnis < dblSeitenverhaeltnisAlt - 0.2 || dblSeitenverhaeltnis > dblSeitenverhaeltnisAlt + 0.2)) {
        m_programm.Meldung(m_programm.Text(2065));
        image1.setWidth(alteBreite);
        image1.setHeight(alteHoehe);
        f.PIV = alterMassstab;
        f.Neuzeichnen();
        return;
    }
    dblSeitenverhaeltnisAlt = dblSeitenverhaeltnis;
    SpeichernInBildPosList();
    f.Anzeigen();
    f.Neuzeichnen();
}

void FotolaufForm::ZoomIn()
{
    ImageForm& f = m_programm.imageForm();
    Bildflaeche& image1 = f.Image1;
    image1.Visible = false;
    const qint32 alteBreite = ganz(image1.Width());
    const qint32 alteHoehe = ganz(image1.Height());
    const qint32 neueBreite = ganz(image1.Width() * 2.0);
    const qint32 neueHoehe = ganz(image1.Height() * 2.0);
    // Refused only when the surface cannot hold the size; its whole-pixel rounding is no refusal.
    const bool genommen = image1.setWidth(neueBreite) && image1.setHeight(neueHoehe);
    if (!genommen) {
        m_programm.Meldung(m_programm.Text(2066));
        image1.setWidth(alteBreite);
        image1.setHeight(alteHoehe);
        image1.Visible = true;
        f.Neuzeichnen();
        return;
    }
    NachZoomPlatzieren();
    image1.Visible = true;
    f.PIV = static_cast<double>(f.Picture1.Width()) / image1.Width();
    VolleAufloesungSicherstellen();
    SpeichernInBildPosList();
    f.Anzeigen();
    f.Neuzeichnen();
}

void FotolaufForm::SpeichernInBildPosList()
{
    Programm& p = m_programm;
    if (!p.Einstellungen().positionSpeichern)
        return;
    const int i = p.Arbeitsliste().ListIndex();
    if (i < 0 || static_cast<size_t>(i) >= p.BildPosList.size())
        return;
    const Bildflaeche& image1 = p.imageForm().Image1;
    p.BildPosList[static_cast<size_t>(i)] =
        Positionssatz{ganz(image1.Top()), ganz(image1.Left()), ganz(image1.Width()), ganz(image1.Height())};
}

void FotolaufForm::VolleAufloesungAngekommen()
{
    VolleAufloesungSicherstellen();
    if (m_programm.hatZoomForm())
        m_programm.zoomForm().Schaerfen();
}

void FotolaufForm::VolleAufloesungSicherstellen()
{
    // Once the picture is shown larger than the copy decoded for the screen, it is drawn from the
    // full resolution as soon as that is there; the brightened pair then holds that resolution too.
    ImageForm& f = m_programm.imageForm();
    const auto voll = VolleAufloesungFuer(f.Image1.pixel().size());
    if (!voll)
        return;
    if (Helligkeit != 80) {
        Pictbuf = voll->quelle;
        Pictbox = voll->bild;
    }
    f.setImage1Bild(voll->bild);
}
