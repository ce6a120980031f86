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
    BildListenFeld& listBoxNeu() { return *programm().listBoxForm().ListBoxNeu; }
    QStringList working() { return eintraege(listBoxNeu()); }
    static QStringList eintraege(const BildListenFeld& l)
    {
        QStringList r;
        for (const QString& e : l.liste().Eintraege())
            r.append(e);
        return r;
    }
    QString pfad(const QString& relativ) const { return dir.path() + u'/' + relativ; }
    void sprache(int language) { Fixtures::writeAlboIni(platform.appDataFolder, "[Global]\nLanguage=" + QByteArray::number(language) + "\n"); }

    QTemporaryDir dir;
    ScriptedPlatform platform;

private:
    std::unique_ptr<Programm> m_programm;
};
