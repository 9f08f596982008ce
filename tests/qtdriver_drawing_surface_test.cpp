// The device context drawn on QPainter: what lands on the pixels of an image.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "QtDrawingSurface.h"

namespace {

constexpr COLORREF kBackground = RGB(255, 255, 255);

class DrawingSurfaceTest : public testing::Test {
protected:
    DrawingSurfaceTest() : image(100, 80, QImage::Format_RGB32) {
        image.fill(Qt::white);
        painter.begin(&image);
    }

    // Ends drawing; the image then holds what was drawn.
    void Finish() { painter.end(); }
    COLORREF At(int x, int y) const {
        const QRgb pixel = image.pixel(x, y);
        return RGB(static_cast<BYTE>(qRed(pixel)), static_cast<BYTE>(qGreen(pixel)),
                   static_cast<BYTE>(qBlue(pixel)));
    }
    // The box around every pixel that is not the background; empty for none.
    QRect Inked() const {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (At(x, y) != kBackground) box |= QRect(x, y, 1, 1);
        return box;
    }

    QImage image;
    QPainter painter;
};

TEST_F(DrawingSurfaceTest, LinesTakeThePenAndStopAtTheClip) {
    QtDrawingSurface surface(painter, image.rect());
    CDC dc(&surface);
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    EXPECT_EQ(dc.SelectObject(&red), nullptr);
    dc.SaveDC();
    EXPECT_EQ(dc.IntersectClipRect(10, 10, 50, 50), SIMPLEREGION);
    dc.MoveTo(0, 20);
    dc.LineTo(99, 20);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(99, 20));
    dc.RestoreDC(-1);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(0, 0));  // saved with the rest
    const POINT zigzag[] = {{60, 60}, {70, 70}, {80, 60}};
    dc.Polyline(zigzag, 3);
    Finish();

    EXPECT_EQ(At(10, 20), RGB(255, 0, 0));
    EXPECT_EQ(At(49, 20), RGB(255, 0, 0));
    EXPECT_EQ(At(9, 20), kBackground);  // clipped
    EXPECT_EQ(At(50, 20), kBackground);
    EXPECT_EQ(At(70, 70), RGB(255, 0, 0));  // restored clip lets the zigzag through
}

TEST_F(DrawingSurfaceTest, RectanglesExcludeTheirRightAndBottomEdges) {
    QtDrawingSurface surface(painter, image.rect());
    CDC dc(&surface);
    CPen blue(PS_SOLID, 1, RGB(0, 0, 255));
    CBrush yellow(RGB(255, 255, 0));
    dc.SelectObject(&blue);
    dc.SelectObject(&yellow);
    dc.Rectangle(10, 10, 30, 20);
    dc.FillSolidRect(40, 40, 5, 5, RGB(0, 128, 0));
    dc.SelectStockObject(NULL_BRUSH);
    dc.Rectangle(60, 10, 70, 20);
    Finish();

    EXPECT_EQ(At(10, 10), RGB(0, 0, 255));  // outline
    EXPECT_EQ(At(29, 19), RGB(0, 0, 255));
    EXPECT_EQ(At(30, 19), kBackground);
    EXPECT_EQ(At(20, 15), RGB(255, 255, 0));  // inside
    EXPECT_EQ(At(44, 44), RGB(0, 128, 0));
    EXPECT_EQ(At(45, 45), kBackground);
    EXPECT_EQ(At(65, 15), kBackground);  // hollow
    EXPECT_EQ(At(60, 15), RGB(0, 0, 255));
}

TEST_F(DrawingSurfaceTest, TextStandsWhereItsAlignmentPutsIt) {
    struct Case {
        UINT align;
        QRect expectedInside;  // the text's pixels lie in here
    };
    const CString text = "Time";
    for (const Case& c : {Case{TA_LEFT | TA_TOP, QRect(50, 40, 50, 40)},
                          Case{TA_RIGHT | TA_BOTTOM, QRect(0, 0, 51, 41)},
                          Case{TA_CENTER | TA_BASELINE, QRect(25, 20, 50, 24)}}) {
        image.fill(Qt::white);
        QtDrawingSurface surface(painter, image.rect());
        CDC dc(&surface);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextAlign(c.align);
        dc.TextOut(50, 40, text);
        const CSize extent = dc.GetTextExtent(text);
        painter.end();
        const QRect inked = Inked();
        EXPECT_FALSE(inked.isEmpty()) << c.align;
        EXPECT_TRUE(c.expectedInside.contains(inked)) << c.align;
        EXPECT_GT(extent.cx, 10);
        EXPECT_LE(inked.width(), extent.cx);
        painter.begin(&image);
    }
    Finish();
}

TEST_F(DrawingSurfaceTest, TurnedTextRunsUpwards) {
    QtDrawingSurface surface(painter, image.rect());
    CDC dc(&surface);
    CFont font;
    LOGFONT logFont;
    logFont.lfHeight = -12;
    logFont.lfEscapement = 900;
    font.CreateFontIndirect(&logFont);
    dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    dc.TextOut(20, 40, "Position");
    Finish();
    const QRect inked = Inked();
    EXPECT_GT(inked.height(), inked.width() * 2);
    EXPECT_GE(inked.left(), 20);  // the top of the letters faces left: the text hangs right
}

TEST(DeviceContextTest, KeepsItsStateWithoutASurface) {
    CDC dc;
    dc.SetTextColor(RGB(1, 2, 3));
    const int level = dc.SaveDC();
    dc.SetTextColor(RGB(4, 5, 6));
    EXPECT_TRUE(dc.RestoreDC(level));
    EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));
    EXPECT_FALSE(dc.RestoreDC(-1));  // nothing saved any more
    EXPECT_TRUE(dc.LineTo(5, 5));    // draws nowhere, harmlessly
}

}  // namespace
