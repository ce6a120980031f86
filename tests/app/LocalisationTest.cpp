// Fonts by screen density, and the main window's captions in both languages.
#include "support/ProgrammFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

class Localisation : public ProgrammTest {};

TEST_F(Localisation, FontSizeFollowsTheDensityUnlessSwitchedOff)
{
    struct Fall {
        int dpi;
        QString pruefung;
        int punkte;
    } faelle[] = {
        {96, "1", 8}, {72, "1", 8}, {97, "1", 10}, {120, "1", 10}, {121, "", 12}, {144, "1", 12}, {144, "0", 8}, {120, "0", 8},
    };
    for (const auto& f : faelle) {
        platform.dpiX = f.dpi;
        Programm p(platform);
        p.DPIPruefung = f.pruefung;
        QWidget fenster;
        auto* fett = new QLabel(QStringLiteral("fett"), &fenster);
        QFont font = fett->font();
        font.setBold(true);
        font.setPointSize(20);
        fett->setFont(font);
        auto* knopf = new QPushButton(&fenster);
        // Chosen at each call, set when the window is shown: the last choice wins.
        platform.dpiX = f.punkte == 12 ? 72 : 200;
        p.FensterLokalisieren(fenster);
        platform.dpiX = f.dpi;
        p.FensterLokalisieren(fenster);
        EXPECT_EQ(p.BildschirmDPI, f.dpi);
        EXPECT_EQ(fett->font().pointSize(), 20);
        fenster.show();
        for (QWidget* w : {static_cast<QWidget*>(fett), static_cast<QWidget*>(knopf)}) {
            EXPECT_EQ(w->font().pointSize(), f.punkte) << f.dpi << " " << f.pruefung.toStdString();
            EXPECT_FALSE(w->font().bold());
        }
    }
}

TEST_F(Localisation, CheckForDpiZeroInTheSettingsGivesEightPoints)
{
    Fixtures::writeAlboIni(platform.appDataFolder, "[Adjustments]\nCheckForDPI=0\n");
    platform.dpiX = 144;
    form().Form_Load();
    // The window's fonts are set before the settings are read; windows loaded later follow them.
    QWidget spaeter;
    auto* l = new QLabel(&spaeter);
    programm().FensterLokalisieren(spaeter);
    spaeter.show();
    EXPECT_EQ(l->font().pointSize(), 8);
}

TEST_F(Localisation, MainWindowCaptionsInBothLanguages)
{
    const QStringList erwartet[] = {
        {"Container Dateinamen vom Windows Explorer", "S&tart", "&Container leeren", "Fenstergröße änderbar", "&Hilfe",
         "&Beenden", "Sortierfolge wie bei Drag&&Drop", "&Registry"},
        {"Container for filenames from explorer", "S&tart", "&Container empty", "window size changable", "&Help", "&End",
         "Sort order the same as Drag&&Drop", "&Registry"},
    };
    for (int language : {0, 1}) {
        sprache(language);
        Programm p(platform);
        p.Starten();
        FotolaufForm& m = p.fotolaufForm();
        EXPECT_EQ((QStringList{m.lblDateinamen->text(), m.cmdStartAfterDragDrop->text(), m.cmdKeinNeustart->text(),
                               m.chkFensterGroesseAenderbar->text(), m.mnuHilfe->text(), m.mnuBeenden->text(),
                               m.chkSortAsDragAndDrop->text(), m.mnuRegistry->text()}),
                  erwartet[language]);
        // The toolkit's own texts follow, and message boxes carry the program's title.
        EXPECT_EQ(platform.uiLanguage, language == 0 ? QStringLiteral("de") : QStringLiteral("en"));
        p.Meldung(QStringLiteral("x"));
        EXPECT_EQ(platform.messages.back().title, QStringLiteral("TESSRIN Fotolauf"));
    }
}
