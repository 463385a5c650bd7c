#pragma once
#include <QWidget>

class QLabel;
class QPushButton;

// What the clock's window shows while its start has failed: what went
// wrong, and the two ways on, Retry and Quit.
class StartFailurePanel : public QWidget
{
    Q_OBJECT
public:
    explicit StartFailurePanel(QWidget *parent = nullptr);

    void setError(const QString &error);
    QString text() const;
    QPushButton *retryButton() const { return m_retry; }
    QPushButton *quitButton() const { return m_quit; }

signals:
    void retry();
    void quit();

private:
    QLabel *m_text = nullptr;
    QPushButton *m_retry = nullptr;
    QPushButton *m_quit = nullptr;
};
