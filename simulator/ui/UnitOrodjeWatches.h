// The watch editor: defines or removes the user variable of one row of the
// user variables window. Created once at start and shown modally from it.
#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace VantrelSIM {

struct TWatchRecord;

class TFormOrodjeWatches : public QDialog {
    Q_OBJECT
public:
    explicit TFormOrodjeWatches(QWidget* owner);
    ~TFormOrodjeWatches() override;

    // Loads the row's name and address cells and its record.
    void Edit(const QString& name, const QString& address, const TWatchRecord& watch);

    void ListBFormatClick();
    void Button1Click();
    void ButtonOdstraniClick();

    QLineEdit* EditIme = nullptr;
    QLineEdit* EditNaslov = nullptr;
    QListWidget* ListBStBytov = nullptr;
    QListWidget* ListBFormat = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // "Da": signed
    QRadioButton* RadioButton2 = nullptr;  // "Ne": unsigned
    QPushButton* Button1 = nullptr;
    QPushButton* ButtonOdstrani = nullptr;
    QPushButton* BitBtn2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormActivate();
    void ApplySignRule();
};

extern TFormOrodjeWatches* FormOrodjeWatches;

}  // namespace VantrelSIM
