// Unit UnitPisava: the settings dialog "Nastavitve": the editor's font, the
// serial port and two options. Created at start-up and reused, so its
// controls keep their state between openings.
#pragma once

#include <QDialog>

namespace gui {
class TFontDialog;
}

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace Vantrel {

class TFormPisava : public QDialog {
    Q_OBJECT

public:
    // fontDialog: the main window's, which the font group shows and runs.
    TFormPisava(gui::TFontDialog& fontDialog, QWidget* parent);

    void ShowFont(const QFont& font);
    void FormShow();
    void Button1Click();

    QTabWidget* PageControl1 = nullptr;
    QGroupBox* GroupBUrejevalnika = nullptr;  // "Pisava urejevalnika"
    QLabel* Label4 = nullptr;                 // font name
    QLabel* Label6 = nullptr;                 // font size in points
    QPushButton* Button1 = nullptr;           // "Spremeni "
    QGroupBox* GroupBSerijska = nullptr;      // "Serijska vrata"
    QComboBox* ComboBox2 = nullptr;           // port names
    QListWidget* ListBox1 = nullptr;          // "1200 bps", disabled
    QGroupBox* GroupBOpcije = nullptr;        // "Opcije"
    QCheckBox* CheckBTipMK = nullptr;
    QCheckBox* CheckBBrisiEE = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnPreklic = nullptr;  // "PREKLIC"

protected:
    void showEvent(QShowEvent* event) override;  // FormShow once shown

private:
    gui::TFontDialog& fontDialog_;
};

}  // namespace Vantrel
