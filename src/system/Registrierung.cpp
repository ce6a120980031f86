#include "system/Registrierung.h"

#include "app/Programm.h"
#include "platform/Platform.h"

void RegSchreibeText(Platform& platform, RegistryRoot root, const QString& schluessel, const QString& wertname, const QString& text)
{
    platform.registry().setText(root, schluessel, wertname, text);
}

void RegLoescheWert(Platform& platform, RegistryRoot root, const QString& schluessel, const QString& wertname)
{
    platform.registry().deleteValue(root, schluessel, wertname);
}

void RegListeWerte(Platform& platform, RegistryRoot root, const QString& schluessel, QStringList& sammlung)
{
    QString name;
    for (int index = 0; platform.registry().valueName(root, schluessel, index, name); ++index)
        sammlung.append(Programm::BisNullzeichen(name));
}
