// The find dialog and the font dialog with Apply.
#include "gui/StandardDialogs.h"
#include "gui/DialogAnswers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace gui {
namespace {

QPushButton* ButtonNamed(QDialog& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == text) return button;
    return nullptr;
}

TEST(FindDialog, FindNextAsksForTheNextMatch) {
    TFindDialog dialog(nullptr);
    EXPECT_FALSE(dialog.isModal());
    EXPECT_TRUE(dialog.WholeWord->isChecked());
    int finds = 0;
    QObject::connect(&dialog, &TFindDialog::Find, [&] { ++finds; });
    dialog.SetFindText(QStringLiteral("LDAA"));
    EXPECT_EQ(dialog.FindText(), QStringLiteral("LDAA"));
    ASSERT_NE(ButtonNamed(dialog, QStringLiteral("Najdi naslednje")), nullptr);
    ButtonNamed(dialog, QStringLiteral("Najdi naslednje"))->click();
    ButtonNamed(dialog, QStringLiteral("Najdi naslednje"))->click();
    EXPECT_EQ(finds, 2);
}

class FontDialog : public ::testing::Test, public TDialogAnswers {
protected:
    TFontDialog Dialog{nullptr};
};

TEST_F(FontDialog, SizesStayWithinTheList) {
    const struct {
        int pointSize;  // 0: a pixel-sized font
        int shown;
    } cases[] = {{8, 8}, {12, 12}, {18, 18}, {30, 18}, {5, 8}, {0, 9}};
    for (const auto& c : cases) {
        QFont font(QStringLiteral("DejaVu Sans"));
        if (c.pointSize > 0)
            font.setPointSize(c.pointSize);
        else
            font.setPixelSize(20);
        Dialog.SetSelectedFont(font);
        EXPECT_EQ(Dialog.SelectedFont().pointSize(), c.shown) << c.pointSize;
    }
}

TEST_F(FontDialog, OkKeepsTheChoiceCancelRestoresItApplyShowsItAtOnce) {
    QFont start(QStringLiteral("DejaVu Sans Mono"), 9);
    start.setBold(true);
    Dialog.SetSelectedFont(start);
    QList<int> applied;
    QObject::connect(&Dialog, &TFontDialog::Apply, [&] { applied << Dialog.SelectedFont().pointSize(); });

    OnModal = [&](QDialog&) {
        Dialog.SizeBox->setCurrentText(QStringLiteral("14"));
        ButtonNamed(Dialog, QStringLiteral("Uporabi"))->click();
        return int(QDialog::Rejected);
    };
    EXPECT_FALSE(Dialog.Execute());
    EXPECT_EQ(applied, QList<int>{14});
    EXPECT_EQ(Dialog.SelectedFont().pointSize(), 9);

    OnModal = [&](QDialog&) {
        Dialog.SizeBox->setCurrentText(QStringLiteral("16"));
        return int(QDialog::Accepted);
    };
    EXPECT_TRUE(Dialog.Execute());
    EXPECT_EQ(Dialog.SelectedFont().pointSize(), 16);
    EXPECT_TRUE(Dialog.SelectedFont().bold());  // what the list does not choose is kept
    EXPECT_EQ(Dialog.SelectedColour(), QColor(Qt::black));
}

}  // namespace
}  // namespace gui
