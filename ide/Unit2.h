// Unit Unit2: the error-finding window "Odkrivanje napak". Created once at
// start-up; every assembly shows it (or brings it to the front) and its
// show handler runs the scan, leaving the outcome in one line.
#pragma once

#include <QWidget>

class QTextEdit;

namespace Vantrel {

class TForm1;

class TForm2 : public QWidget {
    Q_OBJECT

public:
    // form1: the options dialog, whose "Ustvari" the scan reads.
    TForm2(QWidget* parent, TForm1* form1);

    QTextEdit* RichEdit1 = nullptr;

    // Shows the window in front and runs FormShow to its end.
    void ShowAndScan();
    // The scan: listing to report, ErrorsFound, the files erased.
    void FormShow();

private:
    TForm1* form1_;
};

}  // namespace Vantrel
