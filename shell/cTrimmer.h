#pragma once
// cTrimmer: cuts a window to the outline of its background picture.

#include <QImage>
#include <QRegion>
#include <cstdint>

class QWidget;

namespace zentimo {

class cTrimmer {
public:
    // Masks Frm to the pixels of picture (drawn at the window's top-left) that differ from the picture's
    // top-left pixel. backColor (0x00BBGGRR, or a system colour) is the window's back colour: a pixel of it
    // ends the row, and so does the window area beyond the picture. A null picture leaves the window as it
    // is.
    void TrimForm(QWidget* Frm, const QImage& picture, std::uint32_t backColor) const;

    // Starts moving Frm's window with the mouse, as a press on a title bar would; lbl is not used.
    void GrabForm(QWidget* Frm = nullptr, QWidget* lbl = nullptr) const;

    // The shape of picture: one-pixel-high runs, right- and bottom-exclusive, of pixels that are neither the
    // background (pixel (0,0)) nor after a stopColour pixel in their row. Alpha is ignored.
    static QRegion regionFor(const QImage& picture, QRgb stopColour);
};

} // namespace zentimo
