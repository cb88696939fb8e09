// The yardstick for the benchmarks: the least a Qt 6 Widgets program showing a once-a-second clock
// costs on this machine. Zentimo's figures are read against it.

#include <QApplication>
#include <QLabel>
#include <QTime>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel label;
    label.setWindowTitle(QStringLiteral("Baseline"));
    label.setAlignment(Qt::AlignCenter);
    label.resize(231, 134);
    const auto tick = [&label] { label.setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss"))); };
    tick();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, tick);
    timer.start(1000);
    label.show();
    return QApplication::exec();
}
