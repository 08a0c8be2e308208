// The commands: one table makes every action; the menus and the tool bar
// place them; UpdateActions is the one place their enabled state is set.
#include "ide/Main.h"

#include "gui/MdiFrame.h"
#include "ide/Images.h"

#include <QMenuBar>
#include <QProgressBar>
#include <QShortcut>
#include <QToolBar>

namespace Vantrel {

namespace {

QIcon CascadeIcon() { return WindowsIcon(true); }
QIcon TileIcon() { return WindowsIcon(false); }

}  // namespace

void TMainForm::createActions() {
    using gui::DrawnIcon;
    using gui::StandardIcon;
    using S = QStyle;
    constexpr Qt::Modifier Ctrl = Qt::CTRL;
    // The menu items, then the tool buttons; each button runs the handler of
    // the menu item of its role but has a hint of its own.
    // clang-format off
    static const gui::TCommandRow<TMainForm> Rows[] = {
        // member, name, text, hint, shortcut, icon, handler
        {&TMainForm::FileNewItem,       "FileNewItem",       "&Nova",                  "Nova|Nova datoteka",                           Ctrl | Qt::Key_N, {}, &TMainForm::FileNew1Execute},
        {&TMainForm::FileOpenItem,      "FileOpenItem",      "&Odpri",                 "Odpri|Odpri obstoječo datoteko",               Ctrl | Qt::Key_O, {}, &TMainForm::FileOpen1Execute},
        {&TMainForm::FileCloseItem,     "FileCloseItem",     "&Zapri",                 "Zapri|Zapri aktivno okno",                     {},               {}, &TMainForm::FileClose1Execute},
        {&TMainForm::Shrani1,           "Shrani1",           "&Shrani ",               "Shrani|Shrani datoteko",                       Ctrl | Qt::Key_S, {}, &TMainForm::FileSaveAsItemClick},
        {&TMainForm::Shranikot1,        "Shranikot1",        "S&hrani kot",            "Shrani kot|Shrani datoteko pod novim imenom",  Ctrl | Qt::Key_K, {}, &TMainForm::ShraniKot},
        {&TMainForm::Tiskaj1,           "Tiskaj1",           "&Tiskaj",                "Tiskaj|Natisni datoteko",                      Ctrl | Qt::Key_P, {}, &TMainForm::ToolButton11Click},
        {&TMainForm::FileExitItem,      "FileExitItem",      "&Izhod",                 "Izhod|Končaj program",                         {},               {}, &TMainForm::FileExit1Execute},
        {&TMainForm::Razveljavi1,       "Razveljavi1",       "&Razveljavi",            "Razveljavi|Razveljavi zadnjo spremembo",       {},               {}, &TMainForm::Razveljavi1Click},
        {&TMainForm::CutItem,           "CutItem",           "&Odreži",                "Odreži|Izreži izbrano besedilo v odložišče",   Ctrl | Qt::Key_X, {}, &TMainForm::EditCut1Execute},
        {&TMainForm::CopyItem,          "CopyItem",          "&Kopiraj",               "Kopiraj|Kopiraj izbrano besedilo v odložišče", Ctrl | Qt::Key_C, {}, &TMainForm::EditCopy1Execute},
        {&TMainForm::PasteItem,         "PasteItem",         "&Prilepi",               "Prilepi|Prilepi besedilo iz odložišča",        Ctrl | Qt::Key_V, {}, &TMainForm::EditPaste1Execute},
        {&TMainForm::IzberiVse1,        "IzberiVse1",        "Izberi vse",             "Izberi vse|Izberi celotno besedilo",           Ctrl | Qt::Key_A, {}, &TMainForm::IzberiVse1Click},
        {&TMainForm::Najdi1,            "Najdi1",            "Najdi",                  "Najdi|Poišči besedo",                          Ctrl | Qt::Key_F, {}, &TMainForm::Najdi1Click},
        {&TMainForm::Izbirapisave1,     "Izbirapisave1",     "&Nastavitve",            "Nastavitve|Pisava urejevalnika, serijska vrata in opcije", {}, {}, &TMainForm::Izbirapisave1Click},
        {&TMainForm::Nastavitve1,       "Nastavitve1",       "&Nastavitve",            "Nastavitve|Nastavitve prevajalnika",           {},               {}, &TMainForm::Nastavitve1Click},
        {&TMainForm::Zaeni1,            "Zaeni1",            "&Zaženi",                "Zaženi|Prevedi datoteko",                      {},               {}, &TMainForm::ToolButton15Click},
        {&TMainForm::Branjeporoila1,    "Branjeporoila1",    "&Branje poročila",       "Branje poročila|Prikaži poročilo prevajanja",  {},               {}, &TMainForm::ToolButton17Click},
        {&TMainForm::Nastavitve2,       "Nastavitve2",       "&Izbira mikrokrmilnika", "Izbira mikrokrmilnika|Izbira ciljnega mikrokrmilnika", {},       {}, &TMainForm::Nastavitve2Click},
        {&TMainForm::Nastavvrat1,       "Nastavvrat1",       "&Nastav. serijskih vrat", "Nastavitev serijskih vrat|Izbira serijskih vrat programatorja", {}, {}, &TMainForm::Nastavvrat1Click},
        {&TMainForm::EEPROMbrii1,       "EEPROMbrii1",       "EEPROM &briši",          "EEPROM briši|Pobriši vgrajeni EEPROM",         {},               {}, &TMainForm::EEPROMbrii1Click},
        {&TMainForm::Zagon1,            "Zagon1",            "Zaženi",                 "Zaženi|Zaženi programator",                    {},               {}, &TMainForm::ToolButton16Click},
        {&TMainForm::Zagon2,            "Zagon2",            "&Zaženi",                "Zaženi|Zaženi simulator",                      {},               {}, &TMainForm::ToolButton28Click},
        {&TMainForm::WindowCascadeItem, "WindowCascadeItem", "Razvrsti &kaskadno",     "Razvrsti kaskadno|Razvrsti okna kaskadno",     {},               {}, &TMainForm::WindowCascade1Execute},
        {&TMainForm::WindowTileItem,    "WindowTileItem",    "Razvrsti &horizontalno", "Razvrsti horizontalno|Razvrsti okna eno pod drugim", {},         {}, &TMainForm::WindowTileHorizontal1Execute},
        {&TMainForm::HelpAboutItem,     "HelpAboutItem",     "O &programu",            "O programu|Podatki o programu",                {},               {}, &TMainForm::HelpAbout1Execute},
        {&TMainForm::Vsebina1,          "Vsebina1",          "Vsebina",                "Vsebina|Vsebina pomoči",                       {},               {}, &TMainForm::Vsebina1Click},

        {&TMainForm::ToolButton9,  "ToolButton9",  "Nova",         "Nova!|Nova datoteka",                           {}, StandardIcon(S::SP_FileIcon),                 &TMainForm::FileNew1Execute},
        {&TMainForm::ToolButton1,  "ToolButton1",  "Odpri",        "Odpri!|Odpri obstoječo datoteko",               {}, StandardIcon(S::SP_DialogOpenButton),         &TMainForm::FileOpen1Execute},
        {&TMainForm::ToolButton2,  "ToolButton2",  "Shrani",       "Shrani!|Shrani datoteko",                       {}, StandardIcon(S::SP_DialogSaveButton),         &TMainForm::FileSaveAsItemClick},
        {&TMainForm::ToolButton11, "ToolButton11", "Tiskaj",       "Tiskaj!|Natisni datoteko",                      {}, DrawnIcon(&PrinterIcon),                      &TMainForm::ToolButton11Click},
        {&TMainForm::ToolButton4,  "ToolButton4",  "Odreži",       "Odreži!|Izreži izbrano besedilo v odložišče",   {}, DrawnIcon(&ScissorsIcon),                     &TMainForm::EditCut1Execute},
        {&TMainForm::ToolButton5,  "ToolButton5",  "Kopiraj",      "Kopiraj!|Kopiraj izbrano besedilo v odložišče", {}, DrawnIcon(&CopyIcon),                         &TMainForm::EditCopy1Execute},
        {&TMainForm::ToolButton6,  "ToolButton6",  "Prilepi",      "Prilepi!|Prilepi besedilo iz odložišča",        {}, DrawnIcon(&PasteIcon),                        &TMainForm::EditPaste1Execute},
        {&TMainForm::ToolButton26, "ToolButton26", "Razveljavi",   "Razveljavi!|Razveljavi zadnjo spremembo",       {}, StandardIcon(S::SP_ArrowBack),                &TMainForm::Razveljavi1Click},
        {&TMainForm::ToolButton27, "ToolButton27", "Najdi",        "Najdi!|Poišči besedo",                          {}, StandardIcon(S::SP_FileDialogContentsView),   &TMainForm::Najdi1Click},
        {&TMainForm::ToolButton8,  "ToolButton8",  "Kaskadno",     "Kaskadno!|Razvrsti okna kaskadno",              {}, DrawnIcon(&CascadeIcon),                      &TMainForm::WindowCascade1Execute},
        {&TMainForm::ToolButton10, "ToolButton10", "Horizontalno", "Horizontalno!|Razvrsti okna eno pod drugim",    {}, DrawnIcon(&TileIcon),                         &TMainForm::WindowTileHorizontal1Execute},
        {&TMainForm::ToolButton15, "ToolButton15", "Prevedi",      "Prevedi datoteko!",                             {}, StandardIcon(S::SP_MediaPlay),                &TMainForm::ToolButton15Click},
        {&TMainForm::ToolButton17, "ToolButton17", "Poročilo",     "Prikaži poročilo prevajanja!",                  {}, StandardIcon(S::SP_FileDialogDetailedView),   &TMainForm::ToolButton17Click},
        {&TMainForm::ToolButton16, "ToolButton16", "Programator",  "Zaženi programator!",                           {}, StandardIcon(S::SP_DriveFDIcon),              &TMainForm::ToolButton16Click},
        {&TMainForm::ToolButton28, "ToolButton28", "Simulator",    "Zaženi simulator!",                             {}, StandardIcon(S::SP_ComputerIcon),             &TMainForm::ToolButton28Click},
        {&TMainForm::ToolButton21, "ToolButton21", "Pomoč",        "Pomoč!",                                        {}, StandardIcon(S::SP_DialogHelpButton),         &TMainForm::Vsebina1Click},
        {&TMainForm::ToolButton25, "ToolButton25", "Izhod",        "Izhod!|Končaj program",                         {}, StandardIcon(S::SP_BrowserStop),              &TMainForm::FileExit1Execute},
    };
    // clang-format on
    gui::CreateCommands<TMainForm>(this, Rows);
}

void TMainForm::createMenus() {
    QMenuBar* bar = menuBar();
    auto addMenu = [bar](const char* name, const QString& title, std::initializer_list<QAction*> items) {
        QMenu* menu = bar->addMenu(title);
        menu->setObjectName(QString::fromLatin1(name));
        gui::AddActions(menu, items);
        return menu;
    };
    // nullptr: a separator.
    File1 = addMenu(
        "File1", QStringLiteral("&Datoteka"),
        {FileNewItem, FileOpenItem, FileCloseItem, Shrani1, Shranikot1, nullptr, Tiskaj1, nullptr, FileExitItem});
    Edit1 = addMenu(
        "Edit1", QStringLiteral("&Orodja"),
        {Razveljavi1, nullptr, CutItem, CopyItem, PasteItem, nullptr, IzberiVse1, Najdi1, nullptr, Izbirapisave1});
    Prevajalnik1 = addMenu("Prevajalnik1", QStringLiteral("Pre&vajalnik"),
                           {Nastavitve1, nullptr, Zaeni1, nullptr, Branjeporoila1});
    Programator1 = addMenu("Programator1", QStringLiteral("Pro&gramator"),
                           {Nastavitve2, Nastavvrat1, nullptr, EEPROMbrii1, nullptr, Zagon1});
    Simulator1 = addMenu("Simulator1", QStringLiteral("&Simulator"), {Zagon2});
    Window1 = addMenu("Window1", QStringLiteral("O&kno"), {WindowCascadeItem, WindowTileItem});
    windowListSeparator_ = Window1->addSeparator();
    gui::ConnectGuarded(Window1, &QMenu::aboutToShow, this,
                        [this] { gui::FillWindowList(Window1, windowListSeparator_, mdi_, true); });
    Help1 = addMenu("Help1", QStringLiteral("Po&moč"), {HelpAboutItem, nullptr, Vsebina1});

    auto* helpKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
    connect(helpKey, &QShortcut::activated, this, [this] { menuBar()->setActiveAction(Help1->menuAction()); });
    auto* contextKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
    gui::ConnectGuarded(contextKey, &QShortcut::activated, this, &TMainForm::ContextHelp);
}

void TMainForm::createToolBar() {
    ToolBar2 = addToolBar(QStringLiteral("Orodna vrstica"));
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    ToolBar2->setIconSize(QSize(16, 16));
    gui::AddActions(ToolBar2, {ToolButton9, ToolButton1, ToolButton2, ToolButton11, nullptr, ToolButton4, ToolButton5,
                               ToolButton6, ToolButton26, nullptr, ToolButton27, ToolButton8, ToolButton10, nullptr,
                               ToolButton15, ToolButton17, nullptr, ToolButton16});
    Gauge1 = new QProgressBar(ToolBar2);
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Gauge1->setFixedWidth(100);
    Gauge1->setMaximumHeight(16);
    Gauge1->setTextVisible(false);
    ToolBar2->addWidget(Gauge1);
    gui::AddActions(ToolBar2, {nullptr, ToolButton28, nullptr, ToolButton21, nullptr, ToolButton25});
}

void TMainForm::UpdateActions() {
    // The programmer runs only on what an assembly without errors left.
    ToolButton16->setEnabled(assembledClean_);
    Zagon1->setEnabled(assembledClean_);
    EEPROMbrii1->setEnabled(eraseAllowed_);
}

}  // namespace Vantrel
