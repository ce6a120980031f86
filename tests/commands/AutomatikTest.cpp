// The automatic show, the random pick and its distribution.
#include "display/BildVorlader.h"
#include "support/ShowFixture.h"
#include "windows/WertxForm.h"
#include "windows/ZoomForm.h"

#include <QFileInfo>
#include <QRadioButton>
#include <QTest>

#include <cmath>
#include <map>

class Automatik : public ShowTest {};

TEST(Zufall, DistributionOfThePickFollowsTheRoundedDraw)
{
    // Exact shares over an even grid of draws.
    const int n = 5;
    std::vector<int> anzahl(n, 0);
    const int schritte = 1000000;
    for (int i = 0; i < schritte; ++i)
        ++anzahl[static_cast<size_t>(FotolaufForm::ZufallsIndex(n, static_cast<float>(i) / schritte))];
    EXPECT_EQ(anzahl[0], 0);
    const double anteil[n] = {0, 0.1, 0.2, 0.2, 0.5};
    for (size_t i = 1; i < n; ++i)
        EXPECT_NEAR(anzahl[i] / double(schritte), anteil[i], 0.001) << i;
    for (float r : {0.0f, 0.3f, 0.999999f}) {
        EXPECT_EQ(FotolaufForm::ZufallsIndex(1, r), 0);
        EXPECT_EQ(FotolaufForm::ZufallsIndex(2, r), 1);
    }
    // Ties go to the even neighbour: x = 2.5 gives 2, x = 3.5 gives 4.
    EXPECT_EQ(FotolaufForm::ZufallsIndex(5, 0.3f), 2);
    EXPECT_EQ(FotolaufForm::ZufallsIndex(5, 0.5f), 4);
}

TEST_F(Automatik, RandomPicksTakeTheDrawsInOrderWhetherOrNotTheyAreDecodedAhead)
{
    starten({{10, 10}, {10, 10}, {10, 10}, {10, 10}, {10, 10}});
    programm().wertxForm().OptZufaellig->setChecked(true);
    // Stopped: list order even in random order.
    form().NaechstesBild();
    EXPECT_EQ(index(), 1);

    const QStringList argumente = platform.givenArguments;
    auto lauf = [&](bool voraus, std::vector<int>& folge) {
        ScriptedPlatform pl;
        pl.appDataFolder = platform.appDataFolder;
        pl.givenArguments = argumente;
        Programm prog(pl);
        FotolaufForm& f = prog.fotolaufForm();
        // Decodes of each file; the worker writes, the test reads once the worker is idle.
        auto dekodiert = std::make_shared<std::map<QString, int>>();
        auto lader = std::make_shared<PictureLoader>();
        f.Vorlader().setLadefunktion([lader, dekodiert](const QString& p, QSize a, const ByteTable* t, const CancelFlag& c) {
            ++(*dekodiert)[QFileInfo(p).fileName()];
            return lader->load(p, a, t, &c);
        });
        f.Vorlader().setVorausladen(voraus);
        int k = 0;
        f.Zufall().setQuelle([&k] { return static_cast<float>(std::fmod(++k * 0.618034, 1.0)); });
        prog.Starten();
        prog.wertxForm().OptZufaellig->setChecked(true);
        f.F6TimerGestartet = true;
        f.Timer1.setInterval(1000000);
        for (int i = 0; i < 40; ++i) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return f.Vorlader().ruhig(); }, 20000));
            const std::map<QString, int> vorher = *dekodiert;
            f.Timer1_Timer();
            const int index = prog.Arbeitsliste().ListIndex();
            folge.push_back(index);
            // Ahead, the pick of the tick was drawn and its picture decoded before the tick.
            const QString gezeigt = QFileInfo(prog.AngezeigteDatei).fileName();
            if (voraus && i > 0) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return f.Vorlader().ruhig(); }, 20000));
                EXPECT_EQ((*dekodiert)[gezeigt], vorher.count(gezeigt) ? vorher.at(gezeigt) : 0) << i;
            }
        }
    };
    std::vector<int> mit, ohne;
    lauf(true, mit);
    lauf(false, ohne);
    // The pick follows the draws one after the other; the last entry wraps to the first undrawn.
    std::vector<int> erwartet;
    int i = 0, k = 0;
    for (int t = 0; t < 40; ++t) {
        i = i + 1 < 5 ? FotolaufForm::ZufallsIndex(5, static_cast<float>(std::fmod(++k * 0.618034, 1.0))) : 0;
        erwartet.push_back(i);
    }
    EXPECT_EQ(mit, erwartet);
    EXPECT_EQ(ohne, erwartet);
}

TEST_F(Automatik, TicksStepWithWrapAroundUntilF7OrANewCompilation)
{
    starten({{10, 10}, {10, 10}, {10, 10}});
    form().Timer1.setInterval(5);
    std::vector<int> gesehen;
    QObject::connect(&form().Timer1, &QTimer::timeout, [&] { gesehen.push_back(index()); });
    taste(Qt::Key_F6);
    EXPECT_TRUE(form().F6TimerGestartet);
    EXPECT_TRUE(form().Timer1.isActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return gesehen.size() >= 4; }, 5000));
    // Each tick stepped one forward from the index seen at the tick before.
    for (size_t i = 1; i < gesehen.size(); ++i)
        EXPECT_EQ(gesehen[i], (gesehen[i - 1] + 1) % 3);
    taste(Qt::Key_F7);
    EXPECT_FALSE(form().F6TimerGestartet);
    EXPECT_FALSE(form().Timer1.isActive());
    // A new compilation stops the timer but keeps the running flag.
    taste(Qt::Key_F6);
    taste(Qt::Key_F8);
    EXPECT_FALSE(form().Timer1.isActive());
    EXPECT_TRUE(form().F6TimerGestartet);
}

TEST_F(Automatik, TickClosesTheZoomWindow)
{
    starten({{400, 300}, {400, 300}});
    ImageForm& b = bild();
    b.StartX = 0;
    b.StartY = 0;
    b.EndX = 1536;
    b.EndY = 1152;
    form().Timer1.setInterval(20);
    // What the first tick left behind (the tick's own handler runs before this one).
    int ticks = 0;
    bool zoomNachErstemTick = true;
    int indexNachErstemTick = -1;
    QObject::connect(&form().Timer1, &QTimer::timeout, [&] {
        if (++ticks == 1) {
            zoomNachErstemTick = programm().hatZoomForm();
            indexNachErstemTick = index();
            form().Timer1.stop();
        }
    });
    platform.onModal = [&](QDialog&) {
        form().Timer1.start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }, 5000));
    };
    programm().zoomForm().ZeigenModal();
    EXPECT_FALSE(zoomNachErstemTick);
    EXPECT_EQ(indexNachErstemTick, 1);
}
