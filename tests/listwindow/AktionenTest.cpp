// The file actions of the list window on the scripted platform: the action menu, open, print,
// e-mail, file manager, trash and copy of ticked pictures with every message.
#include "platform/FileSystem.h"
#include "support/ShowFixture.h"

#include <QCheckBox>
#include <QFile>
#include <QRadioButton>

class Aktionen : public ShowTest {
protected:
    ListBoxForm& fenster() { return programm().listBoxForm(); }
    QString eintrag(int i) { return listBoxNeu().List(i); }
    void ankreuzen(std::initializer_list<int> indexe)
    {
        for (int i : indexe)
            listBoxNeu().setSelected(i, true);
    }
    QStringList angehakt()
    {
        QStringList r;
        for (int i = 0; i < listBoxNeu().ListCount(); ++i)
            if (listBoxNeu().Selected(i))
                r.append(eintrag(i));
        return r;
    }
    static QByteArray inhalt(const QString& pfad)
    {
        QFile f(FileSystem::resolvePath(pfad));  // entries are lower-cased like the command line
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
    }
};

TEST(AktionenTabelle, SixItemsNumberedOneToSixWithTheirCaptions)
{
    const auto& t = ListBoxForm::kAktionen;
    std::vector<int> texte;
    for (size_t i = 0; i < t.size(); ++i) {
        EXPECT_EQ(t[i].Nummer, static_cast<int>(i) + 1);
        texte.push_back(t[i].Text);
    }
    EXPECT_EQ(texte, (std::vector<int>{3005, 3119, 3120, 3121, 3112, 3130}));
}

TEST(AktionenTabelle, ShellErrorTextsOfKnownAndUnknownCodes)
{
    const std::vector<std::pair<int, const char*>> faelle = {
        {2, "File not found"}, {3, "Path not found"}, {31, "No association for file extension"}, {32, "DLL not found"},
        {0, "Unknown error"},  {1, "Unknown error"},  {33, "Unknown error"},                     {4, "Unknown error"},
    };
    for (const auto& [code, text] : faelle)
        EXPECT_EQ(ListBoxForm::GetShellError(code), QString::fromLatin1(text)) << code;
}

TEST(AktionenTabelle, ExtensionOfTheOpenFailureMessage)
{
    const std::vector<std::pair<QString, QString>> faelle = {
        {"C:/a/b.jpeg", "jpeg"}, {"/a/b.jpg", "jpg"},  {"a.jpg", "jpg"},     {".jpeg", "jpeg"},
        {"/p/a.b.gif", "b.gif"},  // the farthest dot wins
        {"/a/README", ""},       {"abc", ""},        {"", ""},             {"/a/b.tiff5", "tiff5"},
    };
    for (const auto& [e, erwartet] : faelle)
        EXPECT_EQ(ListBoxForm::ErweiterungFuerMeldung(e), erwartet) << e.toStdString();
}

TEST(AktionenTabelle, MitZweiNullzeichen)
{
    const QChar n(u'\0');
    const std::vector<std::pair<QString, QString>> faelle = {
        {"/a/b.jpg", QStringLiteral("/a/b.jpg") + n + n},
        {QStringLiteral("/a/b.jpg") + n, QStringLiteral("/a/b.jpg") + n + n},
        {QStringLiteral("/a/b.jpg") + n + n, QStringLiteral("/a/b.jpg") + n + n},
        {"", QString(2, n)},
    };
    for (const auto& [text, erwartet] : faelle)
        EXPECT_EQ(MitZweiNullzeichen(text), erwartet);
}

TEST_F(Aktionen, TheButtonShowsTheSixItemsAndDismissingDoesNothing)
{
    starten({{10, 10}, {10, 10}});
    fenster().btnAktionAusfuehren->click();
    ASSERT_EQ(platform.popupMenus.size(), 1u);
    EXPECT_EQ(platform.popupMenus[0],
              (QStringList{"Öffnen der mit der Dateinamen-Erweiterung verknüpften Anwendung für die aktuelle Datei",
                           "Öffne das Druckprogramm für die aktuelle Datei", "Öffne das Fenster 'Neue Email senden'",
                           "Öffne ein Explorer-Fenster, wo die aktuelle Datei markiert ist",
                           "Verschiebe alle mit Häkchen markierten Dateien in den Papierkorb",
                           "Kopiere alle mit Häkchen markierten Dateien"}));
    EXPECT_TRUE(platform.shellRequests.empty());
    EXPECT_TRUE(platform.messages.empty());
    for (int n : {0, 7, -1, 100})
        fenster().WeiterAnShellExecute(n);
    EXPECT_TRUE(platform.shellRequests.empty());
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(platform.folderDialogs.empty());
}

