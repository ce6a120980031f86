#include "app/Startbild.h"

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
}

void Startbild::Vormerken(const QString& datei, const BildVorlader::Umstaende& umstaende)
{
    m_vorlader.startbild(datei, umstaende);
}

void Startbild::FensterVorbereiten()
{
    m_programm.imageForm().Vorbereiten();
    // Showing a picture reads the enlargement rule and writes the size text.
    m_programm.wertxForm();
    m_programm.xyPos();
}

void Startbild::NachDemErstenBild(std::function<void()> arbeit)
{
    m_danach.push_back(std::move(arbeit));
    if (m_gemalt)
        Nachholen();
    else if (m_danach.size() == 1)
        // A window that is not exposed (a locked screen) paints only later: the work does not wait for that.
        QTimer::singleShot(kLaengstens, this, &Startbild::Nachholen);
}

bool Startbild::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (ereignis->type() == QEvent::Paint && !m_gemalt) {
        m_gemalt = true;
        objekt->removeEventFilter(this);
        // After this paint is on its way to the screen, not before.
        QTimer::singleShot(0, this, &Startbild::Nachholen);
    }
    return false;
}

void Startbild::Nachholen()
{
    m_gemalt = true;
    if (m_bildFenster)
        m_bildFenster->removeEventFilter(this);
    std::vector<std::function<void()>> arbeiten;
    arbeiten.swap(m_danach);
    for (const auto& arbeit : arbeiten)
        arbeit();
}
