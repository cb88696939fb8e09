#include "shell/kit/Artwork.h"

#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace zentimo {

namespace {

constexpr QSize kPanelSize{692, 124};
constexpr QRgb kSurround = 0xFFFEFEFE;     // the shaping code cuts this colour away
constexpr QRgb kForbiddenRed = 0xFFFF0000; // the message window's back colour, which ends a shaping row

QFont uiFont(qreal pixelSize, QFont::Weight weight)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setWeight(weight);
    return font;
}

// Horizontal streaks of a brushed steel sheet; the fixed seed keeps every run's picture identical.
QImage brushedMetal(QSize size, std::uint32_t seed, int topLevel, int bottomLevel)
{
    QImage img(size, QImage::Format_RGB32);
    std::mt19937 rng(seed);
    auto unit = [&rng] { return double(rng()) / double(std::mt19937::max()) - 0.5; };

    const int w = size.width();
    const int h = size.height();
    constexpr int reach = 24;
    std::vector<double> raw(std::size_t(w + 2 * reach));
    for (int y = 0; y < h; ++y) {
        for (double& v : raw) {
            v = unit();
        }
        const double rowShift = unit() * 5.0;
        const double base = topLevel + (bottomLevel - topLevel) * (h > 1 ? double(y) / (h - 1) : 0.0);
        double window = 0;
        for (int i = 0; i < 2 * reach + 1; ++i) {
            window += raw[std::size_t(i)];
        }
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double streak = window / (2 * reach + 1) * 150.0;
            const double grain = raw[std::size_t(x + reach)] * 5.0;
            const double sheen = 12.0 * std::exp(-std::pow((x - 0.28 * w) / (0.30 * w), 2.0)) - 5.0;
            const int level = int(std::lround(base + rowShift + streak + grain + sheen));
            line[x] = qRgb(std::clamp(level - 3, 0, 248), std::clamp(level - 1, 0, 249),
                           std::clamp(level + 3, 0, 250));
            if (x + 2 * reach + 1 < int(raw.size())) {
                window += raw[std::size_t(x + 2 * reach + 1)] - raw[std::size_t(x)];
            }
        }
    }
    return img;
}

// Text sunk into the metal: a light edge below, the dark letters on top.
void drawEngraved(QPainter& p, const QPointF& baseline, const QString& text, const QColor& ink)
{
    p.setPen(QColor(255, 255, 255, 150));
    p.drawText(baseline + QPointF(0, 1), text);
    p.setPen(ink);
    p.drawText(baseline, text);
}

void drawScrew(QPainter& p, const QPointF& centre, qreal radius)
{
    QRadialGradient body(centre - QPointF(radius * 0.35, radius * 0.35), radius * 1.4);
    body.setColorAt(0, QColor(246, 247, 249));
    body.setColorAt(0.6, QColor(170, 173, 180));
    body.setColorAt(1, QColor(110, 113, 120));
    p.setPen(QPen(QColor(70, 73, 80), 0.8));
    p.setBrush(body);
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(QColor(60, 62, 68), 1.3, Qt::SolidLine, Qt::RoundCap));
    const QPointF d(radius * 0.55, -radius * 0.55);
    const QPointF e(radius * 0.55, radius * 0.55);
    p.drawLine(centre - d, centre + d);
    p.drawLine(centre - e, centre + e);
}

// The stopwatch mark is laid out on a 256-unit square drawn px pixels wide; fine details are left out where
// they would only blur.
struct WatchScale {
    qreal px;
    qreal unit;
};

// A stroke of at least the given pixels.
qreal atLeast(const WatchScale& s, qreal pixels, qreal units)
{
    return qMax(pixels / s.unit, units);
}

qreal dialRadius(const WatchScale& s)
{
    return s.px >= 24 ? 86 : 82;
}

constexpr QPointF kWatchCentre(128, 146);
constexpr QRgb kWatchOutline = qRgb(48, 51, 58);

