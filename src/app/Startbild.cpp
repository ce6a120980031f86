#include "app/Startbild.h"

#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "windows/ImageForm.h"
#include "windows/WertxForm.h"
#include "windows/XYPos.h"

#include <QEvent>
#include <QTimer>

Startbild::Startbild(Programm& programm, BildVorlader& vorlader, QObject* parent)
    : QObject(parent)
    , m_programm(programm)
    , m_vorlader(vorlader)
    , m_bildFenster(&programm.imageForm())
{
    m_bildFenster->installEventFilter(this);
    connect(&programm.fotolaufForm(), &FotolaufForm::BildAngezeigt, this,
            [this] { QTimer::singleShot(kLaengstens, this, &Startbild::Freigeben); }, Qt::SingleShotConnection);
}

void Startbild::Vormerken(const QString& datei, const BildVorlader::Umstaende& umstaende, std::shared_ptr<FruehDekodierung> frueh)
{
    m_vorlader.startbild(datei, umstaende, std::move(frueh));
    m_vorlader.setVorausHalten(true);
}

void Startbild::FensterVorbereiten()
{
    m_programm.imageForm().Vorbereiten();
    // Showing a picture writes the size text.
    m_programm.xyPos();
}

bool Startbild::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (ereignis->type() == QEvent::Paint && objekt == m_bildFenster && !m_freigegeben)
        // After this paint is on its way to the screen, not before.
        QTimer::singleShot(0, this, &Startbild::Freigeben);
    return false;
}

void Startbild::Freigeben()
{
    if (m_freigegeben)
        return;
    m_freigegeben = true;
    if (m_bildFenster)
        m_bildFenster->removeEventFilter(this);
    m_vorlader.setVorausHalten(false);
    // Not needed for the first picture, the list and settings windows are made once it is painted:
    // their keys then find them ready.
    if (!m_programm.beendet()) {
        m_programm.listBoxForm();
        m_programm.wertxForm();
    }
    deleteLater();
}