TEST_F(Aktionen, ShellItemsHandTheSelectedEntryOrTheMailLinkToThePlatform)
{
    starten({{10, 10}, {10, 10}, {10, 10}});
    listBoxNeu().setListIndex(1);
    struct Fall {
        int text;
        const char* aktion;
        QString ziel;
    };
    // The platform gets the file the entry names, in its real letter case, not the list text.
    const QString datei = listBoxNeu().liste().Datei(1);
    ASSERT_EQ(datei, pfad(QStringLiteral("b.jpg")));
    const std::vector<Fall> faelle = {
        {3005, "open", datei},
        {3119, "print", datei},
        {3120, "link", QStringLiteral("mailto:empfaenger@example.com?")},
        {3121, "show", datei},
    };
    for (const Fall& f : faelle) {
        platform.shellRequests.clear();
        platform.menuPicks = {programm().Text(f.text)};
        fenster().btnAktionAusfuehren->click();
        ASSERT_EQ(platform.shellRequests.size(), 1u) << f.aktion;
        EXPECT_EQ(platform.shellRequests[0].action, QString::fromLatin1(f.aktion));
        EXPECT_EQ(platform.shellRequests[0].target, f.ziel);
    }
    // Successful calls report nothing; the list and the display stay as they are.
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(listBoxNeu().ListCount(), 3);
    EXPECT_EQ(index(), 1);
}

TEST_F(Aktionen, OpeningAVanishedJpegGivesTheNineLineMessage)
{
    starten({{10, 10}, {10, 10}});
    const QString weg = pfad(QStringLiteral("b.jpeg"));
    listBoxNeu().AddItem(weg);
    listBoxNeu().setListIndex(listBoxNeu().ListCount() - 1);
    platform.shellResults = {2};
    fenster().WeiterAnShellExecute(1);
    ASSERT_EQ(platform.messages.size(), 1u);
    const MessageBoxRequest& m = platform.messages[0];
    EXPECT_EQ(m.text, QStringLiteral("Errortext=File not found\r\nErrornr=2\r\n\r\n") + weg +
                          QStringLiteral("\r\nDiese Datei kann nicht geöffnet werden\r\n\r\n"
                                         "Entweder die Datei existiert nicht,\r\n\r\n"
                                         "oder es ist keine Anwendung mit der\r\n"
                                         "Dateinamen-Erweiterung(Datei-Typ) jpeg verknüpft.\r\n"
                                         "Wählen Sie selbst eine geignete Anwendung, zB mittels Windows-Explorer\r\n"
                                         "Rechtklicken auf den Dateiname -> Öffnen mit... -> Programm auswählen"));
    EXPECT_EQ(m.title, QStringLiteral("TESSRIN Fotolauf"));
    EXPECT_EQ(m.buttons, MsgBox::OkNur);
    EXPECT_EQ(m.icon, MsgBox::KeinIcon);
}

TEST_F(Aktionen, OpenAndPrintFailuresByResultCode)
{
    starten({{10, 10}, {10, 10}});
    struct Fall {
        int item;
        int ergebnis;
        QString anfang;  // start of the message; empty: no message
    };
    const std::vector<Fall> faelle = {
        {1, 31, "Errortext=No association for file extension\r\nErrornr=31\r\n"},
        {1, 32, "Errortext=DLL not found\r\nErrornr=32\r\n"},
        {1, 0, "Errortext=Unknown error\r\nErrornr=0\r\n"},
        {1, 33, ""},
        {2, 31, "Es wurde kein geeignetes Druckprogramm gefunden um diese Datei auszudrucken"},
        {2, 2, "Es wurde kein geeignetes Druckprogramm gefunden um diese Datei auszudrucken"},
        {2, 42, ""},
    };
    for (const Fall& f : faelle) {
        platform.messages.clear();
        platform.shellResults = {f.ergebnis};
        fenster().WeiterAnShellExecute(f.item);
        if (f.anfang.isEmpty()) {
            EXPECT_TRUE(platform.messages.empty()) << f.item << "/" << f.ergebnis;
            continue;
        }
        ASSERT_EQ(platform.messages.size(), 1u) << f.item << "/" << f.ergebnis;
        EXPECT_TRUE(platform.messages[0].text.startsWith(f.anfang)) << platform.messages[0].text.toStdString();
        EXPECT_EQ(platform.messages[0].buttons, MsgBox::OkNur);
    }
}

TEST_F(Aktionen, TrashWithNothingTickedOrAnsweredNoTrashesNothing)
{
    starten({{10, 10}, {10, 10}});
    fenster().WeiterAnShellExecute(5);  // nothing ticked: not even a question
    EXPECT_TRUE(platform.messages.empty());
    ankreuzen({0});
    platform.answers = {MsgBox::Nein};
    fenster().WeiterAnShellExecute(5);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              QStringLiteral("Wollen Sie wirklich die mit Häkchen markierten Dateien in den Papierkorb verschieben?"));
    EXPECT_EQ(platform.messages[0].buttons, MsgBox::JaNein);
    EXPECT_EQ(platform.messages[0].defaultButton, MsgBox::StandardKnopf1);
    EXPECT_TRUE(platform.trashRequests.empty());
    EXPECT_EQ(listBoxNeu().ListCount(), 2);
}