// Crown and pushers first, so the case overlaps their feet.
void paintCrown(QPainter& p, const WatchScale& s)
{
    QLinearGradient steel(0, 0, 256, 0);
    steel.setColorAt(0, QColor(120, 124, 132));
    steel.setColorAt(0.45, QColor(236, 238, 242));
    steel.setColorAt(1, QColor(112, 116, 124));
    p.setPen(QPen(QColor(kWatchOutline), atLeast(s, 1.0, 5)));
    p.setBrush(steel);
    p.drawRect(QRectF(114, 18, 28, 30));
    p.drawRoundedRect(QRectF(96, 2, 64, 24), 8, 8);
    if (s.px >= 32) {
        for (const qreal angle : {-42.0, 42.0}) {
            p.save();
            p.translate(kWatchCentre);
            p.rotate(angle);
            p.drawRoundedRect(QRectF(-14, -126, 28, 22), 5, 5);
            p.restore();
        }
    }
}

// Polished steel case, the lip between case and dial shaded as if sunk in, and the dial.
void paintCase(QPainter& p, const WatchScale& s)
{
    QConicalGradient polish(kWatchCentre, 90);
    polish.setColorAt(0.00, QColor(250, 251, 253));
    polish.setColorAt(0.12, QColor(150, 154, 162));
    polish.setColorAt(0.30, QColor(230, 232, 236));
    polish.setColorAt(0.50, QColor(120, 124, 132));
    polish.setColorAt(0.68, QColor(214, 217, 222));
    polish.setColorAt(0.85, QColor(138, 142, 150));
    polish.setColorAt(1.00, QColor(250, 251, 253));
    p.setPen(QPen(QColor(kWatchOutline), atLeast(s, 1.0, 4)));
    p.setBrush(polish);
    p.drawEllipse(kWatchCentre, 108, 108);

    QLinearGradient lip(0, 40, 0, 252);
    lip.setColorAt(0, QColor(70, 73, 80));
    lip.setColorAt(1, QColor(210, 213, 218));
    p.setPen(Qt::NoPen);
    p.setBrush(lip);
    p.drawEllipse(kWatchCentre, 92, 92);

    QRadialGradient face(kWatchCentre - QPointF(24, 30), 130);
    face.setColorAt(0, QColor(255, 255, 253));
    face.setColorAt(1, QColor(220, 223, 228));
    p.setBrush(face);
    p.drawEllipse(kWatchCentre, dialRadius(s), dialRadius(s));
}

QPointF watchDirection(qreal radians)
{
    return QPointF(std::sin(radians), -std::cos(radians));
}

