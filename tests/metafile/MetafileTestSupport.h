// Helpers shared by the metafile tests: playing bytes onto the recording canvas.
#pragma once

#include "MetafileBuilder.h"
#include "platform/metafile/MetafilePicture.h"
#include "platform/metafile/RecordingCanvas.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace testmf {

inline std::vector<metafile::RecordedCall> record(const QByteArray& bytes, const QRectF& target = QRectF(0, 0, 100, 100))
{
    const auto picture = MetafilePicture::load(bytes);
    EXPECT_TRUE(picture);
    metafile::RecordingCanvas canvas;
    if (picture)
        picture->play(canvas, target);
    return canvas.calls;
}

// The picture drawn onto a black image of the given size.
inline QImage render(const QByteArray& bytes, QSize size = QSize(100, 100))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    const auto picture = MetafilePicture::load(bytes);
    EXPECT_TRUE(picture);
    if (picture) {
        QPainter painter(&image);
        picture->draw(painter, QRectF(image.rect()));
    }
    return image;
}

inline void expectRect(const QRectF& actual, const QRectF& expected, double tolerance = 0.01)
{
    EXPECT_NEAR(actual.left(), expected.left(), tolerance);
    EXPECT_NEAR(actual.top(), expected.top(), tolerance);
    EXPECT_NEAR(actual.right(), expected.right(), tolerance);
    EXPECT_NEAR(actual.bottom(), expected.bottom(), tolerance);
}

}  // namespace testmf
