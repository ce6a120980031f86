#include "app/Vorstart.h"

#include "display/FruehDekodierung.h"
#include "lists/ErstesBild.h"
#include "platform/EarlyScreen.h"
#include "platform/LinuxPlatform.h"
#include "platform/PictureLoader.h"

Vorstart::Vorstart(const QString& plattform, const QStringList& argumente)
{
    if (!EarlyScreen::toolkitUsesX11(plattform, argumente))
        return;
    const QString erstes = ErstesBild::Vorhersagen(LinuxPlatform::absoluteArguments(argumente));
    if (erstes.isEmpty())
        return;
    m_schirm = std::make_unique<EarlyScreen>();
    const std::optional<QSize> groesse = m_schirm->primaryScreenPixels();
    if (!groesse)
        return;
    // A painter takes the application's font: the decode waits for the application object there.
    PictureLoader::holdPainting(true);
    m_dekodierung = std::make_shared<FruehDekodierung>(erstes, *groesse);
}

Vorstart::~Vorstart()
{
    ToolkitBereit();
}

void Vorstart::ToolkitBereit()
{
    PictureLoader::holdPainting(false);
    m_schirm.reset();
}
