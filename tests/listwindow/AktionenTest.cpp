// The file actions of the list window on the scripted platform: the action menu, open, print,
// e-mail, file manager, trash and copy of ticked pictures with every message.
#include "platform/FileSystem.h"
#include "support/ShowFixture.h"

#include <QCheckBox>
#include <QFile>
#include <QRadioButton>

#include <fcntl.h>
#include <unistd.h>

class Aktionen : public ShowTest {
protected:
    ListBoxForm& fenster() { return programm().listBoxForm(); }
    QString eintrag(int i) { return arbeitsliste().List(i); }
    void ankreuzen(std::initializer_list<int> indexe)
    {
        for (int i : indexe)
            arbeitsliste().setSelected(i, true);
    }
    QStringList angehakt()
    {
        QStringList r;
        for (int i = 0; i < arbeitsliste().ListCount(); ++i)
            if (arbeitsliste().Selected(i))
                r.append(eintrag(i));
        return r;
    }
    // Entries are lower-cased like the command line.
    static QByteArray inhalt(const QString& pfad) { return Fixtures::content(FileSystem::resolvePath(pfad)); }
};

TEST(AktionenTabelle, ExtensionOfTheOpenFailureMessage)
{
    const std::vector<std::pair<QString, QString>> faelle = {
        {"C:/a/b.jpeg", "jpeg"}, {"/a/b.jpg", "jpg"}, {"a.jpg", "jpg"}, {".jpeg", "jpeg"},
        {"/p/a.b.gif", "b.gif"},  // the farthest dot wins
        {"/a/README", ""},       {"abc", ""},       {"", ""},          {"/a/b.tiff5", "tiff5"},
    };
    for (const auto& [e, erwartet] : faelle)
        EXPECT_EQ(ListBoxForm::ErweiterungFuerMeldung(e), erwartet) << e.toStdString();
}

TEST_F(Aktionen, TheButtonShowsTheSixItemsAndTheShellItemsHandTheEntryOrTheMailLinkToThePlatform)
{
    starten({{10, 10}, {10, 10}, {10, 10}});
    fenster().btnAktionAusfuehren->click();  // dismissed
    ASSERT_EQ(platform.popupMenus.size(), 1u);
    EXPECT_EQ(platform.popupMenus[0],
              (QStringList{"Öffnen der mit der Dateinamen-Erweiterung verknüpften Anwendung für die aktuelle Datei",
                           "Öffne das Druckprogramm für die aktuelle Datei", "Öffne das Fenster 'Neue Email senden'",
                           "Öffne ein Explorer-Fenster, wo die aktuelle Datei markiert ist",
                           "Verschiebe alle mit Häkchen markierten Dateien in den Papierkorb",
                           "Kopiere alle mit Häkchen markierten Dateien"}));
    for (int n : {0, 7, -1, 100})
        fenster().WeiterAnShellExecute(n);
    EXPECT_TRUE(platform.shellRequests.empty());
    EXPECT_TRUE(platform.folderDialogs.empty());
    arbeitsliste().setListIndex(1);
    // The platform gets the file the entry names, in its real letter case, not the list text.
    const QString datei = arbeitsliste().Datei(1);
    ASSERT_EQ(datei, pfad(QStringLiteral("b.jpg")));
    const std::vector<std::tuple<int, const char*, QString>> faelle = {
        {3005, "open", datei},
        {3119, "print", datei},
        {3120, "link", QStringLiteral("mailto:empfaenger@example.com?")},
        {3121, "show", datei},
    };
    for (const auto& [text, aktion, ziel] : faelle) {
        platform.shellRequests.clear();
        platform.menuPicks = {programm().Text(text)};
        fenster().btnAktionAusfuehren->click();
        ASSERT_EQ(platform.shellRequests.size(), 1u) << aktion;
        EXPECT_EQ(platform.shellRequests[0].action, QString::fromLatin1(aktion));
        EXPECT_EQ(platform.shellRequests[0].target, ziel);
    }
    // Successful calls report nothing; the list and the display stay as they are.
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(arbeitsliste().ListCount(), 3);
    EXPECT_EQ(index(), 1);
}

