#include "shell/kit/GradientMod.h"

#include "shell/kit/Twips.h"
#include "shell/kit/WinColor.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace zentimo {

namespace {

// Halves go to the even neighbour, whatever rounding mode the process happens to be in.
int roundHalfEven(double value)
{
    const double nearest = std::round(value);
    if (std::abs(value - std::trunc(value)) == 0.5) {
        return int(2.0 * std::round(value / 2.0));
    }
    return int(nearest);
}

} // namespace

QList<GradientBand> gradientBands(double outerHeightTwips, int red, int green, int blue, int direction,
                                  bool useSystemColour, const QColor& systemColour)
{
    const int h = roundHalfEven(outerHeightTwips / kGradientBands);
    int y1 = direction == 1 ? 0 : roundHalfEven(outerHeightTwips - h);
    int r = std::clamp(red, 0, 255);
    int g = std::clamp(green, 0, 255);
    int b = std::clamp(blue, 0, 255);

    QList<GradientBand> bands;
    bands.reserve(kGradientBands);
    for (int i = 0; i < kGradientBands; ++i) {
        if (useSystemColour) {
            bands.append({y1, y1 + h, systemColour});
        } else {
            bands.append({y1, y1 + h, QColor(r, g, b)});
            r = std::max(0, r - 4);
            g = std::max(0, g - 4);
            b = std::max(0, b - 4);
        }
        y1 = direction == 1 ? y1 + h : y1 - h;
    }
    return bands;
}

QSize gradientOuterSize(const QWidget* target)
{
    if (!target) {
        return {};
    }
    const QSize client = target->size();
    if (!target->isWindow() || target->windowFlags().testFlag(Qt::FramelessWindowHint)) {
        return client;
    }
    if (const QWindow* handle = target->windowHandle(); handle && target->isVisible()) {
        const QMargins frame = handle->frameMargins();
        if (!frame.isNull()) {
            return client.grownBy(frame);
        }
    }
    // Not framed yet (gradients are usually painted at load, before the first show).
    return client + QSize(2 * kEstimatedBorder, kEstimatedTitleBar + 2 * kEstimatedBorder);
}

void PaintGradient(QWidget* target, int red, int green, int blue, int direction, bool UseSystemColour)
{
    if (!target || target->size().isEmpty()) {
        return;
    }
    const QSize outer = gradientOuterSize(target);
    const QList<GradientBand> bands =
        gradientBands(pixelsToTwips(outer.height()), red, green, blue, direction, UseSystemColour,
                      fromWinColor(kSystemButtonFace));

    // Bands that do not reach an edge leave what was there before, as on a persistent drawing surface.
    const qreal ratio = target->devicePixelRatioF();
    const QSize device = (QSizeF(target->size()) * ratio).toSize();
    const QBrush previous = target->palette().brush(QPalette::Window);
    QPixmap canvas;
    if (previous.style() == Qt::TexturePattern && previous.texture().size() == device) {
        canvas = previous.texture().copy();
    } else {
        canvas = QPixmap(device);
        canvas.fill(previous.color());
    }
    canvas.setDevicePixelRatio(ratio);
    {
        QPainter p(&canvas);
        p.scale(1.0 / kTwipsPerPixel, 1.0 / kTwipsPerPixel);
        const qreal width = pixelsToTwips(outer.width());
        for (const GradientBand& band : bands) {
            p.fillRect(QRectF(0, band.top, width, band.bottom - band.top), band.color);
        }
    }

    QPalette pal = target->palette();
    pal.setBrush(QPalette::Window, QBrush(canvas));
    target->setPalette(pal);
    target->setAutoFillBackground(true);
    target->update();
}

void paintBackgroundChoice(QWidget* target, int choice)
{
    if (choice >= 0 && choice < kFlatBackground) {
        const int* rgb = kBackgroundStarts[choice];
        PaintGradient(target, rgb[0], rgb[1], rgb[2], 1, false);
    } else if (choice == kFlatBackground) {
        PaintGradient(target, 0, 0, 0, 1, true);
    }
}

} // namespace zentimo
