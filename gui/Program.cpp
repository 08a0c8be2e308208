#include "gui/Program.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QProxyStyle>
#include <QTranslator>

namespace gui {

namespace {

// Qt's Slovenian catalog predates some contexts under which Qt 6 looks up
// its texts: the standard buttons' (QPlatformTheme) and the file types'
// (QAbstractFileIconProvider). It has them under the contexts of their
// earlier owners, where this translator finds them.
struct TContextMove {
    const char* Now;
    const char* Before;
};
constexpr TContextMove MovedContexts[] = {
    {"QPlatformTheme", "QDialogButtonBox"},
    {"QAbstractFileIconProvider", "QFileDialog"},
};

class TQtTranslator : public QTranslator {
public:
    explicit TQtTranslator(QObject* parent) : QTranslator(parent) {}
    bool Load(const QLocale& locale) {
        return catalog_.load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    QString translate(const char* context, const char* sourceText, const char* disambiguation, int n) const override {
        const QString text = catalog_.translate(context, sourceText, disambiguation, n);
        if (!text.isEmpty()) return text;
        for (const TContextMove& move : MovedContexts)
            if (qstrcmp(context, move.Now) == 0) return catalog_.translate(move.Before, sourceText, disambiguation, n);
        return text;
    }
    bool isEmpty() const override { return catalog_.isEmpty(); }

private:
    QTranslator catalog_;
};

class TTextOnlyButtonsStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

}  // namespace

QTranslator* InstallSlovenianTranslations(QApplication& app) {
    auto* translator = new TQtTranslator(&app);
    if (!translator->Load(QLocale(QLocale::Slovenian, QLocale::Slovenia)) ||
        !QApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

bool SetProgramIcon(QApplication& app, const QString& resource) {
    const QPixmap image(resource);
    if (image.isNull()) return false;
    app.setWindowIcon(QIcon(image));
    return true;
}

void UseTextOnlyDialogButtons(QApplication& app) {
    if (dynamic_cast<TTextOnlyButtonsStyle*>(app.style())) return;
    app.setStyle(new TTextOnlyButtonsStyle(app.style()->name()));
}

void SetUpProgram(QApplication& app, const QString& name, const QString& iconResource) {
    QApplication::setApplicationName(name);
    InstallSlovenianTranslations(app);
    SetProgramIcon(app, iconResource);
    UseTextOnlyDialogButtons(app);
}

}  // namespace gui
