#include "gui/Program.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

namespace gui {
namespace {

QApplication& App() { return *static_cast<QApplication*>(QCoreApplication::instance()); }

TEST(Program, QtsOwnDialogsSpeakSlovenian) {
    QTranslator* translator = InstallSlovenianTranslations(App());
    ASSERT_NE(translator, nullptr) << "Qt's Slovenian translations (qt6-translations-l10n) are missing";
    QMessageBox box(QMessageBox::Question, QStringLiteral("OPOZORILO!"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QString yes = box.button(QMessageBox::Yes)->text();
    QString no = box.button(QMessageBox::No)->text();
    QString cancel = box.button(QMessageBox::Cancel)->text();

    QFileDialog files(nullptr, QStringLiteral("Listing datoteka"));
    files.setOption(QFileDialog::DontUseNativeDialog);
    QStringList labels;
    for (const QLabel* label : files.findChildren<QLabel*>()) labels << label->text();

    const QString folder = QCoreApplication::translate("QAbstractFileIconProvider", "Folder");

    QApplication::removeTranslator(translator);
    delete translator;
    EXPECT_EQ(folder, QStringLiteral("Mapa"));
    EXPECT_EQ(yes.remove('&'), QStringLiteral("Da"));
    EXPECT_EQ(no.remove('&'), QStringLiteral("Ne"));
    EXPECT_EQ(cancel.remove('&'), QStringLiteral("Prekliči"));
    EXPECT_FALSE(labels.contains(QStringLiteral("Look in:"))) << labels.join('|').toStdString();
    EXPECT_FALSE(labels.contains(QStringLiteral("File &name:"))) << labels.join('|').toStdString();
}

TEST(Program, DialogButtonsCarryNoIcons) {
    const QString style = App().style()->name();
    UseTextOnlyDialogButtons(App());
    UseTextOnlyDialogButtons(App());  // once is enough
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons.addButton(QStringLiteral("PREKLIC"), QDialogButtonBox::RejectRole);
    QMessageBox box(QMessageBox::Question, QStringLiteral("OPOZORILO!"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    QList<QAbstractButton*> all = buttons.buttons() + box.buttons();
    App().setStyle(QStyleFactory::create(style));
    for (QAbstractButton* button : all) EXPECT_TRUE(button->icon().isNull()) << button->text().toStdString();
}

// A program's image, drawn into `folder`; empty when it cannot be saved.
QString DrawIcon(const QTemporaryDir& folder) {
    const QString image = folder.filePath(QStringLiteral("icon.png"));
    QImage drawn(16, 16, QImage::Format_ARGB32);
    drawn.fill(Qt::darkGreen);
    return drawn.save(image) ? image : QString();
}

TEST(Program, IconFromTheProgramsImage) {
    QTemporaryDir folder;
    const QString image = DrawIcon(folder);
    ASSERT_FALSE(image.isEmpty());
    EXPECT_FALSE(SetProgramIcon(App(), folder.filePath(QStringLiteral("missing.png"))));
    EXPECT_TRUE(SetProgramIcon(App(), image));
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    App().setWindowIcon(QIcon());
}

// What each main() calls, whole: the name, Qt's Slovenian texts, the icon,
// and buttons without icons.
TEST(Program, SetUpProgramSetsUpAllOfIt) {
    QTemporaryDir folder;
    const QString image = DrawIcon(folder);
    ASSERT_FALSE(image.isEmpty());
    const QString name = QApplication::applicationName();
    const QString style = App().style()->name();

    SetUpProgram(App(), QStringLiteral("Tolvex"), image);
    const QString nameSet = QApplication::applicationName();
    const bool iconSet = !QApplication::windowIcon().isNull();
    // Here Qt's own style gives the buttons no icons either: the style itself
    // is looked at.
    const QStyle* styleSet = App().style();
    const bool textOnly = qobject_cast<const QProxyStyle*>(styleSet) &&
                          styleSet->styleHint(QStyle::SH_DialogButtonBox_ButtonsHaveIcons) == 0;
    QStringList texts;
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("OPOZORILO!"), QStringLiteral("?"),
                        QMessageBox::Ok | QMessageBox::Cancel);
        for (QAbstractButton* button : box.buttons()) texts << button->text().remove('&');
    }

    for (QTranslator* translator : App().findChildren<QTranslator*>()) {
        QApplication::removeTranslator(translator);
        delete translator;
    }
    App().setStyle(QStyleFactory::create(style));
    App().setWindowIcon(QIcon());
    QApplication::setApplicationName(name);
    EXPECT_EQ(nameSet, QStringLiteral("Tolvex"));
    EXPECT_TRUE(iconSet);
    EXPECT_TRUE(texts.contains(QStringLiteral("Prekliči"))) << texts.join('|').toStdString();
    EXPECT_TRUE(textOnly);
}

}  // namespace
}  // namespace gui
