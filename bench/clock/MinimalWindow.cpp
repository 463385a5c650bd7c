// The yardstick for the clock's idle cost: the least a Qt 6 program can do
// to show a frameless window that repaints every 200 ms.
#include <QApplication>
#include <QPainter>
#include <QTime>
#include <QTimer>
#include <QWidget>

class Minimal : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.drawText(rect(), Qt::AlignCenter, QTime::currentTime().toString());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Minimal w;
    w.setWindowTitle("Minimal Qt window");
    w.setWindowFlags(Qt::FramelessWindowHint);
    w.resize(300, 400);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &w, qOverload<>(&QWidget::update));
    timer.start(200);
    w.show();
    return app.exec();
}
