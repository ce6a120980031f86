// The folder chooser: only a local folder is an answer.
#include "support/Fixtures.h"
#include "support/ScriptedPlatform.h"
#include "system/OrdnerWaehlen.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(OrdnerWaehlen, AnswersALocalFolderAndEmptyForEverythingElse)
{
    QTemporaryDir d;
    ASSERT_TRUE(QDir(d.path()).mkdir("Ziel"));
    const QString datei = Fixtures::writeFile(d.path() + "/a.jpg");
    const std::vector<std::pair<QString, QString>> faelle = {
        {d.path() + "/Ziel", d.path() + "/Ziel"},
        {"/", "/"},
        {QString(), QString()},  // cancelled
        {datei, QString()},
        {d.path() + "/fehlt", QString()},
        {"smb://server/freigabe", QString()},
        {"Ziel", QString()},  // not a full path
    };
    ScriptedPlatform platform;
    for (const auto& [antwort, erwartet] : faelle) {
        platform.chosenFolders = {antwort};
        EXPECT_EQ(OrdnerWaehlen(platform, QStringLiteral("Titel")), erwartet) << antwort.toStdString();
    }
    EXPECT_EQ(platform.folderDialogs.size(), faelle.size());
    EXPECT_EQ(platform.folderDialogs.constFirst(), "Titel");
}
