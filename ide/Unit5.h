// Unit Unit5: a report window, an MDI child showing TEMP$$.RPT as it was
// when the window opened. Any number may be open; closing one frees it.
#pragma once

#include <QWidget>

#include "ide/Childwin.h"
#include "platform/text/TextFile.h"

class QTextEdit;

namespace Vantrel {

class TFormPorocilo : public QWidget {
    Q_OBJECT

public:
    explicit TFormPorocilo(QWidget* parent = nullptr);

    QTextEdit* RichEditPorocilo = nullptr;
    // How the shown file was stored, so a save writes it back alike.
    TTextFormat Format = NewDocumentFormat;

    // The file's text, read as every text file is; false when it cannot be read.
    bool LoadReport(const QString& path);
    // Writes the shown text in the file's own format.
    bool SaveFile(const QString& name, QString* err);
};

}  // namespace Vantrel
