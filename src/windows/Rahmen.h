// A frame with a caption, drawn the classic way: the border runs through the middle of the
// caption, so the controls inside keep the positions they are given from the frame's top edge
// (the toolkit's own group box puts its border below the caption, across those controls).
#pragma once

#include <QGroupBox>

class Rahmen : public QGroupBox {
public:
    explicit Rahmen(QWidget* parent);
    // Where the top border runs, in pixels from the frame's top edge.
    int RandOben() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
