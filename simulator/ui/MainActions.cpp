// The commands: one table makes the actions; the tool windows' items come
// from their own table; the menus and the tool bar place them; UpdateActions
// is the one place their enabled state is set.
#include "simulator/ui/Main.h"

#include "gui/MdiFrame.h"
#include "simulator/ui/ToolWindow.h"

#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <string>

namespace VantrelSIM {

void TMainForm::createActions() {
    using gui::StandardIcon;
    using S = QStyle;
    using Style = gui::TCommandStyle;
    constexpr Qt::Modifier Ctrl = Qt::CTRL;
    // clang-format off
    static const gui::TCommandRow<TMainForm> Rows[] = {
        // member, name, text, hint, shortcut, icon, handler, style, handler given the action
        {&TMainForm::FileOpen1,              "FileOpen1",              "&Odpri",                     "Odpri!|Odpri datoteko",                       Ctrl | Qt::Key_O, StandardIcon(S::SP_DialogOpenButton),       &TMainForm::FileOpen1Execute},
        {&TMainForm::FileClose1,             "FileClose1",             "&Zapri",                     nullptr,                                       Ctrl | Qt::Key_Z, {},                                         &TMainForm::FileClose1Execute},
        {&TMainForm::FileExit1,              "FileExit1",              "&Izhod",                     nullptr,                                       {},               {},                                         &TMainForm::FileExitItemClick},
        {&TMainForm::ToolButton4,            "ToolButton4",            "Izhod",                      "Izhod!|Končaj program",                       {},               StandardIcon(S::SP_BrowserStop),            &TMainForm::FileExitItemClick},
        {&TMainForm::Find1,                  "Find1",                  "&Najdi",                     "Poišči!|Poišči besedo!",                      Ctrl | Qt::Key_F, StandardIcon(S::SP_FileDialogContentsView), &TMainForm::Find1Execute},
        {&TMainForm::Izbirapisave1,          "Izbirapisave1",          "N&astavitve urejevalnika",   nullptr,                                       {},               {},                                         &TMainForm::Izbirapisave1Click},
        {&TMainForm::ToolButton15,           "ToolButton15",           "Korak",                      "Po korakih!|Izvajaj po korakih!",             {},               StandardIcon(S::SP_MediaSkipForward),       &TMainForm::ToolButton15Click},
        {&TMainForm::Korak1,                 "Korak1",                 "Korak po ...",               nullptr,                                       Ctrl | Qt::Key_K, {},                                         &TMainForm::ToolButton15Click},
        // Its icon shows the state: ToolButton2Click sets it.
        {&TMainForm::ToolButton2,            "ToolButton2",            "Start/Stop",                 "Start/Stop!| Izvajaj nenehno!",               {},               {},                                         &TMainForm::ToolButton2Click, Style::Switch},
        {&TMainForm::StartStop1,             "StartStop1",             "&Simulacija Start / Stop ",  nullptr,                                       Ctrl | Qt::Key_S, {},                                         &TMainForm::StartStop1Click},
        {&TMainForm::ToolButton3,            "ToolButton3",            "Ponoven zagon",              "Ponoven zagon!| Ponoven zagon izvajanja!",    {},               StandardIcon(S::SP_BrowserReload),          &TMainForm::Reset1Click},
        {&TMainForm::Reset1,                 "Reset1",                 "Ponoven zagon",              nullptr,                                       Ctrl | Qt::Key_R, {},                                         &TMainForm::Reset1Click},
        {&TMainForm::Odkurzorja1,            "Odkurzorja1",            "Od kurzorja ...",            nullptr,                                       {},               {},                                         &TMainForm::Odkurzorja1Click},
        {&TMainForm::Vstaviustavitvenotoko1, "Vstaviustavitvenotoko1", "Vstavi  prekinitveno točko", nullptr,                                       Qt::Key_F2,       {},                                         &TMainForm::Vstaviustavitvenotoko1Click},
        {&TMainForm::Odstrani1,              "Odstrani1",              "Odstrani ...",               nullptr,                                       Qt::Key_F3,       {},                                         &TMainForm::Odstrani1Click},
        {&TMainForm::Stimulacije1,           "Stimulacije1",           "Dovoljene zunanje prekinitve", nullptr,                                     {},               {},                                         &TMainForm::Stimulacije1Click, Style::CheckButton},
        {&TMainForm::EEPROM1,                "EEPROM1",                "EEPROM",                     nullptr,                                       {},               {},                                         &TMainForm::EEPROM1Click},
        {&TMainForm::SFR1,                   "SFR1",                   "SFR",                        nullptr,                                       {},               {},                                         &TMainForm::SFR1Click},
        {&TMainForm::Osveiprogpomnilnik1,    "Osveiprogpomnilnik1",    "Osveži prog. pomnilnik",     nullptr,                                       {},               {},                                         &TMainForm::Osveiprogpomnilnik1Click},
        {&TMainForm::Nastavitve1,            "Nastavitve1",            "Nastavitve A/D pretvornika", nullptr,                                       {},               {},                                         &TMainForm::Nastavitve1Click},
        {&TMainForm::SpeedBIRQ,              "SpeedBIRQ",              "IRQ",                        "IRQ prekinitev!|Sproži IRQ prekinitev!",      {},               {},                                         nullptr, Style::Button, &TMainForm::StimulatorTipkeClick},
        {&TMainForm::SpeedBNMI,              "SpeedBNMI",              "NMI",                        "NMI prekinitev!|Sproži NMI prekinitev!",      {},               {},                                         nullptr, Style::Button, &TMainForm::StimulatorTipkeClick},
    };
    // clang-format on
    gui::CreateCommands<TMainForm>(this, Rows);

    for (const TToolWindowKind& kind : ToolWindowTable) {
        QAction* item = gui::MakeCommand(this, kind.MenuItemName, kind.Caption, nullptr, {}, {}, Style::Button);
        gui::ConnectGuarded(item, &QAction::triggered, this, kind.OpenHandler);
        toolWindowItems_[static_cast<size_t>(&kind - ToolWindowTable.data())] = item;
    }
    for (size_t i = 0; i < windowListItems_.size(); ++i) {
        const std::string name = "OdprtoOkno" + std::to_string(i + 1) + "1";
        QAction* item = gui::MakeCommand(this, name.c_str(), "", nullptr, {}, {}, Style::Button);
        item->setVisible(false);
        gui::ConnectGuarded(item, &QAction::triggered, this, [this, item] { OdprtoOkno(item); });
        windowListItems_[i] = item;
    }
}

void TMainForm::createMenus() {
    // nullptr: a separator.
    gui::AddActions(menuBar()->addMenu(QStringLiteral("&Datoteka")), {FileOpen1, FileClose1, nullptr, FileExit1});
    gui::AddActions(menuBar()->addMenu(QStringLiteral("&Orodja")), {Find1, Izbirapisave1});
    QMenu* simulator = menuBar()->addMenu(QStringLiteral("&Simulator"));
    gui::AddActions(simulator, {StartStop1, Korak1, Reset1, Odkurzorja1, nullptr, Vstaviustavitvenotoko1, Odstrani1,
                                nullptr, Stimulacije1});
    gui::AddActions(simulator->addMenu(QStringLiteral("Briši")), {EEPROM1, SFR1});
    gui::AddActions(simulator, {Osveiprogpomnilnik1, nullptr, Nastavitve1});

    windowMenu_ = menuBar()->addMenu(QStringLiteral("O&kno"));
    QAction* byPosition[ToolWindowTable.size()] = {};
    for (size_t i = 0; i < ToolWindowTable.size(); ++i)
        byPosition[ToolWindowTable[i].MenuPosition] = toolWindowItems_[i];
    for (QAction* item : byPosition) windowMenu_->addAction(item);
    windowMenu_->addSeparator();
    for (QAction* item : windowListItems_) windowMenu_->addAction(item);
    // The platform's list of MDI children, after the tool-window items.
    windowListSeparator_ = windowMenu_->addSeparator();
    gui::ConnectGuarded(windowMenu_, &QMenu::aboutToShow, this,
                        [this] { gui::FillWindowList(windowMenu_, windowListSeparator_, mdi_, false); });
}

void TMainForm::createToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Orodna vrstica"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    gui::AddActions(bar, {FileOpen1, Find1, nullptr, ToolButton15, ToolButton2, ToolButton3, nullptr, SpeedBIRQ,
                          SpeedBNMI, nullptr, ToolButton4});
    // IRQ and NMI are text buttons, as on the board's front.
    for (QAction* button : {SpeedBIRQ, SpeedBNMI})
        if (auto* tool = qobject_cast<QToolButton*>(bar->widgetForAction(button)))
            tool->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ToolButton2Click();
}

void TMainForm::UpdateActions() {
    // IRQ and NMI are pressed only while external interrupts are allowed.
    SpeedBIRQ->setEnabled(Stimulacije1->isChecked());
    SpeedBNMI->setEnabled(Stimulacije1->isChecked());
}

}  // namespace VantrelSIM
