#include "StartFailurePanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

StartFailurePanel::StartFailurePanel(QWidget *parent) : QWidget(parent)
{
    setObjectName("startFailure");
    // The clock's window paints nothing of its own while it has no face.
    setAutoFillBackground(true);
    m_text = new QLabel(this);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setMinimumWidth(400);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_retry = new QPushButton(tr("&Retry"), this);
    m_quit = new QPushButton(tr("&Quit"), this);
    m_retry->setDefault(true);
    connect(m_retry, &QPushButton::clicked, this, &StartFailurePanel::retry);
    connect(m_quit, &QPushButton::clicked, this, &StartFailurePanel::quit);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_retry);
    buttons->addWidget(m_quit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
}

void StartFailurePanel::setError(const QString &error)
{
    m_text->setText(tr("Zindle Clock could not start:\n\n%1\n\n"
                       "Put right what is named above (for example, restore the damaged file), then press Retry. "
                       "Quit ends the program.")
                        .arg(error));
}

QString StartFailurePanel::text() const { return m_text->text(); }