TEST_F(Aktionen, OpenAndPrintFailuresByResultCodeAndTheNineLineMessageOfAVanishedJpeg)
{
    starten({{10, 10}, {10, 10}});
    const char* kDrucker = "Es wurde kein geeignetes Druckprogramm gefunden um diese Datei auszudrucken";
    // item, result, start of the message (empty: no message)
    const std::vector<std::tuple<int, int, QString>> faelle = {
        {1, 3, "Errortext=Path not found\r\nErrornr=3\r\n"},
        {1, 31, "Errortext=No association for file extension\r\nErrornr=31\r\n"},
        {1, 32, "Errortext=DLL not found\r\nErrornr=32\r\n"},
        {1, 0, "Errortext=Unknown error\r\nErrornr=0\r\n"},
        {1, 1, "Errortext=Unknown error\r\nErrornr=1\r\n"},
        {1, 4, "Errortext=Unknown error\r\nErrornr=4\r\n"},
        {1, 33, ""},
        {2, 31, kDrucker},
        {2, 2, kDrucker},
        {2, 42, ""},
    };
    for (const auto& [item, ergebnis, anfang] : faelle) {
        SCOPED_TRACE(std::to_string(item) + "/" + std::to_string(ergebnis));
        platform.messages.clear();
        platform.shellResults = {ergebnis};
        fenster().WeiterAnShellExecute(item);
        ASSERT_EQ(platform.messages.size(), anfang.isEmpty() ? 0u : 1u);
        if (!anfang.isEmpty()) {
            EXPECT_TRUE(platform.messages[0].text.startsWith(anfang)) << platform.messages[0].text.toStdString();
        }
    }

    platform.messages.clear();
    const QString weg = pfad(QStringLiteral("b.jpeg"));
    arbeitsliste().AddItem(weg);
    arbeitsliste().setListIndex(arbeitsliste().ListCount() - 1);
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

TEST_F(Aktionen, TrashAsksFirstAndTrashingTheLastEntriesEndsTheProgramAfterMessage3115)
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
    EXPECT_EQ(arbeitsliste().ListCount(), 2);

    platform.messages.clear();
    ankreuzen({1});
    fenster().WeiterAnShellExecute(5);
    EXPECT_EQ(arbeitsliste().ListCount(), 0);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].text, QStringLiteral("Es gibt keine Bilder mehr anzuzeigen. Das Programm wird beendet."));
    EXPECT_EQ(platform.endRequests, 1);
    EXPECT_TRUE(programm().beendet());
}

TEST_F(Aktionen, TrashOfThreeTickedWhereOneFailsKeepsItTickedAndReportsOnce)
{
    starten({{10, 10}, {10, 10}, {10, 10}, {10, 10}});
    const QString b = eintrag(1), c = eintrag(2);
    BildListe& l = arbeitsliste();
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

TEST_F(Aktionen, TrashTakesNamesTooLongForItsInfoFileAndSaysWhyItRefusedWhatIsNotWriteProtected)
{
    // 248 bytes: the trash's info file could not take ".trashinfo" behind this name.
    const QString lang = Fixtures::writePicture(pfad(QString(120, u'ä') + QStringLiteral("bild.jpg")), 10, 10);
    const QString voll = Fixtures::writePicture(pfad(QStringLiteral("voll.jpg")), 10, 10);
    const QString fest = Fixtures::writePicture(pfad(QStringLiteral("fest.jpg")), 10, 10);
    ASSERT_TRUE(QFile::setPermissions(fest, QFileDevice::ReadOwner));
    const QByteArray langInhalt = Fixtures::content(lang);
    // Every name the trash could give voll.jpg is taken.
    ASSERT_TRUE(QDir().mkpath(pfad(QStringLiteral("trash/info"))) && QDir().mkpath(pfad(QStringLiteral("trash/files"))));
    const QByteArray info = QFile::encodeName(pfad(QStringLiteral("trash/info/voll.jpg")));
    for (int nummer = 1; nummer <= 1000; ++nummer) {
        const QByteArray name = info + (nummer == 1 ? QByteArray() : '.' + QByteArray::number(nummer)) + ".trashinfo";
        ASSERT_EQ(::close(::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600)), 0);
    }
    auto l = lauf(dir.path(), {lang, voll, fest});
    l->platform.trashFolder = pfad(QStringLiteral("trash"));
    BildListe& liste = l->programm->Arbeitsliste();
    ASSERT_EQ(liste.ListCount(), 3);
    QString eintragVoll;
    for (int i = 0; i < liste.ListCount(); ++i) {
        liste.setSelected(i, true);
        if (liste.Datei(i) == voll)
            eintragVoll = liste.List(i);
    }
    l->platform.messages.clear();
    l->programm->listBoxForm().WeiterAnShellExecute(5);

    // The write-protected file is summed up as ever; the one the trash had no name for is named
    // with that reason, not called write-protected.
    EXPECT_EQ(l->platform.messageTexts().mid(1),
              (QStringList{QStringLiteral("Sie haben mindestens eine schreibgeschützte Datei markiert. "
                                          "Schreibgeschützte Dateien werden nicht gelöscht."),
                           QStringLiteral("Errortext=Every name for the file in the trash is taken\r\n\r\n"
                                          "Verschiebe alle mit Häkchen markierten Dateien in den Papierkorb\r\n") +
                               eintragVoll}));
    EXPECT_EQ(l->dateien(), (QStringList{fest, voll}));
    EXPECT_TRUE(liste.Selected(0) && liste.Selected(1));
    // The long name went, whole in the info file, shortened beside it.
    EXPECT_FALSE(QFile::exists(lang));
    const QStringList imTrash = QDir(pfad(QStringLiteral("trash/files"))).entryList(QDir::Files);
    ASSERT_EQ(imTrash.size(), 1);
    EXPECT_EQ(Fixtures::content(pfad(QStringLiteral("trash/files/")) + imTrash[0]), langInhalt);
    EXPECT_TRUE(Fixtures::content(pfad(QStringLiteral("trash/info/")) + imTrash[0] + QStringLiteral(".trashinfo"))
                    .contains("\nPath=" + FileSystem::nativeName(lang).toPercentEncoding("/") + '\n'));
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
        for (BildListenFeld* l : {f.List1, f.List1Unsorted})
            for (const QString& e : {x, x, y})
                l->AddItem(e);
        BildListe& neu = p.Arbeitsliste();
        neu.AddItem(x);
        neu.AddItem(y);
        neu.setSelected(0, true);
        p.listBoxForm().WeiterAnShellExecute(5);
        EXPECT_EQ(eintraege(neu), QStringList{y});
        EXPECT_EQ(eintraege(*f.List1Unsorted), unsortiert ? (QStringList{x, y}) : (QStringList{x, x, y}));
        EXPECT_EQ(eintraege(*f.List1).size(), unsortiert ? 3 : 2);
    }
}

