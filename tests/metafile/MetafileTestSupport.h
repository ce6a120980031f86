// Helpers shared by the metafile tests: playing bytes onto the recording canvas.
#pragma once

#include "MetafileBuilder.h"
#include "platform/metafile/MetafilePicture.h"
#include "platform/metafile/RecordingCanvas.h"

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

inline void expectRect(const QRectF& actual, const QRectF& expected, double tolerance = 0.01)
{
    EXPECT_NEAR(actual.left(), expected.left(), tolerance);
    EXPECT_NEAR(actual.top(), expected.top(), tolerance);
    EXPECT_NEAR(actual.right(), expected.right(), tolerance);
    EXPECT_NEAR(actual.bottom(), expected.bottom(), tolerance);
}

}  // namespace testmf
