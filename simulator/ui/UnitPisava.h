// The settings dialog: the listing's font, and the voltage on the A/D
// converter's input.
#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabBar;
namespace gui {
class TFontDialog;
}

namespace VantrelSIM {

// A/D input byte for a track-bar position (0..64 = 0..5 V): volts * 51,
// rounded to the nearest integer, halves to the even one.
uint8_t AdValueForPosition(int position);

class TFormPisava : public QDialog {
    Q_OBJECT

public:
    // fontDialog: the main window's, which the font page shows and runs.
    TFormPisava(gui::TFontDialog& fontDialog, QWidget* parent);
    ~TFormPisava() override;

    void ShowFontPage();
    void ShowAdPage();
    void ShowFont(const QFont& font);

    void FormShow();
    void Button1Click();
    void TrackBar1Change(int position);

    QTabBar* TabControl1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;  // "Pisava urejevalnika"
    QGroupBox* GroupBox2 = nullptr;  // "Vhodna napetost A/D pretvornika"
    QLabel* Label4 = nullptr;        // font name
    QLabel* Label6 = nullptr;        // font size
    QPushButton* Button1 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLineEdit* Edit2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;  // FormShow before the dialog shows

private:
    gui::TFontDialog& fontDialog_;
};

extern TFormPisava* FormPisava;

}  // namespace VantrelSIM
