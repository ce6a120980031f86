// A program started with generated pictures on a 1024 × 768 scripted screen, with the pointer
// files of the build folder as its program folder.
#pragma once

#include "lists/frmDurchsuchenUnterOrdner.h"
#include "support/ProgrammFixture.h"
#include "windows/ImageForm.h"

#include <QPushButton>
#include <QTest>

class ShowTest : public ProgrammTest {
protected:
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
    int index() { return listBoxNeu().ListIndex(); }
    void taste(QWidget* fenster, Qt::Key key, Qt::KeyboardModifiers mod = Qt::NoModifier)
    {
        QTest::keyClick(fenster, key, mod);
    }
    void taste(Qt::Key key, Qt::KeyboardModifiers mod = Qt::NoModifier) { taste(&bild(), key, mod); }
};
