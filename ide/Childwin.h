// Unit Childwin: the editor window, an MDI child holding one rich-edit
// control. The window owns its document: the file's encoding and line ends
// are kept so a save writes the file back the way it was.
#pragma once

#include <QString>
#include <QWidget>

#include "platform/text/TextFile.h"

class QTextEdit;

namespace Vantrel {

// How a new document is stored.
inline constexpr TTextFormat NewDocumentFormat{TTextEncoding::Utf8, TLineEnds::Lf};

// Writes the control's whole text to name in the given format; false with
// err filled when it cannot be written (the file then stays as it was).
bool SaveRichEditText(const QTextEdit& edit, const TTextFormat& format, const QString& name, QString* err);

// "Dokument <caption> je bil spremenjen. Spremembe zavržem?"
QString CloseQuestion(const QString& caption);

class TMDIChild : public QWidget {
    Q_OBJECT

public:
    explicit TMDIChild(QWidget* parent = nullptr);

    // The help page F1 shows for this window.
    static constexpr unsigned HelpContext = 1;

    QTextEdit* RichEdit1 = nullptr;
    TTextFormat Format = NewDocumentFormat;

    // Loads the file's lines; false with err filled when it cannot be read.
    bool LoadFile(const QString& name, QString* err);
    // Writes the whole text to name in the document's format; false with err
    // filled when it cannot be written (the file then stays as it was).
    bool SaveFile(const QString& name, QString* err);

    bool Modified() const;
    // A new window's client area: the MDI area sizes the frame around it.
    QSize sizeHint() const override;
    void SetModified(bool modified);

    // Asks the close question when the text is modified; true when the
    // window may close.
    bool ConfirmClose();
    // The user already agreed to lose the changes (closing the main window).
    bool DiscardConfirmed = false;

protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace Vantrel
