// The find and font dialogs, built in the shape of the common dialogs the
// programs' commands were made for: a modeless find with "find next",
// and a font choice with an Apply button.
#pragma once

#include <QDialog>
#include <QFont>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;

namespace gui {

class TFindDialog : public QDialog {
    Q_OBJECT

public:
    explicit TFindDialog(QWidget* parent);
    QString FindText() const;
    void SetFindText(const QString& text);

    QLineEdit* FindEdit = nullptr;
    QCheckBox* WholeWord = nullptr;  // shown and ticked; the search does not use it

signals:
    void Find();
};

class TFontDialog : public QDialog {
    Q_OBJECT

public:
    explicit TFontDialog(QWidget* parent);

    // The chosen font; sizes are points, 8 to 18.
    QFont SelectedFont() const;
    QColor SelectedColour() const { return Qt::black; }
    void SetSelectedFont(const QFont& font);
    // Modal; true when closed with OK, which keeps the choice.
    bool Execute();

    QFontComboBox* FamilyBox = nullptr;
    QComboBox* SizeBox = nullptr;

signals:
    void Apply();

private:
    QFont chosen_;
};

// The font group of the settings dialogs: the font's name and its size in
// points (a size set in pixels shows in points, as the font dialog counts).
void ShowFontLabels(QLabel* name, QLabel* size, const QFont& font);

}  // namespace gui
