// Unit Unit5: a report window, an MDI child showing TEMP$$.RPT as it was
// when the window opened. Any number may be open; closing one frees it.
#pragma once

#include <QWidget>

#include <optional>

#include "platform/text/TextFile.h"

class QTextEdit;

namespace Vantrel {

class TFormPorocilo : public QWidget {
    Q_OBJECT

public:
    explicit TFormPorocilo(QWidget* parent = nullptr);

    QTextEdit* RichEditPorocilo = nullptr;
    // How the shown file was stored, so a save writes it back alike; none
    // when no file was read.
    std::optional<TTextFormat> FileFormat;

    // The file's text, read as every text file is; false when it cannot be read.
    bool LoadReport(const QString& path);
};

}  // namespace Vantrel
