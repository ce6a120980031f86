// Keys typed faster than pictures decode end where the same keys typed one by one end: on the same
// picture, at the same size and place, with the same messages and the same stored sections, for
// picture and zoom keys mixed at random intervals of 1 to 50 ms while every decode takes a random
// while (and stops early when it is given up).
#include "display/BildVorlader.h"
#include "platform/CancelFlag.h"
#include "support/ShowFixture.h"
#include "windows/WertxForm.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QMutex>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <random>

namespace {

struct Taste {
    Qt::Key key;
    Qt::KeyboardModifiers mod;
};

// Picture keys, zoom and shift keys and keys that act on neither, weighted so that zooms often
// fall between two picture keys.
const Taste kTasten[] = {
    {Qt::Key_F3, Qt::NoModifier},    {Qt::Key_F3, Qt::NoModifier},    {Qt::Key_F3, Qt::NoModifier},
    {Qt::Key_F2, Qt::NoModifier},    {Qt::Key_Right, Qt::AltModifier}, {Qt::Key_Home, Qt::NoModifier},
    {Qt::Key_End, Qt::NoModifier},   {Qt::Key_F4, Qt::NoModifier},    {Qt::Key_F4, Qt::NoModifier},
    {Qt::Key_F4, Qt::NoModifier},    {Qt::Key_F1, Qt::NoModifier},    {Qt::Key_F1, Qt::NoModifier},
    {Qt::Key_Left, Qt::ShiftModifier}, {Qt::Key_Down, Qt::ShiftModifier}, {Qt::Key_F9, Qt::NoModifier},
};

// Sizes that meet the refusals: a wide sliver whose second halving is refused (2065), pictures
// that reach the surface's limit after a few doublings (2066), larger than the screen, tiny.
const struct {
    QSize groesse;
    Qt::GlobalColor farbe;
} kBilder[] = {
    {{640, 480}, Qt::red},   {{30, 10}, Qt::green},    {{1000, 500}, Qt::blue},
    {{300, 900}, Qt::yellow}, {{2000, 1000}, Qt::cyan}, {{64, 48}, Qt::magenta},
};

// A decode that takes up to `hoechstens` ms longer than it does, giving up at once when it is stopped.
struct Langsam {
    QMutex sperre;
    std::mt19937 zufall;
    int hoechstens;
    PictureLoader lader;  // used by the one worker only

    Langsam(unsigned saat, int ms)
        : zufall(saat)
        , hoechstens(ms)
    {
    }
    LoadedPicture operator()(const QString& pfad, QSize abdeckung, const ByteTable* tabelle, const CancelFlag& abbruch)
    {
        int ms = 0;
        {
            QMutexLocker l(&sperre);
            ms = std::uniform_int_distribution<int>(0, hoechstens)(zufall);
        }
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms && !abbruch.raised())
            QThread::msleep(1);
        return lader.load(pfad, abdeckung, tabelle, &abbruch);
    }
};

// Where a run ended.
struct Stand {
    int index = -1;
    QString datei;
    QRect image1;
    double piv = 0;
    bool sichtbar = false;
    QSize natuerlich;
    QRgb farbe = 0;
    bool zeigerSichtbar = false;
    std::vector<QString> meldungen;
    std::vector<Positionssatz> positionen;
    bool operator==(const Stand&) const = default;
};

void PrintTo(const Stand& s, std::ostream* os)
{
    *os << "index " << s.index << " " << s.datei.toStdString() << " image1 " << s.image1.x() << "," << s.image1.y() << " "
        << s.image1.width() << "x" << s.image1.height() << " PIV " << s.piv << (s.sichtbar ? " shown" : " hidden")
        << " natural " << s.natuerlich.width() << "x" << s.natuerlich.height() << " colour " << std::hex << s.farbe << std::dec
        << " messages " << s.meldungen.size();
    for (const QString& m : s.meldungen)
        *os << " [" << m.toStdString() << "]";
    *os << " stored";
    for (const Positionssatz& p : s.positionen)
        *os << " " << p.Left << "," << p.Top << "," << p.Width << "," << p.Height;
}

}  // namespace

