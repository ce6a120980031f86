// Reading albo.ini: language, font adaptation, the comma parser and its fatal message.
#include "app/ProfileReader.h"
#include "support/ProgrammFixture.h"

#include <QFileInfo>

TEST(ProfileReader, FollowsThePrivateProfileRules)
{
    const QString text = QString::fromLatin1(
        "; comment\n"
        "[global]\n"
        "  language =  \" 1 \" \n"
        "LANGUAGE=0\n"
        "Other=x\n"
        "[ Adjustments ]\r\n"
        "CheckForDPI='0'\r\n"
        "[Global]\n"
        "Language=7\n"
        "[Long]\n"
        "Key=") + QString(400, u'a') + u'\n';
    struct Fall {
        const char* section;
        const char* key;
        const char* expected;
    } faelle[] = {
        {"Global", "Language", " 1 "},  // first match wins, quotes removed, inner blanks kept
        {"GLOBAL", "language", " 1 "},
        {"Adjustments", "CheckForDPI", "0"},
        {"Global", "Missing", "default"},
        {"Nowhere", "Language", "default"},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(ProfileReader::value(text, QString::fromLatin1(f.section), QString::fromLatin1(f.key),
                                       QStringLiteral("default"), 300),
                  QString::fromLatin1(f.expected))
            << f.section << "/" << f.key;
    EXPECT_EQ(ProfileReader::value(text, QStringLiteral("Long"), QStringLiteral("Key"), {}, 300).size(), 299);
}

class Settings : public ProgrammTest {
protected:
    void ini(const QByteArray& text) { Fixtures::writeAlboIni(platform.appDataFolder, text); }
};

TEST_F(Settings, LanguageAndDensityCheckValues)
{
    struct Fall {
        const char* datei;  // nullptr: no settings file
        int offset;
        const char* sprache;
        const char* dpi;
    } faelle[] = {
        {nullptr, 0, "", "1"},
        {"[Global]\nLanguage=1\n", 3000, "1", "1"},
        {"[Global]\nLanguage= 1 \n", 3000, "1", "1"},
        {"[Global]\nLanguage=0\n", 0, "0", "1"},
        {"[Global]\nLanguage=2\n", 0, "2", "1"},
        {"[Global]\nLanguage=1,5\n", 3000, "1", "1"},
        {"[Global]\nLanguage=\n", 0, "", "1"},
        {"[Global]\nLanguage=abc\n[Adjustments]\nCheckForDPI=0\n", 0, "", "0"},
        {"[Other]\nLanguage=1\n[Adjustments]\nCheckForDPI=1\n", 0, "", "1"},
        {"[Adjustments]\nCheckForDPI=\n", 0, "", "1"},
        {"[Adjustments]\nCheckForDPI=7\n", 0, "", ""},
        {"[Adjustments]\nCheckForDPI=x\n", 0, "", ""},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.datei ? f.datei : "no file");
        if (f.datei)
            ini(f.datei);
        Programm p(platform);
        p.IniLesen();
        EXPECT_EQ(p.LanguageOffset, f.offset);
        EXPECT_EQ(p.Sprache, QString::fromLatin1(f.sprache));
        EXPECT_EQ(p.DPIPruefung, QString::fromLatin1(f.dpi));
        if (!f.datei) {
            EXPECT_EQ(p.IniDatei, platform.appDataFolder + QStringLiteral("/TESSRIN Albora 13/albo.ini"));
            EXPECT_FALSE(QFileInfo::exists(p.IniDatei));
            EXPECT_TRUE(platform.messages.empty());
        }
    }
}

TEST_F(Settings, TheReadmeExampleWorksAsPrinted)
{
    QFile readme(QStringLiteral(FOTOLAUF_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    // The indented block that follows the settings file's path.
    QByteArray beispiel;
    bool imBlock = false;
    for (const QByteArray& z : readme.readAll().split('\n')) {
        if (!imBlock)
            imBlock = z.contains("albo.ini") && z.startsWith("    ");
        else if (z.startsWith("    "))
            beispiel += z.mid(4) + '\n';
        else if (!beispiel.isEmpty())
            break;
    }
    ASSERT_TRUE(beispiel.contains("Language=1")) << beispiel.toStdString();
    ini(beispiel);
    Programm& p = programm();
    p.IniLesen();
    EXPECT_EQ(p.LanguageOffset, 3000);
    EXPECT_EQ(p.DPIPruefung, QStringLiteral("1"));
}

TEST_F(Settings, CommaParserTakesTrimmedFieldsAndEndsTheProgramWithoutAComma)
{
    Programm& p = programm();
    QString ziel;
    qint16 pos = 1;
    const QString wert = QStringLiteral(" a , b,");
    ASSERT_TRUE(p.NaechsterWert(ziel, pos, wert, QStringLiteral("f")));
    EXPECT_EQ(ziel, QStringLiteral("a"));
    EXPECT_EQ(pos, 5);
    ASSERT_TRUE(p.NaechsterWert(ziel, pos, wert, QStringLiteral("f")));
    EXPECT_EQ(ziel, QStringLiteral("b"));
    EXPECT_EQ(platform.endRequests, 0);

    for (int offset : {0, 3000}) {
        p.LanguageOffset = offset;
        platform.messages.clear();
        pos = 1;
        EXPECT_FALSE(p.NaechsterWert(ziel, pos, QStringLiteral("kein Komma"), QStringLiteral("/x/albo.ini")));
        ASSERT_EQ(platform.messages.size(), 1u);
        const QString erwartet = offset == 0
            ? QStringLiteral("Kommafehler in Datei /x/albo.ini\r\nfehlerhafte Zeile: kein Komma\r\n")
            : QStringLiteral("Comma error in file/x/albo.ini\r\nincorrect line:kein Komma\r\n");
        EXPECT_EQ(platform.messages[0].text, erwartet);
        EXPECT_EQ(platform.messages[0].icon, MsgBox::Kritisch);
    }
    EXPECT_EQ(platform.endRequests, 2);
    EXPECT_TRUE(p.beendet());
    // Values read through the system's buffers end at the first NUL.
    EXPECT_EQ(Programm::BisNullzeichen(QStringLiteral("abc") + QChar(0) + QStringLiteral("def")), QStringLiteral("abc"));
    EXPECT_EQ(Programm::BisNullzeichen(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(Programm::BisNullzeichen(QString(260, QChar(0))), QString());
}