// Minutes only where they can be told apart.
void paintTicks(QPainter& p, const WatchScale& s)
{
    p.setPen(QPen(QColor(40, 42, 48), atLeast(s, 1.0, 3), Qt::SolidLine, Qt::FlatCap));
    if (s.px >= 96) {
        for (int i = 0; i < 60; ++i) {
            if (i % 5 == 0) {
                continue;
            }
            const qreal a = qDegreesToRadians(i * 6.0);
            p.drawLine(kWatchCentre + watchDirection(a) * 76, kWatchCentre + watchDirection(a) * 82);
        }
    }
    const int majorTicks = s.px >= 32 ? 12 : 4;
    p.setPen(QPen(QColor(30, 32, 38), atLeast(s, 1.2, 8), Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < majorTicks; ++i) {
        const qreal a = qDegreesToRadians(i * 360.0 / majorTicks);
        const qreal inner = (i * 12 / majorTicks) % 3 == 0 ? 58 : 66;
        p.drawLine(kWatchCentre + watchDirection(a) * inner, kWatchCentre + watchDirection(a) * 82);
    }
}

// A short dark hand and the long red sweep hand, on their hub.
void paintHands(QPainter& p, const WatchScale& s)
{
    auto hand = [&](qreal degrees, qreal length, qreal tail, qreal width, const QColor& colour) {
        const QPointF dir = watchDirection(qDegreesToRadians(degrees));
        p.setPen(QPen(colour, atLeast(s, 1.2, width), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(kWatchCentre - dir * tail, kWatchCentre + dir * length);
    };
    hand(-60, 48, 0, 12, QColor(36, 38, 44));
    hand(40, 74, s.px >= 48 ? 20 : 0, 5, QColor(204, 26, 20));

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(36, 38, 44));
    p.drawEllipse(kWatchCentre, atLeast(s, 1.5, 11), atLeast(s, 1.5, 11));
    if (s.px >= 48) {
        p.setBrush(QColor(204, 26, 20));
        p.drawEllipse(kWatchCentre, 5, 5);
    }
}

// A soft reflection on the glass.
void paintGlare(QPainter& p, const WatchScale& s)
{
    if (s.px < 32)
        return;
    QPainterPath glare;
    glare.addEllipse(kWatchCentre, dialRadius(s) - 4, dialRadius(s) - 4);
    QPainterPath cut;
    cut.addEllipse(kWatchCentre + QPointF(26, 34), dialRadius(s) + 8, dialRadius(s) + 8);
    QLinearGradient shine(60, 60, 160, 180);
    shine.setColorAt(0, QColor(255, 255, 255, 110));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(shine);
    p.drawPath(glare.subtracted(cut));
}

void paintStopwatch(QPainter& p, const QRectF& box)
{
    const WatchScale s{.px = box.width(), .unit = box.width() / 256.0};
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.topLeft());
    p.scale(s.unit, s.unit);
    paintCrown(p, s);
    paintCase(p, s);
    paintTicks(p, s);
    paintHands(p, s);
    paintGlare(p, s);
    p.restore();
}

// A pixel belongs to the panel or is exactly the surround, never a blend of the two; and the two colours
// the shaping code relies on stay out of the panel itself.
QImage flattenOntoSurround(const QImage& layer)
{
    const QImage straight = layer.convertToFormat(QImage::Format_ARGB32);
    QImage img = straight.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const auto* alpha = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            if (qAlpha(alpha[x]) < 128) {
                line[x] = kSurround;
            } else if (line[x] == kSurround) {
                line[x] = qRgb(253, 253, 253);
            } else if (line[x] == kForbiddenRed) {
                line[x] = qRgb(254, 0, 0);
            }
        }
    }
    return img;
}

constexpr qreal kPanelRadius = 18;

QRectF panelOutline()
{
    return QRectF(0.5, 0.5, kPanelSize.width() - 1, kPanelSize.height() - 1);
}

// Brushed metal lit from above, with a bright upper edge, a shaded lower edge and a dark rim.
void paintPanelBody(QPainter& p, const QRect& area)
{
    const QRectF outer = panelOutline();
    QPainterPath shape;
    shape.addRoundedRect(outer, kPanelRadius, kPanelRadius);
    p.setClipPath(shape);
    p.drawImage(0, 0, brushedMetal(kPanelSize, 20240917u, 218, 176));
    QLinearGradient light(0, 0, 0, kPanelSize.height());
    light.setColorAt(0, QColor(255, 255, 255, 70));
    light.setColorAt(0.4, QColor(255, 255, 255, 0));
    light.setColorAt(0.8, QColor(0, 0, 0, 0));
    light.setColorAt(1, QColor(0, 0, 0, 40));
    p.fillRect(area, light);
    p.setClipping(false);

    QLinearGradient bevel(0, 0, 0, kPanelSize.height());
    bevel.setColorAt(0, QColor(255, 255, 255, 230));
    bevel.setColorAt(0.5, QColor(255, 255, 255, 40));
    bevel.setColorAt(1, QColor(0, 0, 0, 90));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(bevel), 1.6));
    p.drawRoundedRect(outer.adjusted(2, 2, -2, -2), kPanelRadius - 2, kPanelRadius - 2);
    p.setPen(QPen(QColor(62, 66, 74), 1.6));
    p.drawRoundedRect(outer.adjusted(0.3, 0.3, -0.3, -0.3), kPanelRadius, kPanelRadius);
}

