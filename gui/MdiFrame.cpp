#include "gui/MdiFrame.h"

#include "gui/Dialogs.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStatusTipEvent>
#include <QTextCursor>
#include <QTextEdit>

namespace gui {

void SetHint(QAction* action, const QString& hint) {
    const qsizetype bar = hint.indexOf('|');
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

QAction* MakeCommand(QWidget* owner, const char* name, const char* text, const char* hint, QKeyCombination shortcut,
                     const TIcon& icon, TCommandStyle style) {
    auto* action = new QAction(QString::fromUtf8(text), owner);
    action->setObjectName(QString::fromLatin1(name));
    if (shortcut.key() != Qt::Key_unknown) action->setShortcut(QKeySequence(shortcut));
    if (icon.Drawn)
        action->setIcon(icon.Drawn());
    else if (icon.Standard != QStyle::SP_CustomBase)
        action->setIcon(owner->style()->standardIcon(icon.Standard));
    if (hint) SetHint(action, QString::fromUtf8(hint));
    action->setCheckable(style != TCommandStyle::Button);
    return action;
}

void AddActions(QWidget* menuOrToolBar, std::initializer_list<QAction*> actions) {
    for (QAction* action : actions) {
        if (!action) {
            action = new QAction(menuOrToolBar);
            action->setSeparator(true);
        }
        menuOrToolBar->addAction(action);
    }
}

bool ShowStatusTip(QEvent* event, QLabel* panel0) {
    if (event->type() != QEvent::StatusTip) return false;
    panel0->setText(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
}

void ShowOpenError(QWidget* parent) { ShowBox(parent, TBoxKind::Error, QString::fromUtf8(FileOpenErrorText)); }

void BringToFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

void FillWindowList(QMenu* menu, QAction* separator, QMdiArea* area, bool numbered) {
    const QList<QAction*> actions = menu->actions();
    for (qsizetype i = actions.indexOf(separator) + 1; i < actions.size(); ++i) {
        menu->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    const QList<QMdiSubWindow*> windows = area->subWindowList(QMdiArea::CreationOrder);
    separator->setVisible(!windows.isEmpty());
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        ++number;
        QString text = window->windowTitle();
        if (numbered)
            text.prepend(number < 10 ? QStringLiteral("&%1 ").arg(number) : QStringLiteral("%1 ").arg(number));
        QAction* item = menu->addAction(text);
        item->setCheckable(true);
        item->setChecked(window == area->currentSubWindow());
        QObject::connect(item, &QAction::triggered, area, [area, target = QPointer<QMdiSubWindow>(window)] {
            if (target) area->setActiveSubWindow(target);
        });
    }
}

int FindForward(const QString& text, const QString& what, int start) {
    if (what.isEmpty() || start < 0 || start > text.size()) return -1;
    return static_cast<int>(text.indexOf(what, start, Qt::CaseInsensitive));
}

namespace {

template <class Edit>
bool FindNextIn(QWidget* boxParent, Edit& edit, const QString& what) {
    QTextCursor cursor = edit.textCursor();
    const int start = cursor.hasSelection() ? cursor.selectionEnd() : 0;
    const int found = FindForward(edit.document()->toPlainText(), what, start);
    if (found < 0) {
        ShowBox(boxParent, TBoxKind::Information, QStringLiteral("Ne najdem besede \"%1\"").arg(what));
        return false;
    }
    edit.setFocus();
    cursor.setPosition(found);
    cursor.setPosition(found + static_cast<int>(what.size()), QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
    return true;
}

}  // namespace

bool FindNext(QWidget* boxParent, QTextEdit& edit, const QString& what) { return FindNextIn(boxParent, edit, what); }

bool FindNext(QWidget* boxParent, QPlainTextEdit& edit, const QString& what) {
    return FindNextIn(boxParent, edit, what);
}

}  // namespace gui
