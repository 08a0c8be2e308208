// Unit Unit1: the assembler options dialog "Nastavitve prevajalnika".
// Created once at start-up and reused, so the check boxes keep their state
// for the whole run.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace Vantrel {

class TForm1 : public QDialog {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent);

    static constexpr unsigned HelpContext = 1;  // F1
    static constexpr unsigned HelpTopic = 3;    // the help button

    // A help command (WinHelp's command and data); the dialog stays open.
    std::function<void(unsigned, std::uintptr_t)> ShowHelp;

    QGroupBox* GroupBdodaj = nullptr;  // "Poročilo:"
    QCheckBox* CheckBox3 = nullptr;    // "Ustvari": keep the listing of a clean assembly
    QCheckBox* CheckBox1 = nullptr;    // "Dodaj tabelo simbolov"
    QCheckBox* CheckBox4 = nullptr;    // "Dodaj ukazne periode"
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;  // "&POMOČ"
};

}  // namespace Vantrel