// The display strip sits in a recess: shadow on top, light catching its lower lip.
void paintStripRecess(QPainter& p)
{
    const QRectF strip(kMessageStripRect);
    QLinearGradient recess(0, strip.top() - 4, 0, strip.bottom() + 4);
    recess.setColorAt(0, QColor(58, 61, 68));
    recess.setColorAt(0.5, QColor(96, 99, 106));
    recess.setColorAt(1, QColor(244, 245, 247));
    p.setPen(Qt::NoPen);
    p.setBrush(recess);
    p.drawRoundedRect(strip.adjusted(-4, -4, 4, 4), 5, 5);
    p.setBrush(QColor(18, 18, 20));
    p.drawRoundedRect(strip.adjusted(-2, -2, 2, 2), 3, 3);
    p.fillRect(strip, Qt::black);
}

// A small indicator light with its engraved label above the strip's right end.
void paintAlarmLamp(QPainter& p)
{
    QFont caps = uiFont(10, QFont::Bold);
    caps.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(caps);
    const QString label = QStringLiteral("ALARM");
    const qreal labelWidth = QFontMetricsF(caps).horizontalAdvance(label);
    const QPointF labelAt(QRectF(kMessageStripRect).right() - labelWidth + 1, 36);
    drawEngraved(p, labelAt, label, QColor(60, 64, 72));
    const QPointF lamp(labelAt.x() - 12, 32);
    QRadialGradient glow(lamp, 9);
    glow.setColorAt(0, QColor(240, 60, 40, 120));
    glow.setColorAt(1, QColor(240, 60, 40, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(lamp, 9, 9);
    QRadialGradient bulb(lamp - QPointF(1.2, 1.2), 4.5);
    bulb.setColorAt(0, QColor(255, 190, 170));
    bulb.setColorAt(0.45, QColor(236, 40, 24));
    bulb.setColorAt(1, QColor(150, 10, 6));
    p.setPen(QPen(QColor(70, 40, 40), 0.8));
    p.setBrush(bulb);
    p.drawEllipse(lamp, 3.8, 3.8);
}

QImage renderPanel()
{
    QImage layer(kPanelSize, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        paintPanelBody(p, layer.rect());
        paintStripRecess(p);
        drawScrew(p, QPointF(14.5, 71.5), 4.5);
        drawScrew(p, QPointF(678.5, 71.5), 4.5);
        // Logo and name at the top left.
        paintStopwatch(p, QRectF(22, 6, 36, 36));
        p.setFont(uiFont(25, QFont::Bold));
        drawEngraved(p, QPointF(64, 34), QStringLiteral("Zentimo"), QColor(46, 50, 58));
        paintAlarmLamp(p);
    }
    return flattenOntoSurround(layer);
}

// The socket the key sits in.
void paintKeySocket(QPainter& p)
{
    const QRectF socket(4.5, 4.5, 73, 61);
    QLinearGradient well(0, socket.top(), 0, socket.bottom());
    well.setColorAt(0, QColor(52, 55, 62));
    well.setColorAt(0.6, QColor(88, 91, 98));
    well.setColorAt(1, QColor(236, 238, 241));
    p.setPen(Qt::NoPen);
    p.setBrush(well);
    p.drawRoundedRect(socket, 10, 10);
    p.setBrush(QColor(34, 36, 41));
    p.drawRoundedRect(socket.adjusted(2, 2, -2, -2), 8, 8);
}

// The metal key domed by light, or shaded when pressed, over the whole of area.
void paintKeyFace(QPainter& p, const QRectF& key, bool pressed, const QRect& area)
{
    QPainterPath keyShape;
    keyShape.addRoundedRect(key, 7, 7);
    p.save();
    p.setClipPath(keyShape);
    p.drawImage(key.topLeft(), brushedMetal(key.size().toSize() + QSize(1, 1), 77u, 238, 190));
    QLinearGradient dome(0, key.top(), 0, key.bottom());
    if (pressed) {
        dome.setColorAt(0, QColor(0, 0, 0, 150));
        dome.setColorAt(0.25, QColor(0, 0, 0, 95));
        dome.setColorAt(1, QColor(0, 0, 0, 70));
    } else {
        dome.setColorAt(0, QColor(255, 255, 255, 110));
        dome.setColorAt(0.5, QColor(255, 255, 255, 0));
        dome.setColorAt(1, QColor(0, 0, 0, 50));
    }
    p.fillRect(area, dome);
    p.restore();
}

void paintKeyLabel(QPainter& p, const QRectF& key, bool pressed)
{
    QFont font = uiFont(13, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(font);
    const QString word = QStringLiteral("CLOSE");
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(word) - 1.5;
    const QPointF baseline(key.center().x() - width / 2, key.center().y() + metrics.capHeight() / 2);
    drawEngraved(p, baseline, word, pressed ? QColor(20, 22, 26) : QColor(40, 44, 52));
}

QImage renderCloseButton(bool pressed)
{
    QImage img =
        messagePanelImage().copy(kCloseButtonRect).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paintKeySocket(p);

    const QPointF shift = pressed ? QPointF(1, 2) : QPointF(0, 0);
    const QRectF key = QRectF(8.5, 7.5, 65, 53).translated(shift);
    if (!pressed) {
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawRoundedRect(key.translated(0, 2.5), 7, 7);
    }
    paintKeyFace(p, key, pressed, img.rect());

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(44, 47, 54), 1.2));
    p.drawRoundedRect(key, 7, 7);
    if (!pressed) {
        p.setPen(QPen(QColor(255, 255, 255, 170), 1.0));
        p.drawLine(key.topLeft() + QPointF(6, 1.5), key.topRight() + QPointF(-6, 1.5));
    }
    paintKeyLabel(p, key, pressed);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage messagePanelImage()
{
    static const QImage panel = renderPanel();
    return panel;
}

QImage closeButtonImage(bool pressed)
{
    static const QImage up = renderCloseButton(false);
    static const QImage down = renderCloseButton(true);
    return pressed ? down : up;
}

QPixmap productLogo()
{
    QImage img(138, 72, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintStopwatch(p, QRectF(2, 6, 60, 60));

    const QString name = QStringLiteral("Zentimo");
    qreal size = 22;
    QFont font = uiFont(size, QFont::Bold);
    while (size > 10 && QFontMetricsF(font).horizontalAdvance(name) > 70) {
        size -= 0.5;
        font = uiFont(size, QFont::Bold);
    }
    p.setFont(font);
    p.setPen(QColor(46, 50, 58));
    p.drawText(QPointF(66, 38), name);

    QFont small = uiFont(9, QFont::Normal);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    p.setFont(small);
    p.setPen(QColor(96, 100, 108));
    p.drawText(QPointF(67, 54), QStringLiteral("timer & alarm"));
    p.end();
    return QPixmap::fromImage(img);
}

namespace {

QFont ledFont()
{
    QFont font(QStringLiteral("DotGothic16"));
    font.setPixelSize(16);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
    if (QFontInfo(font).family() == QStringLiteral("DotGothic16")) {
        return font;
    }
    QFont fallback(QStringLiteral("monospace"));
    fallback.setStyleHint(QFont::Monospace);
    fallback.setBold(true);
    fallback.setPixelSize(14);
    fallback.setStyleStrategy(QFont::NoAntialias);
    return fallback;
}

QImage renderTextBits(const QFont& font, const QString& text)
{
    const QFontMetrics metrics(font);
    QImage canvas(qMax(1, metrics.horizontalAdvance(text)), metrics.height(), QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter p(&canvas);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(0, metrics.ascent(), text);
    return canvas;
}

// The board's top row is the capitals' top row, which leaves room below for descenders.
int firstBoardRow(const QFont& font)
{
    const QImage bits = renderTextBits(font, QStringLiteral("H"));
    for (int y = 0; y < bits.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(bits.constScanLine(y));
        if (std::any_of(line, line + bits.width(), [](QRgb v) { return qGreen(v) > 127; })) {
            return y;
        }
    }
    return 0;
}

// In pieces, so a very long message never needs one huge canvas; a piece never ends inside a character.
QStringList ledPieces(const QString& line)
{
    constexpr int pieceLength = 256;
    QStringList pieces;
    for (qsizetype from = 0; from < line.size();) {
        qsizetype length = qMin<qsizetype>(pieceLength, line.size() - from);
        if (line.at(from + length - 1).isHighSurrogate() && from + length < line.size()) {
            ++length;
        }
        pieces << line.mid(from, length);
        from += length;
    }
    return pieces;
}

// Lights dots from column x0 on where bits is lit, its row top giving the board's first row.
void lightDots(QImage& dots, int x0, const QImage& bits, int top)
{
    for (int row = 0; row < kLedRows && top + row < bits.height(); ++row) {
        const auto* src = reinterpret_cast<const QRgb*>(bits.constScanLine(top + row));
        uchar* dst = dots.scanLine(row);
        for (int x = 0; x < bits.width() && x0 + x < dots.width(); ++x) {
            if (qGreen(src[x]) > 127) {
                dst[x0 + x] = 255;
            }
        }
    }
}

} // namespace

QImage ledDotMatrix(const QString& text)
{
    const QFont font = ledFont();
    const int top = firstBoardRow(font);
    QString line = text;
    for (QChar& c : line) {
        if (c.category() == QChar::Other_Control) {
            c = QLatin1Char(' ');
        }
    }
    const QFontMetrics metrics(font);
    const QStringList pieces = ledPieces(line);
    int width = 0;
    for (const QString& piece : pieces)
        width += metrics.horizontalAdvance(piece);
    QImage dots(width, kLedRows, QImage::Format_Grayscale8);
    if (dots.isNull()) {
        return dots;
    }
    dots.fill(0);
    int x0 = 0;
    for (const QString& piece : pieces) {
        lightDots(dots, x0, renderTextBits(font, piece), top);
        x0 += metrics.horizontalAdvance(piece);
    }
    return dots;
}

QImage ledImage(bool lit)
{
    QImage img(kLedPitch * 4, kLedPitch * 4, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QPointF centre(img.width() / 2.0, img.height() / 2.0);
    const qreal radius = img.width() * 0.42;
    QRadialGradient g(centre - QPointF(radius * 0.25, radius * 0.25), radius * 1.1);
    if (lit) {
        g.setColorAt(0, QColor(255, 150, 120));
        g.setColorAt(0.35, QColor(240, 40, 24));
        g.setColorAt(0.8, QColor(192, 0, 0));
        g.setColorAt(1, QColor(150, 0, 0));
    } else {
        g.setColorAt(0, QColor(64, 18, 16));
        g.setColorAt(1, QColor(34, 6, 6));
    }
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
    p.end();
    // Drawn large and reduced, for an evenly round dot.
    return img.scaled(kLedPitch, kLedPitch, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage ledBoardImage(QSize size)
{
    QImage board(size, QImage::Format_RGB32);
    if (board.isNull()) {
        return board;
    }
    board.fill(Qt::black);
    const QImage dot = ledImage(false);
    QPainter p(&board);
    for (int y = 0; y < size.height(); y += kLedPitch) {
        for (int x = 0; x < size.width(); x += kLedPitch) {
            p.drawImage(x, y, dot);
        }
    }
    return board;
}

QList<int> programIconSizes()
{
    return {16, 22, 24, 32, 48, 64, 128, 256};
}

QImage programIconImage(int size)
{
    size = std::clamp(size, 1, 1024);
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    paintStopwatch(p, QRectF(0, 0, size, size));
    p.end();
    return img;
}

QIcon programIcon()
{
    // Painted once and shared by every window and the tray; kept to the end of the program.
    static const QIcon* const icon = [] {
        auto* built = new QIcon;
        for (const int size : programIconSizes())
            built->addPixmap(QPixmap::fromImage(programIconImage(size)));
        return built;
    }();
    return *icon;
}

bool writeProgramIcons(const QString& folder)
{
    for (const int size : programIconSizes()) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        if (!QDir().mkpath(dir) || !programIconImage(size).save(dir + QStringLiteral("/zentimo.png"), "PNG"))
            return false;
    }
    return true;
}

} // namespace zentimo
