// Unit Unit5: a report window, an MDI child showing TEMP$$.RPT as it was
// when the window opened. Any number may be open; closing one frees it.
#pragma once

#include <QWidget>

class QTextEdit;

namespace Vantrel {

class TFormPorocilo : public QWidget {
    Q_OBJECT

public:
    explicit TFormPorocilo(QWidget* parent = nullptr);

    QTextEdit* RichEditPorocilo = nullptr;

    // The file's text, read as every text file is; false when it cannot be read.
    bool LoadReport(const QString& path);
};

}  // namespace Vantrel
