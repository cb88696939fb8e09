#pragma once
// Form2: the alarm message window, a borderless always-on-top panel cut to the outline of its picture, with
// the message scrolling across an LED strip like a display board.
//   Picture1  the black display strip           Label1  the message inside it (Left kept in twips)
//   Pictureb  the Close button picture           Timer1  one scroll step per tick
//   ImageList1  the Close button up (1) and pressed (2)

#include "shell/cTrimmer.h"

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>

class QLabel;
class QTimer;

namespace zentimo {

class Form2 : public QWidget {
    Q_OBJECT
public:
    // Loads the window on first use (shaped, Close button up, topmost, centred) and shows it without
    // blocking; when it is already open, the text restarts from the right with the new message. Returns the
    // one window.
    static Form2* ShowAlarm(const QString& message);

    // The open message window, or nullptr when there is none.
    static Form2* current();

    ~Form2() override;

    QString message() const;
    int labelLeftTwips() const;
    // Moves the message; the alarm puts it at stripScaleWidthTwips() so it enters from the right.
    void setLabelLeftTwips(int twips);
    int stripScaleWidthTwips() const;
    // The window's back colour, 0x00BBGGRR; the shape stops at it.
    std::uint32_t backColor() const;

    // One Timer1 tick: the message moves 25 twips left and re-enters at the right once it has left the strip.
    void scrollStep();

Q_SIGNALS:
    // Emitted before the window unloads (Close clicked or program exit); unloading is never cancelled.
    void queryUnload();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Form2();
    void buildStrip();
    void buildCloseButton();
    void Form_Load();
    void setMessage(const QString& message);
    void paintStrip();
    void showButtonImage(int index);
    void Pictureb_MouseDown();
    void Pictureb_MouseUp();
    void Pictureb_Click();

    cTrimmer m_trimmer;
    QImage m_picture;
    QWidget* Picture1 = nullptr;
    QWidget* Label1 = nullptr;
    QLabel* Pictureb = nullptr;
    QTimer* Timer1 = nullptr;
    std::array<QPixmap, 2> ImageList1;

    QString m_message;
    QImage m_dots;  // the message as a dot matrix, one pixel per LED
    QImage m_board; // the unlit LEDs behind it
    QImage m_litLed;
    int m_labelLeft = 0;  // twips
    int m_labelWidth = 0; // twips
    bool m_buttonHeld = false;
    bool m_unloaded = false;
};

} // namespace zentimo