TEST_F(Aktionen, TrashOfThreeTickedWhereOneFailsKeepsItTickedAndReportsOnce)
{
    starten({{10, 10}, {10, 10}, {10, 10}, {10, 10}});
    const QString a = eintrag(0), b = eintrag(1), c = eintrag(2), d = eintrag(3);
    BildListe& l = listBoxNeu().liste();
    const QString da = l.Datei(0), db = l.Datei(1), dd = l.Datei(3);
    ankreuzen({0, 1, 3});
    platform.trashFailures = {db};
    fenster().WeiterAnShellExecute(5);
    // One file per request, each the file the entry names.
    EXPECT_EQ(platform.trashRequests, (std::vector<QStringList>{{da}, {db}, {dd}}));
    EXPECT_EQ(working(), (QStringList{b, c}));
    EXPECT_EQ(angehakt(), QStringList{b});
    EXPECT_EQ(eintraege(form().Quellliste()), (QStringList{b, c}));
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].text, QStringLiteral("Sie haben mindestens eine schreibgeschützte Datei markiert. "
                                                        "Schreibgeschützte Dateien werden nicht gelöscht."));
    EXPECT_FALSE(bild().Image1Bild().ok);  // the picture on show may have gone
    EXPECT_EQ(platform.endRequests, 0);
}

TEST_F(Aktionen, TrashRemovesFromTheSourceListOfTheCurrentMode)
{
    // The scan over the source list counts once and does not compare the entry that moved up,
    // so of two equal neighbours only the first goes.
    for (const bool unsortiert : {false, true}) {
        SCOPED_TRACE(unsortiert);
        ScriptedPlatform eigene;
        Programm p(eigene);
        FotolaufForm& f = p.fotolaufForm();
        f.chkSortAsDragAndDrop->blockSignals(true);
        f.chkSortAsDragAndDrop->setChecked(unsortiert);
        const QString x = pfad(QStringLiteral("x.jpg")), y = pfad(QStringLiteral("y.jpg"));
        for (BildListenFeld* l : {f.List1, f.List1Unsorted}) {
            l->AddItem(x);
            l->AddItem(x);
            l->AddItem(y);
        }
        BildListenFeld& neu = *p.listBoxForm().ListBoxNeu;
        neu.AddItem(x);
        neu.AddItem(y);
        neu.setSelected(0, true);
        p.listBoxForm().WeiterAnShellExecute(5);
        EXPECT_EQ(eintraege(*p.listBoxForm().ListBoxNeu), QStringList{y});
        EXPECT_EQ(eintraege(*f.List1Unsorted), unsortiert ? (QStringList{x, y}) : (QStringList{x, x, y}));
        EXPECT_EQ(eintraege(*f.List1).size(), unsortiert ? 3 : 2);
    }
}

TEST_F(Aktionen, TrashOfTheLastEntriesEndsTheProgramAfterMessage3115)
{
    starten({{10, 10}, {10, 10}});
    ankreuzen({0, 1});
    fenster().WeiterAnShellExecute(5);
    EXPECT_EQ(listBoxNeu().ListCount(), 0);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].text, QStringLiteral("Es gibt keine Bilder mehr anzuzeigen. Das Programm wird beendet."));
    EXPECT_EQ(platform.endRequests, 1);
    EXPECT_TRUE(programm().beendet());
}

TEST_F(Aktionen, CopyWithNothingTickedOrTheChooserCancelledDoesNothing)
{
    starten({{10, 10}, {10, 10}});
    fenster().show();
    fenster().WeiterAnShellExecute(6);
    EXPECT_TRUE(platform.folderDialogs.empty());
    ankreuzen({0});
    fenster().WeiterAnShellExecute(6);
    EXPECT_EQ(platform.folderDialogs, QStringList{QString()});  // asked with an empty title
    EXPECT_TRUE(platform.copies.empty());
    EXPECT_FALSE(fenster().testAttribute(Qt::WA_SetCursor));  // the pointer never changed
    EXPECT_TRUE(fenster().isVisible());
    // A choice that is no folder counts as cancelled.
    platform.chosenFolders = {pfad(QStringLiteral("a.jpg"))};
    fenster().WeiterAnShellExecute(6);
    EXPECT_TRUE(platform.copies.empty());
}

