#pragma once
#include "ClockDialog.h"
#include "SkinSelection.h"

#include <functional>

class QLabel;
class QPushButton;
class QTabBar;
class QToolButton;
class SkinPreview;
class TTable;

// "Select Skin": browses the clock's five skin tables, puts an item into
// use and removes items. Browsing moves the clock's own tables; closing puts
// them back on the items in use. rebuildFace builds the face anew from the
// items in use; itemRemoved is told when an item is removed.
class TfPickSkins : public ClockDialog
{
    Q_OBJECT
public:
    TfPickSkins(ClockWindow *clock, const SkinSelection &skins, std::function<void()> rebuildFace,
                std::function<void()> itemRemoved, QWidget *parent = nullptr);
    ~TfPickSkins() override;

    void FormActivate() override;
    void FormClose() override;
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

    bool SavedFadeEnabled() const { return savedFadeEnabled(); }

    // The text shown when the last item of a table is to be removed.
    static QString lastItemText();

private:
    const SkinPart &tabPart() const;
    TTable *tabTable() const;
    void bindLabels();
    void navigate(void (TTable::*move)());

    SkinSelection m_skins;
    std::function<void()> m_rebuildFace;
    std::function<void()> m_itemRemoved;
    QMetaObject::Connection m_binding;
};
