#include "simulator/ui/ToolWindow.h"

#include "gui/Guard.h"
#include "simulator/Hc11.h"
#include "simulator/ui/Childwin.h"  // Main.h holds a QPointer to the listing window
#include "simulator/ui/Main.h"
#include "simulator/ui/UnitCPUreg.h"
#include "simulator/ui/UnitNaslovi.h"
#include "simulator/ui/UnitRegistri.h"
#include "simulator/ui/UnitSklad.h"
#include "simulator/ui/UnitViewSprem.h"
#include "simulator/ui/UnitVrata.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QLayout>

#include <algorithm>
#include <functional>
#include <utility>

namespace VantrelSIM {

namespace {

// A separate window above the main window; `minimise` adds that button.
Qt::WindowFlags ToolWindowFlags(bool minimise) {
    Qt::WindowFlags flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (minimise) flags |= Qt::WindowMinimizeButtonHint;
    return flags;
}

template <class Form, Form*& FormVariable>
constexpr TFormSlot Slot() {
    return {[]() -> TToolWindow* { return FormVariable; },
            [](QWidget* owner) -> TToolWindow* {
                FormVariable = new Form(owner);
                return FormVariable;
            },
            [] { FormVariable = nullptr; }};
}

}  // namespace

// In refresh order (TToolWindowIndex). A row: caption, menu key, menu
// position, menu item's name and its handler, minimise button, refresh on
// activation, kept without a listing, form variable. The I/O ports window
// stays without a listing: the pins can be set up before a program is loaded.
constinit const std::array<TToolWindowKind, 6> ToolWindowTable = {{
    {"Registri CPE", "CPE", 0, "OknoregistrovCPE1", &TMainForm::OknoregistrovCPE1Click, false, true, false,
     Slot<TFormCPUreg, FormCPUreg>()},
    {"Registri vgrajenih enot", "Registri vgrajenih enot", 1, "Registrivgrajenihenot1",
     &TMainForm::Registrivgrajenihenot1Click, true, true, false, Slot<TFormRegistri, FormRegistri>()},
    {"Spominske lokacije", "lokacije", 3, "Spominskelokacije1", &TMainForm::Spominskelokacije1Click, true, true, false,
     Slot<TFormNaslovi, FormNaslovi>()},
    {"Sklad", "Sklad", 2, "Sklad1", &TMainForm::Sklad1Click, true, true, false, Slot<TFormSklad, FormSklad>()},
    {"V/I vrata", "vrata", 5, "VrataA1", &TMainForm::VrataA1Click, true, false, true, Slot<TFormVrata, FormVrata>()},
    {"Uporabniške spremenljivke", "spremenljivke", 4, "Uporabnikespremenljivke1",
     &TMainForm::Uporabnikespremenljivke1Click, true, false, false, Slot<TFormViewSprem, FormViewSprem>()},
}};

TToolWindow::TToolWindow(QWidget* owner, TToolWindowIndex index)
    : QWidget(owner, ToolWindowFlags(ToolWindowTable[index].Minimise)), kind_(ToolWindowTable[index]) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromUtf8(kind_.Caption));
    setFont(ToolWindowFont());
}

TToolWindow::~TToolWindow() { Forget(); }

void TToolWindow::Forget() {
    if (forgotten_) return;
    forgotten_ = true;
    kind_.Form.Forget();
}

void TToolWindow::closeEvent(QCloseEvent* event) {
    if (MainForm) MainForm->ToolWindowClosed(*this);
    Forget();
    event->accept();
}

void TToolWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (kind_.RefreshOnActivation && event->type() == QEvent::ActivationChange && isActiveWindow())
        gui::Guarded(this, [this] { FormActivate(); });
}

QLatin1StringView CellLatin1(const TMemoryCell& cell) { return {cell.Text, cell.Length}; }

QFont ToolWindowFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

QPoint FreeSpot(const QRect& work, const QSize& size, const QList<QRect>& taken) {
    // A free spot touches the work area's edge or a taken frame on its right
    // and above it.
    QList<int> rights{work.right()};
    QList<int> tops{work.top()};
    for (const QRect& frame : taken) {
        rights << frame.left() - 1;
        tops << frame.bottom() + 1;
    }
    std::sort(rights.begin(), rights.end(), std::greater<>());
    std::sort(tops.begin(), tops.end());
    for (int right : rights) {
        for (int top : tops) {
            const QRect spot(QPoint(right - size.width() + 1, top), size);
            if (work.contains(spot) &&
                std::none_of(taken.begin(), taken.end(), [&](const QRect& frame) { return frame.intersects(spot); }))
                return spot.topLeft();
        }
    }
    return {std::max(work.left(), work.right() - size.width() + 1), work.top()};
}

namespace {
// Title bars centre the caption between the window's icon on the left and
// its buttons on the right: openbox with Debian's theme keeps 52 pixels on
// each side of a window with minimise, maximise and close.
constexpr int TitleBarSideRoom = 56;

int CaptionWidth(const QString& caption) {
    // A point above the title font of Debian's openbox (sans, bold, 8 points),
    // for themes and screens that make it a little larger.
    QFont font(QStringLiteral("Sans"));
    font.setPointSize(9);
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(caption) + 2 * TitleBarSideRoom;
}

}  // namespace

void FitCaption(QWidget& window) {
    QLayout* layout = window.layout();
    const int missing = CaptionWidth(window.windowTitle()) - window.sizeHint().width();
    if (!layout || missing <= 0) return;
    const QMargins margins = layout->contentsMargins();
    layout->setContentsMargins(margins.left() + missing / 2, margins.top(), margins.right() + missing - missing / 2,
                               margins.bottom());
}

bool IsHexKey(QChar key) { return key == QChar('\b') || HexToInt(QStringView(&key, 1)).has_value(); }

namespace {
int WindowsRefreshDepth = 0;
bool ConversionErrorShown = false;
}  // namespace

TWindowsRefresh::TWindowsRefresh() {
    if (WindowsRefreshDepth++ == 0) ConversionErrorShown = false;
}

TWindowsRefresh::~TWindowsRefresh() { --WindowsRefreshDepth; }

void ShowConversionError(QWidget* parent) {
    if (MainForm) MainForm->StopRun();
    if (WindowsRefreshDepth > 0 && std::exchange(ConversionErrorShown, true)) return;
    gui::ShowApplicationError(parent, QString::fromUtf8(HexErrorText));
}

}  // namespace VantrelSIM
