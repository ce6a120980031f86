// Every caption of every window fits its control, in both languages and at each density the
// fonts follow (the same test runs again at the toolkit's scale factors 1.5 and 2): a caption
// on one line fits its width, one the control gives several lines wraps within its height.
#include "lists/frmDurchsuchenUnterOrdner.h"
#include "support/ProgrammFixture.h"
#include "system/frmVerknuepfeDateitypenXP.h"
#include "windows/HilfeBoxForm.h"
#include "windows/WertxForm.h"
#include "windows/XYPos.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>

namespace {

// The caption as drawn: an ampersand marks the access key, a doubled one stands for itself.
QString sichtbar(const QString& text)
{
    QString s = text;
    s.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    s.remove(u'&');
    s.replace(u'\x01', u'&');
    return s;
}

// What of the control's caption does not fit; empty when all of it does.
QString abgeschnitten(QWidget& w)
{
    const QFontMetrics fm(w.font());
    const QString name = w.objectName().isEmpty() ? QString::fromLatin1(w.metaObject()->className()) : w.objectName();
    auto bericht = [&](const QString& text, int braucht, int hat) {
        return QStringLiteral("%1 \"%2\" needs %3 px, has %4").arg(name, text).arg(braucht).arg(hat);
    };
    if (auto* l = qobject_cast<QLabel*>(&w)) {
        if (l->text().isEmpty())
            return {};
        const QString text = l->buddy() ? sichtbar(l->text()) : l->text();
        const QRect inhalt = l->contentsRect();
        if (l->wordWrap()) {
            const int hoehe = fm.boundingRect(inhalt, Qt::TextWordWrap, text).height();
            return hoehe <= inhalt.height() ? QString() : bericht(text, hoehe, inhalt.height());
        }
        const int breite = fm.horizontalAdvance(text);
        if (breite > inhalt.width())
            return bericht(text, breite, inhalt.width());
        return fm.height() <= inhalt.height() + 2 ? QString() : bericht(text, fm.height(), inhalt.height());
    }
    if (auto* g = qobject_cast<QGroupBox*>(&w)) {
        const int breite = fm.horizontalAdvance(sichtbar(g->title())) + 16;
        return g->title().isEmpty() || breite <= g->width() ? QString() : bericht(g->title(), breite, g->width());
    }
    auto* b = qobject_cast<QAbstractButton*>(&w);
    if (!b || b->text().isEmpty())
        return {};
    const QString text = sichtbar(b->text());
    if (qobject_cast<QPushButton*>(b)) {
        const int breite = fm.horizontalAdvance(text) + 2 * b->style()->pixelMetric(QStyle::PM_ButtonMargin);
        return breite <= b->width() ? QString() : bericht(text, breite, b->width());
    }
    // Option buttons and check boxes: the caption runs from the style's contents rectangle on.
    QStyleOptionButton option;
    option.initFrom(b);
    option.text = b->text();
    const bool opt = qobject_cast<QRadioButton*>(b);
    const QRect inhalt = b->style()->subElementRect(opt ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &option, b);
    if (b->hasHeightForWidth()) {
        const int hoehe = b->heightForWidth(b->width());
        return hoehe <= b->height() ? QString() : bericht(text, hoehe, b->height());
    }
    const int breite = fm.horizontalAdvance(text);
    return breite <= inhalt.width() ? QString() : bericht(text, breite, inhalt.width());
}

}  // namespace

class Beschriftung : public ProgrammTest {};

TEST_F(Beschriftung, EveryCaptionFitsInBothLanguagesAtEveryDensity)
{
    // 96, 120 and 144 pixels per inch give 8, 10 and 12 points; 144 without the adaptation keeps 8.
    struct Dichte {
        int dpi;
        const char* ini;
    } dichten[] = {{96, ""}, {120, ""}, {144, ""}, {144, "[Adjustments]\nCheckForDPI=0\n"}};
    for (int sprache : {0, 1}) {
        for (const Dichte& d : dichten) {
            Fixtures::writeAlboIni(platform.appDataFolder,
                                   "[Global]\nLanguage=" + QByteArray::number(sprache) + "\n" + QByteArray(d.ini));
            platform.dpiX = platform.dpiY = d.dpi;
            Programm p(platform);
            p.Starten();  // no arguments: the container
            frmDurchsuchenUnterOrdner frage(p);
            frmVerknuepfeDateitypenXP dateitypen(p);
            platform.onModal = [](QDialog&) {};
            frage.zeigenModal();
            dateitypen.zeigenModal();
            HilfeBoxForm& hilfe = p.hilfeBoxForm();
            hilfe.Zeigen();
            QWidget* fenster[] = {&p.fotolaufForm(), &p.listBoxForm(), &p.wertxForm(), &hilfe, &p.xyPos(), &frage, &dateitypen};
            int gezaehlt = 0;
            for (QWidget* f : fenster) {
                f->show();
                for (QWidget* w : f->findChildren<QWidget*>()) {
                    if (!w->isVisibleTo(f))
                        continue;
                    ++gezaehlt;
                    const QString fehler = abgeschnitten(*w);
                    EXPECT_TRUE(fehler.isEmpty()) << "language " << sprache << ", " << d.dpi << " dpi " << d.ini << ", "
                                                  << f->metaObject()->className() << ": " << fehler.toStdString();
                }
                f->hide();
            }
            EXPECT_GT(gezaehlt, 60);
        }
    }
}
