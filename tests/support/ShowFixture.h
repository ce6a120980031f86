// A program started with generated pictures on a 1024 × 768 scripted screen, with the pointer
// files of the build folder as its program folder.
#pragma once

#include "lists/frmDurchsuchenUnterOrdner.h"
#include "support/ProgrammFixture.h"
#include "windows/ImageForm.h"

#include <QPushButton>
#include <QTest>

// A program of its own, started from a shell in a folder (see ShowTest::lauf).
struct Lauf {
    ScriptedPlatform platform;
    std::unique_ptr<Programm> programm;
    BildListe& liste() { return programm->Arbeitsliste(); }
    // The files of the working list's entries.
    QStringList dateien()
    {
        QStringList d;
        for (int i = 0; i < liste().ListCount(); ++i)
            d.append(liste().Datei(i));
        return d;
    }
};

class ShowTest : public ProgrammTest {
public:
    using Knopf = QPushButton* frmDurchsuchenUnterOrdner::*;

protected:
    // Starts a program of its own from a shell in the given folder, with the settings and pointer
    // files of this test; the folder question, if it comes, is answered with the given button.
    std::unique_ptr<Lauf> lauf(const QString& ordner, const QStringList& argumente, Knopf knopf = nullptr)
    {
        auto l = std::make_unique<Lauf>();
        l->platform.appDataFolder = platform.appDataFolder;
        l->platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
        l->platform.workingFolder = ordner;
        l->platform.givenArguments = argumente;
        if (knopf)
            l->platform.onModal = [knopf](QDialog& d) { (dynamic_cast<frmDurchsuchenUnterOrdner&>(d).*knopf)->click(); };
        l->programm = std::make_unique<Programm>(l->platform);
        l->programm->Starten();
        return l;
    }

    // Pictures a.jpg, b.jpg, … of the given sizes, started together (alphabetical order).
    void starten(const std::vector<QSize>& groessen)
    {
        platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
        QStringList pfade;
        for (size_t i = 0; i < groessen.size(); ++i) {
            const QString name = QString(QChar(u'a' + static_cast<int>(i))) + QStringLiteral(".jpg");
            pfade.append(Fixtures::writePicture(pfad(name), groessen[i].width(), groessen[i].height()));
        }
        platform.givenArguments = pfade;
        if (groessen.size() == 1 && !platform.onModal)
            platform.onModal = [](QDialog& d) { dynamic_cast<frmDurchsuchenUnterOrdner&>(d).btnOhneUnterordner->click(); };
        programm().Starten();
        programm().BildPosListNeu(static_cast<int>(groessen.size()));
    }
    ImageForm& bild() { return programm().imageForm(); }
    // What the picture window shows on the scripted screen (the test platform's own screen may be
    // smaller).
    QImage bildschirm()
    {
        bild().resize(platform.screen);
        return bild().grab().toImage();
    }
    int index() { return listBoxNeu().ListIndex(); }
    void taste(QWidget* fenster, Qt::Key key, Qt::KeyboardModifiers mod = Qt::NoModifier)
    {
        QTest::keyClick(fenster, key, mod);
    }
    void taste(Qt::Key key, Qt::KeyboardModifiers mod = Qt::NoModifier) { taste(&bild(), key, mod); }
};
