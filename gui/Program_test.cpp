#include "gui/Program.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
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

TEST(Program, IconFromTheProgramsImage) {
    QTemporaryDir folder;
    const QString image = folder.filePath(QStringLiteral("icon.png"));
    QImage drawn(16, 16, QImage::Format_ARGB32);
    drawn.fill(Qt::darkGreen);
    ASSERT_TRUE(drawn.save(image));
    EXPECT_FALSE(SetProgramIcon(App(), folder.filePath(QStringLiteral("missing.png"))));
    EXPECT_TRUE(SetProgramIcon(App(), image));
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    App().setWindowIcon(QIcon());
}

}  // namespace
}  // namespace gui
