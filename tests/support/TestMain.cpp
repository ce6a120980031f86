// Entry point of every test executable: a QApplication on the offscreen platform, then GoogleTest.
// Tests of a library without widgets get a QGuiApplication.
#ifdef QT_WIDGETS_LIB
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif
#include <gtest/gtest.h>

namespace {
QtMessageHandler vorgaenger = nullptr;

// The offscreen platform cannot raise windows and says so every time; that is not news.
void meldungen(QtMsgType typ, const QMessageLogContext& kontext, const QString& text)
{
    if (text.contains(QStringLiteral("does not support raise()")))
        return;
    if (vorgaenger)
        vorgaenger(typ, kontext, text);
}
}  // namespace

int main(int argc, char** argv)
{
    vorgaenger = qInstallMessageHandler(meldungen);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
