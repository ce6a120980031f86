// A whole program on the scripted platform, with a temporary folder for files and settings.
#pragma once

#include "app/FotolaufForm.h"
#include "app/Programm.h"
#include "lists/BildListenFeld.h"
#include "listwindow/ListBoxForm.h"
#include "support/Fixtures.h"
#include "support/ScriptedPlatform.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

class ProgrammTest : public ::testing::Test {
protected:
    ProgrammTest()
    {
        platform.appDataFolder = dir.path() + QStringLiteral("/config");
    }

    // Builds the program; call after setting up the platform and files.
    Programm& programm()
    {
        if (!m_programm)
            m_programm = std::make_unique<Programm>(platform);
        return *m_programm;
    }
    FotolaufForm& form() { return programm().fotolaufForm(); }
    BildListe& arbeitsliste() { return programm().Arbeitsliste(); }
    // The working list's control in the list window (which it makes).
    BildListenFeld& listBoxNeu() { return *programm().listBoxForm().ListBoxNeu; }
    QStringList working() { return eintraege(arbeitsliste()); }
    static QStringList eintraege(const BildListe& l)
    {
        QStringList r;
        for (const QString& e : l.Eintraege())
            r.append(e);
        return r;
    }
    static QStringList eintraege(const BildListenFeld& l) { return eintraege(l.liste()); }
    QString pfad(const QString& relativ) const { return dir.path() + u'/' + relativ; }
    void sprache(int language) { Fixtures::writeAlboIni(platform.appDataFolder, "[Global]\nLanguage=" + QByteArray::number(language) + "\n"); }

    QTemporaryDir dir;
    ScriptedPlatform platform;

private:
    std::unique_ptr<Programm> m_programm;
};
