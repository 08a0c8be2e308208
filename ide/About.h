// The about box: the program's name and version, and a close button.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace Vantrel {

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent);

    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QPushButton* OKButton = nullptr;
};

}  // namespace Vantrel
