// What the programs' MDI frames share: their commands made from a table of
// rows, hints shown in status panel 0, the open-error box, bringing a window
// to the front, the list of MDI children in the window menu, and find-next
// in a text control with its message.
#pragma once

#include "gui/Guard.h"

#include <QAction>
#include <QIcon>
#include <QKeyCombination>
#include <QString>
#include <QStyle>

#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>

class QEvent;
class QLabel;
class QMdiArea;
class QMenu;
class QPlainTextEdit;
class QTextEdit;

namespace gui {

// A command's picture: one of the style's or one the program draws.
struct TIcon {
    QStyle::StandardPixmap Standard = QStyle::SP_CustomBase;  // SP_CustomBase: not the style's
    QIcon (*Drawn)() = nullptr;
};
constexpr TIcon StandardIcon(QStyle::StandardPixmap pixmap) { return {pixmap, nullptr}; }
constexpr TIcon DrawnIcon(QIcon (*draw)()) { return {QStyle::SP_CustomBase, draw}; }

enum class TCommandStyle {
    Button,       // runs when triggered
    CheckButton,  // keeps a checked state; runs when triggered
    Switch,       // keeps a checked state; runs whenever it changes, also when set in code
};

// One row of a frame's command table: the action it makes under the
// component's name (its objectName), with text, hint ("short|long"),
// shortcut, icon and handler. The handler takes no argument, or the action
// itself where one handler serves several components.
template <class Form>
struct TCommandRow {
    QAction* Form::*Action;
    const char* Name;
    const char* Text;          // UTF-8
    const char* Hint;          // UTF-8; nullptr for none
    QKeyCombination Shortcut;  // Qt::Key_unknown for none
    TIcon Icon;
    void (Form::*Handler)();
    TCommandStyle Style = TCommandStyle::Button;
    void (Form::*SenderHandler)(QAction* sender) = nullptr;
};

// A hint "short|long": the short part is the tool tip, the long one the
// status tip that panel 0 shows. Without a bar both are the whole hint.
void SetHint(QAction* action, const QString& hint);

// An action as a row describes it, without its handler.
QAction* MakeCommand(QWidget* owner, const char* name, const char* text, const char* hint, QKeyCombination shortcut,
                     const TIcon& icon, TCommandStyle style);

// Makes every row's action, stores it in its member and connects its handler
// guarded, so no exception reaches the event loop.
template <class Form>
void CreateCommands(Form* form, std::span<const TCommandRow<Form>> rows) {
    for (const TCommandRow<Form>& row : rows) {
        QAction* action = MakeCommand(form, row.Name, row.Text, row.Hint, row.Shortcut, row.Icon, row.Style);
        form->*row.Action = action;
        auto run = [form, action, row] {
            if (row.SenderHandler)
                (form->*row.SenderHandler)(action);
            else
                (form->*row.Handler)();
        };
        if (row.Style == TCommandStyle::Switch)
            ConnectGuarded(action, &QAction::toggled, form, run);
        else
            ConnectGuarded(action, &QAction::triggered, form, run);
    }
}

// Places the actions on a menu or a tool bar in order; nullptr stands for a
// separator.
void AddActions(QWidget* menuOrToolBar, std::initializer_list<QAction*> actions);

// A frame's component by its name (an action, a menu, ...), for tests and
// the screenshot programs; throws when there is none.
template <class T = QAction>
T* Component(const QObject& owner, const char* name) {
    T* found = owner.findChild<T*>(QString::fromLatin1(name));
    if (!found) throw std::logic_error(std::string("no component named ") + name);
    return found;
}

// An event() override's part for the hints: a status tip goes to panel 0
// (QStatusBar would otherwise show it over the panels). True when taken.
bool ShowStatusTip(QEvent* event, QLabel* panel0);

// "Napaka pri odpiranju datoteke!" in an error box.
void ShowOpenError(QWidget* parent);

// Shown, raised and activated.
void BringToFront(QWidget* window);

// The window menu's list of MDI children after `separator`, rebuilt each time
// the menu opens: the children in creation order, the current one checked,
// each item activating its child. Numbered items read "&1 Caption" (up to
// 9, then "10 Caption"); the separator is shown only with children.
void FillWindowList(QMenu* menu, QAction* separator, QMdiArea* area, bool numbered);

// Where a find-next finds `what` in `text`: forwards from `start`, letter
// case ignored, no wrap; -1 when not found.
int FindForward(const QString& text, const QString& what, int start);

// One find-next in the control: from the end of the selection, or from the
// start of the text when nothing is selected (not from the caret). Found:
// the control gets the focus and the match is selected. Not found: the
// information box "Ne najdem besede "<what>"", and the selection stays.
bool FindNext(QWidget* boxParent, QTextEdit& edit, const QString& what);
bool FindNext(QWidget* boxParent, QPlainTextEdit& edit, const QString& what);

}  // namespace gui
