// The frames' shared pieces: commands from a table, the window list, find-next.
#include "gui/MdiFrame.h"
#include "gui/DialogAnswers.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace gui {
namespace {

class TForm : public QMainWindow {
public:
    void Open() { ++Opened; }
    void Run() { ++Runs; }
    void Press(QAction* sender) { Pressed = sender; }
    QAction* OpenItem = nullptr;
    QAction* RunSwitch = nullptr;
    QAction* Option = nullptr;
    QAction* Irq = nullptr;
    int Opened = 0;
    int Runs = 0;
    QAction* Pressed = nullptr;
};

TEST(Commands, EachRowMakesItsNamedActionWithTextHintShortcutAndHandler) {
    static const TCommandRow<TForm> rows[] = {
        {&TForm::OpenItem, "OpenItem", "&Odpri", "Odpri!|Odpri datoteko", Qt::CTRL | Qt::Key_O,
         StandardIcon(QStyle::SP_DialogOpenButton), &TForm::Open},
        {&TForm::RunSwitch, "RunSwitch", "Start/Stop", "Start", {}, {}, &TForm::Run, TCommandStyle::Switch},
        {&TForm::Option, "Option", "Možnost", nullptr, {}, {}, &TForm::Run, TCommandStyle::CheckButton},
        {&TForm::Irq, "Irq", "IRQ", nullptr, {}, {}, nullptr, TCommandStyle::Button, &TForm::Press},
    };
    TForm form;
    CreateCommands<TForm>(&form, rows);
    EXPECT_EQ(Component(form, "OpenItem"), form.OpenItem);
    EXPECT_EQ(form.OpenItem->text(), QStringLiteral("&Odpri"));
    EXPECT_EQ(form.OpenItem->toolTip(), QStringLiteral("Odpri!"));
    EXPECT_EQ(form.OpenItem->statusTip(), QStringLiteral("Odpri datoteko"));
    EXPECT_EQ(form.OpenItem->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_FALSE(form.OpenItem->icon().isNull());
    EXPECT_FALSE(form.OpenItem->isCheckable());
    form.OpenItem->trigger();
    EXPECT_EQ(form.Opened, 1);

    // A hint without a bar is both tips; no hint leaves Qt's tool tip, the text.
    EXPECT_EQ(form.RunSwitch->statusTip(), QStringLiteral("Start"));
    EXPECT_TRUE(form.RunSwitch->shortcut().isEmpty());
    EXPECT_TRUE(form.RunSwitch->icon().isNull());
    EXPECT_EQ(form.Option->toolTip(), QStringLiteral("Možnost"));
    EXPECT_TRUE(form.Option->statusTip().isEmpty());

    // A switch runs also when set in code; a check button only when triggered.
    form.RunSwitch->setChecked(true);
    EXPECT_EQ(form.Runs, 1);
    form.Option->setChecked(true);
    EXPECT_EQ(form.Runs, 1);
    form.Option->trigger();
    EXPECT_EQ(form.Runs, 2);
    EXPECT_FALSE(form.Option->isChecked());

    form.Irq->trigger();
    EXPECT_EQ(form.Pressed, form.Irq);
    EXPECT_THROW(Component(form, "Nmi"), std::logic_error);
}

TEST(Commands, AListPlacesTheActionsWithNullptrForASeparator) {
    QMenu menu;
    QAction first(QStringLiteral("a"));
    QAction second(QStringLiteral("b"));
    AddActions(&menu, {&first, nullptr, &second});
    const QList<QAction*> placed = menu.actions();
    ASSERT_EQ(placed.size(), 3);
    EXPECT_EQ(placed[0], &first);
    EXPECT_TRUE(placed[1]->isSeparator());
    EXPECT_EQ(placed[2], &second);
}

TEST(WindowList, ListsTheChildrenInCreationOrderAfterTheSeparator) {
    QMainWindow frame;
    auto* area = new QMdiArea(&frame);
    frame.setCentralWidget(area);
    QMenu menu;
    menu.addAction(QStringLiteral("Razvrsti"));
    QAction* separator = menu.addSeparator();
    FillWindowList(&menu, separator, area, true);
    EXPECT_FALSE(separator->isVisible());
    EXPECT_EQ(menu.actions().size(), 2);

    QList<QMdiSubWindow*> windows;
    for (int i = 1; i <= 10; ++i) {
        auto* child = new QWidget;
        child->setWindowTitle(QStringLiteral("Okno%1").arg(i));
        windows << area->addSubWindow(child);
        windows.last()->show();
    }
    area->setActiveSubWindow(windows[1]);
    for (int pass = 0; pass < 2; ++pass) FillWindowList(&menu, separator, area, true);
    const QList<QAction*> items = menu.actions().mid(2);
    ASSERT_EQ(items.size(), 10);
    EXPECT_TRUE(separator->isVisible());
    EXPECT_EQ(items[0]->text(), QStringLiteral("&1 Okno1"));
    EXPECT_EQ(items[9]->text(), QStringLiteral("10 Okno10"));
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_FALSE(items[0]->isChecked());
    items[4]->trigger();
    EXPECT_EQ(area->currentSubWindow(), windows[4]);

    FillWindowList(&menu, separator, area, false);
    EXPECT_EQ(menu.actions()[2]->text(), QStringLiteral("Okno1"));
}

TEST(FindForward, PlainSubstringIgnoringCase) {
    struct Row {
        const char* text;
        const char* what;
        int start;
        int found;
    };
    for (Row row : {Row{"abc ABC", "bc", 0, 1}, Row{"abc ABC", "bc", 2, 5}, Row{"abc ABC", "bc", 6, -1},
                    Row{"abc", "", 0, -1}, Row{"abc", "abc", 3, -1}, Row{"čŠž", "ŠŽ", 0, 1}, Row{"a.b", ".", 0, 1}})
        EXPECT_EQ(FindForward(QString::fromUtf8(row.text), QString::fromUtf8(row.what), row.start), row.found)
            << row.text << " / " << row.what;
}

template <class Edit>
void StepThroughTheMatches() {
    TDialogAnswers answers;
    Edit edit;
    edit.setPlainText(QStringLiteral("ldaa #1\nLDAA #2"));
    QTextCursor caret = edit.textCursor();
    caret.setPosition(10);
    edit.setTextCursor(caret);
    // From the start, not from the caret, while nothing is selected.
    EXPECT_TRUE(FindNext(nullptr, edit, QStringLiteral("Ldaa")));
    EXPECT_EQ(edit.textCursor().selectionStart(), 0);
    EXPECT_TRUE(FindNext(nullptr, edit, QStringLiteral("Ldaa")));
    EXPECT_EQ(edit.textCursor().selectionStart(), 8);
    EXPECT_EQ(edit.textCursor().selectedText(), QStringLiteral("LDAA"));
    EXPECT_FALSE(FindNext(nullptr, edit, QStringLiteral("Ldaa")));
    EXPECT_EQ(edit.textCursor().selectionStart(), 8);
    EXPECT_EQ(answers.Messages(), QStringList{"Obvestilo|Ne najdem besede \"Ldaa\""});
}

TEST(FindNext, StepsThroughTheMatchesOfEitherKindOfControl) {
    StepThroughTheMatches<QTextEdit>();
    StepThroughTheMatches<QPlainTextEdit>();
}

}  // namespace
}  // namespace gui
