// Unit Unit1: the assembler options dialog "Nastavitve prevajalnika".
// Created once at start-up and reused, so the check boxes keep their state
// for the whole run. The assemble and simulator commands of the main window
// live in Unit1.cpp beside it.
#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace Vantrel {

class TForm1 : public QDialog {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent);

    // The help button's command; it leaves the dialog open.
    std::function<void()> OnHelp;

    QGroupBox* GroupBdodaj = nullptr;  // "Poročilo:"
    QCheckBox* CheckBox3 = nullptr;    // "Ustvari": keep the listing of a clean assembly
    QCheckBox* CheckBox1 = nullptr;    // "Dodaj tabelo simbolov"
    QCheckBox* CheckBox4 = nullptr;    // "Dodaj ukazne periode"
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;  // "&POMOČ"
};

}  // namespace Vantrel
