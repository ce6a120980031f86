// The compiled help files, read back with chmlib's extract_chmLib: the built help holds every page
// of its project unchanged and every link leads to a page inside it; a project of many files (more
// than one directory chunk) reads back byte for byte; a broken project gives no file.
#include "support/Fixtures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kBuild = QStringLiteral(FOTOLAUF_BINARY_DIR);
const QString kQuellen = QStringLiteral(FOTOLAUF_SOURCE_DIR "/resources/help");

using Fixtures::content;

int ausfuehren(const QString& programm, const QStringList& argumente)
{
    QProcess p;
    p.start(programm, argumente);
    if (!p.waitForFinished(60000))
        return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// The files of a help file, by name (without the leading "/").
QMap<QString, QByteArray> auspacken(const QString& chm, const QString& ziel)
{
    QMap<QString, QByteArray> dateien;
    if (ausfuehren(QStringLiteral("extract_chmLib"), {chm, ziel}) != 0)
        return dateien;
    for (QDirIterator it(ziel, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString datei = it.next();
        dateien.insert(QDir(ziel).relativeFilePath(datei), content(datei));
    }
    return dateien;
}

QStringList projektDateien(const QString& hhp)
{
    const QString text = QString::fromUtf8(content(hhp));
    return text.mid(text.indexOf(QStringLiteral("[FILES]")) + 7).split(u'\n', Qt::SkipEmptyParts);
}

}  // namespace

TEST(HilfeDatei, BuiltHelpHoldsEveryPageAndEveryLinkLeadsToOne)
{
    for (const QString& sprache : {QStringLiteral("Deutsch"), QStringLiteral("English")}) {
        QTemporaryDir aus;
        const auto dateien = auspacken(kBuild + "/Help/" + sprache + "/fotolauf.CHM", aus.path());
        ASSERT_FALSE(dateien.isEmpty()) << sprache.toStdString();
        const QStringList seiten = projektDateien(kQuellen + u'/' + sprache + "/fotolauf.hhp");
        ASSERT_GE(seiten.size(), 7);
        for (const QString& s : seiten) {
            const QString gespeichert = QString(s.trimmed()).remove(QStringLiteral("../"));
            EXPECT_EQ(dateien.value(gespeichert), content(kQuellen + u'/' + sprache + u'/' + s.trimmed())) << s.toStdString();
        }
        EXPECT_TRUE(dateien.value("#SYSTEM").contains("index.html")) << "home page";
        static const QRegularExpression verweis(QStringLiteral("(?:href|value)=\"([^\"#:]+\\.(?:html|css))\""));
        for (auto it = dateien.begin(); it != dateien.end(); ++it)
            for (const auto& m : verweis.globalMatch(QString::fromLatin1(it.value())))
                EXPECT_TRUE(dateien.contains(m.captured(1))) << it.key().toStdString() << " -> " << m.captured(1).toStdString();
    }
}

TEST(HilfeDatei, ManyFilesReadBackByteForByteAndBrokenProjectsGiveNoFile)
{
    QTemporaryDir d;
    QByteArray projekt = "[OPTIONS]\nTitle=Viele Dateien\nDefault topic=seite-0.html\nLanguage=0x407\n\n[FILES]\n";
    QMap<QString, QByteArray> erwartet;
    auto* zufall = QRandomGenerator::global();
    for (int i = 0; i < 400; ++i) {
        // Long names in mixed case and with umlauts fill several directory chunks.
        const QString name = QStringLiteral("Seite-%1-%2-Übersicht-mit-einem-recht-langen-Namen.html").arg(i).arg(zufall->bounded(1000));
        QByteArray daten(int(zufall->bounded(3000)), Qt::Uninitialized);
        for (char& c : daten)
            c = char(zufall->bounded(256));
        Fixtures::writeFile(d.filePath(name), daten);
        erwartet.insert(name, daten);
        projekt += name.toUtf8() + '\n';
    }
    Fixtures::writeFile(d.filePath("seite-0.html"), "<p>leer</p>");
    erwartet.insert("seite-0.html", "<p>leer</p>");
    Fixtures::writeFile(d.filePath("p.hhp"), projekt + "seite-0.html\n");
    const QString writer = kBuild + "/chmwriter";
    ASSERT_EQ(ausfuehren(writer, {d.filePath("p.hhp"), d.filePath("p.chm")}), 0);
    QTemporaryDir aus;
    auto gelesen = auspacken(d.filePath("p.chm"), aus.path());
    gelesen.remove("#SYSTEM");
    EXPECT_EQ(gelesen.keys(), erwartet.keys());
    EXPECT_TRUE(gelesen == erwartet);

    // A missing file, a name listed twice in other letter case, a contents file that is not UTF-8.
    Fixtures::writeFile(d.filePath("kaputt.hhc"), "<p>\xff</p>");
    Fixtures::writeFile(d.filePath("SEITE-0.HTML"), "<p>gross</p>");
    for (const QByteArray& dateien : {QByteArray("fehlt.html\n"), QByteArray("seite-0.html\nSEITE-0.HTML\n"),
                                      QByteArray("seite-0.html\n[OPTIONS]\nContents file=kaputt.hhc\n")}) {
        Fixtures::writeFile(d.filePath("b.hhp"), "[FILES]\n" + dateien);
        EXPECT_NE(ausfuehren(writer, {d.filePath("b.hhp"), d.filePath("b.chm")}), 0) << dateien.toStdString();
        EXPECT_FALSE(QFile::exists(d.filePath("b.chm")));
    }
}
