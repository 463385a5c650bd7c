#pragma once
#include "DialogPlacement.h"

#include <QDialog>

#include <optional>

class QLabel;
class QPushButton;
class QTabBar;
class QToolButton;
class SkinPreview;
class TTable;
class TfClock;

// "Select Skin": browses the clock's five skin tables, puts an item into
// use and removes items. Browsing moves the clock's own tables; closing puts
// them back on the items in use.
class TfPickSkins : public QDialog
{
    Q_OBJECT
public:
    explicit TfPickSkins(TfClock *clock, QWidget *parent = nullptr);
    ~TfPickSkins() override;

    void FormActivate();
    void FormClose();
    void PageControl1Change();
    void btnApplyClick();
    void btnRemoveClick();
    void UpdatePreviews();

    // Tab order: Clock, Dial, Hands, Head, Body.
    QTabBar *PageControl1;
    QLabel *lblName, *lblNotes;
    SkinPreview *imgPreview;
    QToolButton *navFirst, *navPrior, *navNext, *navLast;
    QPushButton *btnApply, *btnRemove, *btnClose;

    bool SavedFadeEnabled() const { return m_fade ? m_fade->SavedFadeEnabled() : false; }

    // The text shown when the last item of a table is to be removed.
    static QString lastItemText();

protected:
    void showEvent(QShowEvent *e) override;
    void done(int r) override;

private:
    struct Slot
    {
        TTable *table;
        QString *name;
        qint32 *recNo;
    };
    Slot slot(int tab) const;
    TTable *tabTable() const;
    void bindLabels();
    void navigate(void (TTable::*move)());

    TfClock *m_clock;
    std::optional<FadePause> m_fade;
    QMetaObject::Connection m_binding;
    bool m_opened = false;
    bool m_closed = false;
};
