// A label that shows a long number whole within its frame: in its own font while one line fits,
// else in a smaller one, and broken over two or three lines once one line would need a font too
// small to read.
#pragma once

#include <QLabel>
#include <QStringList>

class Zahlenfeld : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // Shows the text (text() gives it back unchanged).
    void Zeigen(const QString& text);

    // The lines as drawn, and the font they are drawn in.
    QStringList Zeilen() const { return m_zeilen; }
    QFont Schrift() const { return m_schrift; }

    // The smallest font, in points, in which a line is still read with ease.
    static constexpr double kLesbarPunkte = 6.0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void aufteilen();
    QStringList m_zeilen;
    QFont m_schrift;
};
