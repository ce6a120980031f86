// A second program for the end-to-end test: a small window that, when pressed with the mouse,
// starts dragging the files named on its command line, as a file manager does (text/uri-list).
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

class Quelle : public QWidget {
public:
    explicit Quelle(QStringList dateien)
        : m_dateien(std::move(dateien))
    {
        setWindowTitle(QStringLiteral("drag source"));
        setGeometry(700, 600, 200, 120);
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::darkGreen);
        setPalette(p);
    }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* daten = new QMimeData;
        QList<QUrl> urls;
        for (const QString& d : m_dateien)
            urls.append(QUrl::fromLocalFile(d));
        daten->setUrls(urls);
        auto* zug = new QDrag(this);
        zug->setMimeData(daten);
        zug->exec(Qt::CopyAction);
    }

private:
    QStringList m_dateien;
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList dateien = QApplication::arguments();
    dateien.removeFirst();
    Quelle q(dateien);
    q.show();
    return QApplication::exec();
}