TEST_F(Aktionen, CopyAsksForAFolderAndWritesToItWithOrWithoutTrailingSlash)
{
    starten({{10, 10}, {10, 10}, {10, 10}});
    fenster().show();
    fenster().WeiterAnShellExecute(6);  // nothing ticked: no question
    EXPECT_TRUE(platform.folderDialogs.empty());
    ankreuzen({0, 2});
    fenster().WeiterAnShellExecute(6);
    EXPECT_EQ(platform.folderDialogs, QStringList{QString()});  // asked with an empty title
    EXPECT_FALSE(fenster().testAttribute(Qt::WA_SetCursor));  // the pointer never changed
    EXPECT_TRUE(fenster().isVisible());
    // A choice that is no folder counts as cancelled.
    platform.chosenFolders = {pfad(QStringLiteral("a.jpg"))};
    fenster().WeiterAnShellExecute(6);
    EXPECT_TRUE(platform.copies.empty());

    platform.copiesAreReal = false;  // "/" is not ours to write into
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ziel")));
    const QString ziel = pfad(QStringLiteral("ziel"));
    for (const auto& [ordner, vorne] : std::vector<std::pair<QString, QString>>{{"/", "/"}, {ziel, ziel + u'/'}, {ziel + u'/', ziel + u'/'}}) {
        platform.copies.clear();
        platform.chosenFolders = {ordner};
        fenster().WeiterAnShellExecute(6);
        ASSERT_EQ(platform.copies.size(), 2u);
        EXPECT_EQ(platform.copies[0].source, pfad(QStringLiteral("a.jpg")));
        EXPECT_EQ(platform.copies[0].target, vorne + QStringLiteral("a.jpg"));
        EXPECT_EQ(platform.copies[1].target, vorne + QStringLiteral("c.jpg"));
    }
}

TEST_F(Aktionen, CopyMakesTheFilesAndAnErrorAnsweredNoGoesOnAndYesStopsWithTheWindowOpen)
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
        arbeitsliste().setListIndex(1);
        fenster().show();
        bild().Image1.Visible = false;
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
        EXPECT_EQ(inhalt(ziel + QStringLiteral("/c.jpg")), abbrechen ? QByteArray("<fehlt>") : inhalt(eintrag(2)));
        EXPECT_EQ(platform.copies.size(), abbrechen ? 2u : 3u);
        EXPECT_EQ(fenster().isVisible(), abbrechen);
        EXPECT_EQ(fenster().cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(angehakt(), (QStringList{eintrag(0), eintrag(1), eintrag(2)}));  // ticks unchanged
        if (!abbrechen) {
            // Done: the picture is shown again by the display operation.
            EXPECT_TRUE(bild().Image1.Visible);
            EXPECT_EQ(programm().AngezeigteDatei, eintrag(1));
        }
        // Every original is intact.
        for (int i = 0; i < 3; ++i)
            EXPECT_NE(inhalt(eintrag(i)), QByteArray("<fehlt>"));
    }
}
