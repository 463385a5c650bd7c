#pragma once
#include "MessageBoxes.h"
#include "ProgramFolder.h"
#include "TTable.h"

#include <QColor>
#include <QImage>
#include <QStringList>

#include <deque>
#include <memory>

class TfClock;

QImage solid(int width, int height, const QColor &colour);

// One item of a package's catalogue; the pictures default to small solid
// squares so that copies can be told apart.
struct CatalogueItem
{
    CatalogueItem(const QString &category, const QString &name, qint32 version = 100, const QString &notes = {},
                  qint32 number = 0, bool flag = false)
        : category(category), name(name), version(version), notes(notes), number(number), flag(flag)
    {
    }
    QString category;
    QString name;
    qint32 version;
    QString notes;
    qint32 number; // goes into every integer field
    bool flag;     // goes into every boolean field
};

// A program folder with all ten tables and helpers to fill them.
class SkinFolder : public ProgramFolder
{
public:
    void addItem(const QString &table, const QString &name, const QImage &picture = solid(4, 4, Qt::red),
                 const QString &notes = QString());
    void addProduct(const QStringList &fieldValues); // Title, Copyright, Copyright2, Website, WebURL2, WebName2, Download
    // A clock started on this folder (tables open, settings read).
    std::unique_ptr<TfClock> startClock(const QByteArray &settings = QByteArray());
};

// Writes a Skins table with the items into folder + "Skins.db".
void writeCatalogue(const QString &folder, const QVector<CatalogueItem> &items);
QStringList namesOf(TTable &table);

// Answers the dialogs' questions in place of a person and keeps what was asked.
class ScriptedAnswers
{
public:
    ScriptedAnswers();
    ~ScriptedAnswers();
    void answer(QMessageBox::StandardButton b) { m_answers.push_back(b); }
    QVector<MessageRequest> asked;

private:
    std::deque<QMessageBox::StandardButton> m_answers;
};

// Collects error reports instead of showing them.
class CollectedErrors
{
public:
    CollectedErrors();
    ~CollectedErrors();
    QStringList texts;
};

// Builds a ZIP dated 2024-01-01: each entry is (name inside the archive,
// file whose bytes it holds); names are kept exactly as given. A source
// "@zeros:N" stands for N MiB of zero bytes, deflated.
// method: "deflate", "store" or "bzip2".
void zipFiles(const QString &zipFile, const QVector<QPair<QString, QString>> &entries,
              const QString &method = "deflate");
