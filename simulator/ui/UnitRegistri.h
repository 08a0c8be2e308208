// The on-chip registers window: the 64 cells $1000-$103F by name, read-only.
#pragma once

#include <QWidget>

class TextGrid;

class TFormRegistri : public QWidget {
    Q_OBJECT
public:
    explicit TFormRegistri(QWidget* owner);
    ~TFormRegistri() override;

    void RefreshView();

    TextGrid* StringGrid1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormCreate();
};

extern TFormRegistri* FormRegistri;