TEST_F(Aktionen, CopyTargetsWithAndWithoutTrailingSlash)
{
    starten({{10, 10}, {10, 10}, {10, 10}});
    platform.copiesAreReal = false;  // "/" is not ours to write into
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ziel")));
    const QString ziel = pfad(QStringLiteral("ziel"));
    const std::vector<std::pair<QString, QString>> faelle = {{QStringLiteral("/"), QStringLiteral("/")},
                                                             {ziel, ziel + u'/'},
                                                             {ziel + u'/', ziel + u'/'}};
    ankreuzen({0, 2});
    for (const auto& [ordner, vorne] : faelle) {
        platform.copies.clear();
        platform.chosenFolders = {ordner};
        fenster().WeiterAnShellExecute(6);
        ASSERT_EQ(platform.copies.size(), 2u);
        EXPECT_EQ(platform.copies[0].source, pfad(QStringLiteral("a.jpg")));
        EXPECT_EQ(platform.copies[0].target, vorne + QStringLiteral("a.jpg"));
        EXPECT_EQ(platform.copies[1].target, vorne + QStringLiteral("c.jpg"));
    }
}

TEST_F(Aktionen, CopyMakesTheFilesHidesTheWindowAndShowsThePicture)
{
    starten({{10, 10}, {10, 10}, {10, 10}});
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ziel")));
    ankreuzen({0, 2});
    listBoxNeu().setListIndex(1);
    fenster().show();
    bild().Image1.Visible = false;
    platform.chosenFolders = {pfad(QStringLiteral("ziel"))};
    fenster().WeiterAnShellExecute(6);
    EXPECT_EQ(platform.messageTexts(), QStringList{}) << platform.messageTexts().join("|").toStdString();
    EXPECT_EQ(inhalt(pfad(QStringLiteral("ziel/a.jpg"))), inhalt(eintrag(0)));
    EXPECT_EQ(inhalt(pfad(QStringLiteral("ziel/c.jpg"))), inhalt(eintrag(2)));
    EXPECT_FALSE(QFile::exists(pfad(QStringLiteral("ziel/b.jpg"))));
    EXPECT_FALSE(fenster().isVisible());
    EXPECT_TRUE(bild().Image1.Visible);
    EXPECT_EQ(programm().AngezeigteDatei, eintrag(1));  // shown again by the display operation
    EXPECT_EQ(fenster().cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(angehakt(), (QStringList{eintrag(0), eintrag(2)}));  // ticks unchanged
}

TEST_F(Aktionen, CopyErrorAnsweredNoGoesOnAndYesStopsWithTheWindowOpen)
{
    starten({{10, 10}, {10, 10}, {10, 10}});
    for (const bool abbrechen : {false, true}) {
        SCOPED_TRACE(abbrechen);
        platform.messages.clear();
        platform.copies.clear();
        QDir(pfad(QStringLiteral("ziel"))).removeRecursively();
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ziel")));
        const QString ziel = pfad(QStringLiteral("ziel"));
        // The target of b exists: it must survive untouched.
        Fixtures::writeFile(ziel + QStringLiteral("/b.jpg"), "schon da");
        ankreuzen({0, 1, 2});
        fenster().show();
        platform.chosenFolders = {ziel};
        platform.answers = {abbrechen ? MsgBox::Ja : MsgBox::Nein};
        fenster().WeiterAnShellExecute(6);
        ASSERT_EQ(platform.messages.size(), 1u);
        const MessageBoxRequest& m = platform.messages[0];
        EXPECT_EQ(m.text, QStringLiteral("FileCopy from ") + eintrag(1) + QStringLiteral(" to ") + ziel +
                              QStringLiteral("/b.jpg\r\nError number=58\r\nError text=File already exists\r\n"
                                             "Wollen Sie den Kopiervorgang abbrechen ?"));
        EXPECT_EQ(m.buttons, MsgBox::JaNein);
        EXPECT_EQ(m.defaultButton, MsgBox::StandardKnopf2);
        EXPECT_EQ(m.title, QStringLiteral("TESSRIN Fotolauf"));
        EXPECT_EQ(inhalt(ziel + QStringLiteral("/b.jpg")), QByteArray("schon da"));
        EXPECT_EQ(inhalt(ziel + QStringLiteral("/a.jpg")), inhalt(eintrag(0)));
        EXPECT_EQ(QFile::exists(ziel + QStringLiteral("/c.jpg")), !abbrechen);
        EXPECT_EQ(platform.copies.size(), abbrechen ? 2u : 3u);
        EXPECT_EQ(fenster().isVisible(), abbrechen);
        EXPECT_EQ(fenster().cursor().shape(), Qt::ArrowCursor);
        // Every original is intact.
        for (int i = 0; i < 3; ++i)
            EXPECT_NE(inhalt(eintrag(i)), QByteArray("<fehlt>"));
    }
}