class Tastensturm : public ShowTest {
protected:
    // A program of its own on the six pictures, with decodes that take up to `langsam` ms longer.
    std::unique_ptr<Lauf> starten(unsigned saat, int langsam, bool positionenSpeichern)
    {
        QStringList pfade;
        for (size_t i = 0; i < std::size(kBilder); ++i)
            pfade.append(Fixtures::writePicture(pfad(QString(QChar(u'a' + int(i))) + QStringLiteral(".jpg")),
                                                kBilder[i].groesse.width(), kBilder[i].groesse.height(), kBilder[i].farbe));
        auto l = std::make_unique<Lauf>();
        l->platform.appDataFolder = platform.appDataFolder;
        l->platform.programFolderPath = QStringLiteral(FOTOLAUF_BINARY_DIR);
        l->platform.givenArguments = pfade;
        l->programm = std::make_unique<Programm>(l->platform);
        auto verzoegert = std::make_shared<Langsam>(saat, langsam);
        l->programm->fotolaufForm().Vorlader().setLadefunktion(
            [verzoegert](const QString& p, QSize a, const ByteTable* t, const CancelFlag& c) { return (*verzoegert)(p, a, t, c); });
        l->programm->Starten();
        l->programm->BildPosListNeu(int(std::size(kBilder)));
        l->programm->wertxForm().CheckSpeichernBildPosition->setChecked(positionenSpeichern);
        return l;
    }
    static bool ruhig(Lauf& l)
    {
        FotolaufForm& f = l.programm->fotolaufForm();
        return f.Vorlader().ruhig() && f.Vorlader().aufschub().leer() && !f.Vorlader().aufschub().wartet();
    }
    static Stand stand(Lauf& l)
    {
        Programm& p = *l.programm;
        ImageForm& b = p.imageForm();
        Stand s;
        s.index = l.liste().ListIndex();
        s.datei = p.AngezeigteDatei;
        s.image1 = b.Image1.pixel();
        s.piv = b.PIV;
        s.sichtbar = b.Image1.Visible;
        s.natuerlich = b.Image1Bild().naturalSize;
        const QImage& i = b.Image1Bild().image;
        s.farbe = i.isNull() ? 0 : i.pixel(i.width() / 2, i.height() / 2);
        s.zeigerSichtbar = p.fotolaufForm().blnMauszeigerSichtbar;
        for (const MessageBoxRequest& m : l.platform.messages)
            s.meldungen.push_back(m.text);
        s.positionen = p.BildPosList;
        return s;
    }
};

TEST_F(Tastensturm, KeysFasterThanTheDecodesEndAsTheSameKeysOneByOne)
{
    for (unsigned saat : {1u, 2u, 3u, 4u, 5u, 6u}) {
        SCOPED_TRACE(saat);
        std::mt19937 zufall(saat);
        std::vector<Taste> tasten;
        std::vector<int> abstaende;
        for (int i = 0; i < 30; ++i) {
            tasten.push_back(kTasten[std::uniform_int_distribution<size_t>(0, std::size(kTasten) - 1)(zufall)]);
            abstaende.push_back(std::uniform_int_distribution<int>(1, 50)(zufall));
        }
        const bool speichern = saat % 2 == 0;

        // One by one: each key acts in full before the next.
        std::unique_ptr<Lauf> einzeln = starten(saat, 0, speichern);
        for (const Taste& t : tasten) {
            QTest::keyClick(&einzeln->programm->imageForm(), t.key, t.mod);
            ASSERT_TRUE(QTest::qWaitFor([&] { return ruhig(*einzeln); }, 20000));
        }
        const Stand soll = stand(*einzeln);
        einzeln.reset();

        // The storm: each key at its time, whatever the program is doing then.
        std::unique_ptr<Lauf> sturm = starten(saat, 60, speichern);
        ImageForm& fenster = sturm->programm->imageForm();
        int gesendet = 0, zeit = 0;
        for (size_t i = 0; i < tasten.size(); ++i) {
            zeit += abstaende[i];
            QTimer::singleShot(zeit, &fenster, [&fenster, &gesendet, t = tasten[i]] {
                QTest::keyClick(&fenster, t.key, t.mod);
                ++gesendet;
            });
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return gesendet == int(tasten.size()) && ruhig(*sturm); }, 60000));
        EXPECT_EQ(stand(*sturm), soll);
    }
}
