// What each program's main() sets up on its QApplication, alike for all
// three: Qt's own texts in Slovenian, the program's own icon on every
// window, and dialog buttons that all look alike.
#pragma once

#include <QString>

class QApplication;
class QTranslator;

namespace gui {

// Loads Qt's Slovenian translations (qt_sl from Qt's translations folder:
// the buttons of message boxes, the file dialogs) into the application.
// Returns the installed translator, owned by the application, or null when
// the translations are not installed (the texts then stay English).
QTranslator* InstallSlovenianTranslations(QApplication& app);

// Sets the program's icon, an image among its own resources (for instance
// ":/VantrelSIM/icon.png"), as every window's icon. False when the resource
// holds no image.
bool SetProgramIcon(QApplication& app, const QString& resource);

// Dialog buttons carry text only: the platform's style would give an icon
// to the standard buttons (OK, Cancel, Yes, No) and none to the others.
void UseTextOnlyDialogButtons(QApplication& app);

// All of the above, with the application's name.
void SetUpProgram(QApplication& app, const QString& name, const QString& iconResource);

}  // namespace gui
