#include "shell/cTrimmer.h"

#include "shell/kit/WinColor.h"

#include <QPainter>
#include <QWidget>
#include <QWindow>

namespace zentimo {

void cTrimmer::TrimForm(QWidget* Frm, const QImage& picture, std::uint32_t backColor) const
{
    if (!Frm || picture.isNull()) {
        return;
    }
    const QRgb stop = fromWinColor(backColor).rgb();

    // What the window shows: its back colour with the picture on top, cut to its client size.
    QImage surface(Frm->size(), QImage::Format_RGB32);
    if (surface.isNull()) {
        return;
    }
    surface.fill(stop);
    {
        QPainter p(&surface);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, picture.convertToFormat(QImage::Format_RGB32));
    }
    Frm->setMask(regionFor(surface, stop));
}

void cTrimmer::GrabForm(QWidget* Frm, QWidget* lbl) const
{
    Q_UNUSED(lbl);
    if (!Frm) {
        return;
    }
    if (QWindow* handle = Frm->window()->windowHandle()) {
        handle->startSystemMove();
    }
}

QRegion cTrimmer::regionFor(const QImage& picture, QRgb stopColour)
{
    QRegion region;
    if (picture.isNull()) {
        return region;
    }
    const QImage img = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb rgbMask = 0x00FFFFFF;
    const QRgb stop = stopColour & rgbMask;
    const QRgb background = img.pixel(0, 0) & rgbMask;

    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int start = -1;
        int x = 0;
        for (; x < img.width(); ++x) {
            const QRgb c = line[x] & rgbMask;
            if (c == stop) {
                break;
            }
            if (c == background) {
                if (start > -1) {
                    region += QRect(start, y, x - start, 1);
                    start = -1;
                }
            } else if (start == -1) {
                start = x;
            }
        }
        if (start > -1) {
            region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

} // namespace zentimo
