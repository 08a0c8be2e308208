// The six tool windows on a real desktop: a private Xvfb with openbox in
// Debian's default configuration, as a new user meets them. What the window
// manager does (where it puts a window, whether it activates it, how wide its
// title is) cannot be seen offscreen. The frames are read from the X server
// as openbox left them.
#include "gui/DialogAnswers.h"
#include "gui/MdiFrame.h"
#include "gui/PrivateDisplay.h"
#include "simulator/Hc11.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/Main.h"
#include "simulator/ui/SampleListing.h"
#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindow.h"
#include "simulator/ui/UnitCPUreg.h"
#include "simulator/ui/UnitNaslovi.h"
#include "simulator/ui/UnitOrodjeWatches.h"
#include "simulator/ui/UnitRegistri.h"
#include "simulator/ui/UnitSklad.h"
#include "simulator/ui/UnitViewSprem.h"
#include "simulator/ui/UnitVrata.h"
#include "tests/support/QtTestSupport.h"

#include <QtGui/qguiapplication_platform.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QWindow>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

extern char** environ;

// Readable failures.
void PrintTo(const QPoint& point, std::ostream* out) { *out << point.x() << "," << point.y(); }
void PrintTo(const QRect& rect, std::ostream* out) {
    *out << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height();
}

namespace VantrelSIM {
namespace {

// Generous: other builds may load the machine; the waits end as soon as
// their condition holds.
constexpr int WaitMs = 20000;

// ----------------------------------------------------------------- X server

template <class Reply>
using TReply = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t Atom(xcb_connection_t* x, const char* name) {
    TReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The 32-bit items of a window's property; empty when it is not set.
std::vector<uint32_t> Property(xcb_connection_t* x, xcb_window_t window, xcb_atom_t property) {
    TReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(x, xcb_get_property(x, 0, window, property, XCB_ATOM_ANY, 0, 1024), nullptr),
        &std::free);
    if (!reply || reply->format != 32) return {};
    const auto* items = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return {items, items + xcb_get_property_value_length(reply.get()) / 4};
}

std::vector<xcb_window_t> Children(xcb_connection_t* x, xcb_window_t window, xcb_window_t* parent = nullptr) {
    TReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(x, xcb_query_tree(x, window), nullptr), &std::free);
    if (!tree) return {};
    if (parent) *parent = tree->parent;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    return {children, children + xcb_query_tree_children_length(tree.get())};
}

// A window's outer rectangle on the screen.
QRect ScreenRect(xcb_connection_t* x, xcb_window_t window) {
    TReply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(x, xcb_get_geometry(x, window), nullptr),
                                              &std::free);
    if (!geometry) return {};
    TReply<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(x, xcb_translate_coordinates(x, window, geometry->root, 0, 0), nullptr),
        &std::free);
    if (!origin) return {};
    const int border = geometry->border_width;
    return {origin->dst_x - border, origin->dst_y - border, geometry->width + 2 * border,
            geometry->height + 2 * border};
}

// What openbox made of a client window.
struct TManagedWindow {
    bool Framed = false;
    QRect Frame;
    QRect Client;
    // The room of the caption in the title bar: the title bar is the frame's
    // part holding the most windows (the caption and the buttons), the
    // caption the widest of those.
    QRect CaptionRoom;
    QStringList AllowedActions;
    // WM_NORMAL_HINTS: the smallest and the largest size asked for.
    QSize MinimumSize;
    QSize MaximumSize;
};

TManagedWindow Managed(xcb_connection_t* x, xcb_window_t client) {
    TManagedWindow managed;
    xcb_window_t frame = XCB_WINDOW_NONE;
    Children(x, client, &frame);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    TReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(x, xcb_get_window_attributes(x, client), nullptr), &std::free);
    managed.Framed = frame != root && frame != XCB_WINDOW_NONE && attributes &&
                     attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
                     !Property(x, client, Atom(x, "_NET_FRAME_EXTENTS")).empty();
    if (!managed.Framed) return managed;
    managed.Frame = ScreenRect(x, frame);
    managed.Client = ScreenRect(x, client);
    size_t most = 0;
    for (xcb_window_t part : Children(x, frame)) {
        const std::vector<xcb_window_t> inside = Children(x, part);
        if (inside.size() <= most) continue;
        most = inside.size();
        managed.CaptionRoom = QRect();
        for (xcb_window_t piece : inside) {
            const QRect rect = ScreenRect(x, piece);
            if (rect.height() >= 8 && rect.width() > managed.CaptionRoom.width()) managed.CaptionRoom = rect;
        }
    }
    for (uint32_t action : Property(x, client, Atom(x, "_NET_WM_ALLOWED_ACTIONS"))) {
        TReply<xcb_get_atom_name_reply_t> name(xcb_get_atom_name_reply(x, xcb_get_atom_name(x, action), nullptr),
                                               &std::free);
        if (name)
            managed.AllowedActions << QString::fromLatin1(xcb_get_atom_name_name(name.get()),
                                                          xcb_get_atom_name_name_length(name.get()));
    }
    // flags, x, y, width, height, minimum width and height, maximum width and height, ...
    const std::vector<uint32_t> hints = Property(x, client, XCB_ATOM_WM_NORMAL_HINTS);
    constexpr uint32_t MinimumSizeFlag = 1u << 4;
    constexpr uint32_t MaximumSizeFlag = 1u << 5;
    if (hints.size() >= 9) {
        if (hints[0] & MinimumSizeFlag) managed.MinimumSize = QSize(int(hints[5]), int(hints[6]));
        if (hints[0] & MaximumSizeFlag) managed.MaximumSize = QSize(int(hints[7]), int(hints[8]));
    }
    return managed;
}

xcb_connection_t* QtConnection() { return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection(); }

TManagedWindow Managed(const QWidget& window) { return Managed(QtConnection(), xcb_window_t(window.winId())); }

bool WaitUntil(const std::function<bool()>& condition) {
    return testsupport::PumpUntil(condition, std::chrono::milliseconds(WaitMs));
}

// Until openbox has framed and mapped the window, and the window knows
// where openbox put it.
::testing::AssertionResult WaitFramed(QWidget* window) {
    TManagedWindow managed;
    const bool framed = WaitUntil([&] {
        managed = Managed(*window);
        return managed.Framed && window->windowHandle()->isExposed() && window->geometry() == managed.Client;
    });
    if (framed) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << qPrintable(window->windowTitle()) << " not framed within " << WaitMs
                                         << " ms: framed " << managed.Framed << ", inside "
                                         << ::testing::PrintToString(managed.Client) << ", the window knows "
                                         << ::testing::PrintToString(window->geometry()) << ", exposed "
                                         << window->windowHandle()->isExposed();
}

// ------------------------------------------------------------------ openbox

// openbox on the private display with Debian's configuration: its theme and
// its title font. Settings of the user's own are out of its reach.
class TOpenbox {
public:
    TOpenbox() = default;
    ~TOpenbox() {
        if (wm_ <= 0) return;
        kill(wm_, SIGTERM);
        int status = 0;
        while (waitpid(wm_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    TOpenbox(const TOpenbox&) = delete;
    TOpenbox& operator=(const TOpenbox&) = delete;

    // Returns once openbox manages the screen; false with err filled when it
    // cannot be started or does not take the screen.
    bool Start(QString* err) {
        std::vector<std::string> variables;
        for (char** variable = environ; *variable; ++variable)
            if (std::strncmp(*variable, "XDG_", 4) != 0) variables.emplace_back(*variable);
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
            variables.push_back(std::string(name) + "=" + home_.Path().string());
        std::vector<char*> envp;
        for (std::string& variable : variables) envp.push_back(variable.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        // openbox runs its startup command once it manages windows; a window
        // mapped while it still starts up may be lost.
        const std::string startup = "touch " + ReadyFile().toStdString();
        const char* args[] = {"openbox",   "--sm-disable",  "--config-file", "/etc/xdg/openbox/rc.xml",
                              "--startup", startup.c_str(), nullptr};
        const int spawned =
            posix_spawnp(&wm_, "openbox", &actions, nullptr, const_cast<char* const*>(args), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            wm_ = -1;
            return Fail(err,
                        QStringLiteral("openbox cannot be started: ") + QString::fromLocal8Bit(std::strerror(spawned)));
        }
        return WaitManaging(err);
    }

private:
    static bool Fail(QString* err, const QString& message) {
        if (err) *err = message;
        return false;
    }

    QString ReadyFile() const { return QString::fromStdString(home_.File("ready")); }

    bool WaitManaging(QString* err) {
        bool ended = false;
        const bool ready = testsupport::WaitUntil(
            [&] {
                if (QFile::exists(ReadyFile())) return true;
                int status = 0;
                ended = waitpid(wm_, &status, WNOHANG) == wm_;
                return ended;
            },
            std::chrono::milliseconds(WaitMs));
        if (ended) {
            wm_ = -1;
            return Fail(err, QStringLiteral("openbox ended at start"));
        }
        if (!ready) return Fail(err, QStringLiteral("openbox did not start within 20 s"));
        return true;
    }

    pid_t wm_ = -1;
    testsupport::TTempFolder home_{"openbox-home"};
};

// ------------------------------------------------------------------ windows

class ToolWindowsOnDesktop : public ::testing::Test, public gui::TDialogAnswers {
protected:
    void SetUp() override {
        for (const auto& [name, bytes] : {std::pair{"TEMP$$.LST", ListingBytes}, std::pair{"TEMP$$.S19", ObjectBytes}})
            ASSERT_TRUE(testsupport::WriteFileBytes(Folder / name, bytes.toStdString()));
        ChosenFile = QString::fromStdString(Folder.File("TEMP$$.LST"));
        ClearModel();
        WatchTable = {};
        WatchTable[0] = {QStringLiteral("START"), QStringLiteral("0000"), 1, 0, 0};
        Form = CreateSimulatorForms();
        // As the program shows itself.
        Form->showMaximized();
        ASSERT_TRUE(WaitFramed(Form));
        ASSERT_TRUE(
            WaitUntil([&] { return Form->isMaximized() && Form->frameGeometry().width() == Screen().width(); }));
        Form->FileOpen1Execute();
        ASSERT_NE(Form->ListingWindow(), nullptr);
        ASSERT_TRUE(Boxes.empty());
    }
    void TearDown() override {
        if (Form->ListingWindow()) Form->ListingWindow()->Modified = false;
        delete Form;
        WatchTable = {};
        if (HasFailure() && !qEnvironmentVariableIsSet("VANTREL_SCREENSHOTS")) {
            Shots.setAutoRemove(false);
            std::printf("screenshots kept in %s\n", qPrintable(Shots.path()));
        }
    }

    static QRect Screen() { return QGuiApplication::primaryScreen()->geometry(); }

    // Opens the window of the table's row from "O&kno", as a user does.
    TToolWindow* Open(const TToolWindowKind& kind) {
        gui::Component(*Form, kind.MenuItemName)->trigger();
        return kind.Form.Current();
    }

    // Global rectangle of a widget of the main window.
    static QRect OnScreen(const QWidget* widget) { return {widget->mapToGlobal(QPoint(0, 0)), widget->size()}; }

    // The whole screen, into the folder named by VANTREL_SCREENSHOTS or a
    // temporary one kept when the test fails.
    void SaveScreen(const QString& name) {
        const QString folder = qEnvironmentVariableIsSet("VANTREL_SCREENSHOTS")
                                   ? qEnvironmentVariable("VANTREL_SCREENSHOTS")
                                   : Shots.path();
        QDir().mkpath(folder);
        const QString path = QDir(folder).filePath(name);
        // Painted first: the X server shows what the windows have drawn.
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible()) window->repaint();
        EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(path)) << qPrintable(path);
    }

    testsupport::TTempFolder Folder;
    // Kept when a test fails, for a look at what the screen showed.
    QTemporaryDir Shots;
    TMainForm* Form = nullptr;
};

// The caption as openbox draws it: Debian's title font (sans, bold,
// 8 points) at the X server's resolution.
int CaptionTextWidth(const QString& caption) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    QFont font(QStringLiteral("Sans"));
    font.setBold(true);
    font.setPointSizeF(8.0 * screen->physicalDotsPerInchY() / screen->logicalDotsPerInchY());
    return QFontMetrics(font).horizontalAdvance(caption);
}

// Every value cell of the six windows that does not show what it stands
// for: "window cell: shown, not expected".
QStringList UnfilledCells() {
    QStringList unfilled;
    const auto expect = [&](const char* window, const QString& cell, const QString& shown, const QString& expected) {
        if (shown != expected)
            unfilled << QStringLiteral("%1 %2: \"%3\", not \"%4\"").arg(QLatin1String(window), cell, shown, expected);
    };
    const auto hex = [](uint32_t value, int digits) {
        return QStringLiteral("%1").arg(value, digits, 16, QChar('0')).toUpper();
    };
    const auto cell = [](uint16_t address) { return QString::fromStdString(MemoryImage[address].Str()); };
    const struct {
        int Row;
        const char* Name;
        QString Value;
    } registers[] = {
        {RowA, "A", hex(CpuRegs.A, 2)},       {RowB, "B", hex(CpuRegs.B, 2)},    {RowIX, "IX", hex(CpuRegs.IX, 4)},
        {RowIY, "IY", hex(CpuRegs.IY, 4)},    {RowPC, "PC", hex(CpuRegs.PC, 4)}, {RowSP, "SP", hex(CpuRegs.SP, 4)},
        {RowCCR, "CCR", hex(CpuRegs.CCR, 2)},
    };
    for (const auto& reg : registers)
        expect("Registri CPE", QLatin1String(reg.Name), FormCPUreg->RowText(reg.Row), reg.Value);
    for (int k = 0; k < 64; ++k)
        expect("Registri vgrajenih enot", hex(0x1000 + k, 4), FormRegistri->StringGrid1->Cell(0, k), cell(0x1000 + k));
    for (int a = 0x0000; a <= 0x00FF; ++a)
        expect("Spominske lokacije", hex(a, 4), FormNaslovi->StringGrid->Cell(a % 16, a / 16), cell(a));
    const QAbstractItemModel* stack = FormSklad->Stack;
    expect("Sklad", QStringLiteral("rows"), QString::number(stack->rowCount()), QString::number(StackDepth));
    for (int r = 0; r < stack->rowCount(); ++r)
        expect("Sklad", hex(CpuRegs.SP + r + 1, 4), stack->index(r, 0).data().toString(), cell(CpuRegs.SP + r + 1));
    expect("Uporabniške spremenljivke", QStringLiteral("1"), FormViewSprem->StringGSpremen->Cell(2, 0),
           QStringLiteral("$") + cell(0) + cell(1));
    expect("V/I vrata", QStringLiteral("PORTA"), FormVrata->Edit1->text(),
           QStringLiteral("%1").arg(HexToInt(cell(0x1000)).value_or(999), 3));
    return unfilled;
}

TEST_F(ToolWindowsOnDesktop, SixWindowsOpenBesideTheBarsFilledAndReadable) {
    // A program that has pushed three bytes.
    StackTop = 0x00FF;
    CpuRegs.SP = 0x00FC;
    StackDepth = 3;

    std::vector<const TToolWindowKind*> byMenu(ToolWindowTable.size());
    for (const TToolWindowKind& kind : ToolWindowTable) byMenu[size_t(kind.MenuPosition)] = &kind;
    for (const TToolWindowKind* kind : byMenu) ASSERT_NE(Open(*kind), nullptr) << kind->Caption;
    for (const TToolWindowKind* kind : byMenu) ASSERT_TRUE(WaitFramed(kind->Form.Current()));
    SaveScreen(QStringLiteral("sest-oken.png"));

    // Filled before any step or click, whether openbox activated them or not.
    const QStringList unfilled = UnfilledCells();
    EXPECT_TRUE(unfilled.isEmpty()) << unfilled.size() << " cells, among them\n"
                                    << qPrintable(unfilled.mid(0, 12).join('\n'));

    const QRect menuBar = OnScreen(Form->menuBar());
    const QRect toolBar = OnScreen(Form->findChild<QToolBar*>());
    const QRect workArea = OnScreen(Form->centralWidget());
    std::vector<QRect> frames;
    for (const TToolWindowKind* kind : byMenu) {
        const TToolWindow* window = kind->Form.Current();
        const TManagedWindow managed = Managed(*window);
        SCOPED_TRACE(kind->Caption);
        EXPECT_FALSE(managed.Frame.intersects(menuBar));
        EXPECT_FALSE(managed.Frame.intersects(toolBar));
        EXPECT_TRUE(workArea.contains(managed.Frame));
        for (const QRect& other : frames) EXPECT_FALSE(managed.Frame.intersects(other));
        frames.push_back(managed.Frame);

        // Fixed size, no maximise button, no minimise button on the CPU window.
        EXPECT_EQ(managed.MinimumSize, window->size());
        EXPECT_EQ(managed.MaximumSize, window->size());
        EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_EQ(bool(window->windowFlags() & Qt::WindowMinimizeButtonHint),
                  kind != &ToolWindowTable[CpuRegistersWindow]);
        for (const char* action :
             {"_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT"})
            EXPECT_FALSE(managed.AllowedActions.contains(QLatin1String(action))) << action;

        // The whole caption fits its room: openbox leaves two pixels blank on
        // each side of the text, and the active title's shadow takes one.
        EXPECT_GE(managed.CaptionRoom.width(), CaptionTextWidth(window->windowTitle()) + 5);
    }

    // The listing's highlighted line starts in view.
    Form->ToolButton15Click();
    QPlainTextEdit* edit = Form->ListingWindow()->RichEdit1;
    QTextCursor start = edit->textCursor();
    ASSERT_TRUE(start.hasSelection());
    start.setPosition(start.selectionStart());
    const QPoint lineStart = edit->viewport()->mapToGlobal(edit->cursorRect(start).center());
    for (const QRect& frame : frames) EXPECT_FALSE(frame.contains(lineStart));
    SaveScreen(QStringLiteral("sest-oken-korak.png"));

    // The watch editor's caption, the longest, reads whole as well.
    FormOrodjeWatches->show();
    ASSERT_TRUE(WaitFramed(FormOrodjeWatches));
    EXPECT_GE(Managed(*FormOrodjeWatches).CaptionRoom.width(), CaptionTextWidth(FormOrodjeWatches->windowTitle()) + 5);
    SaveScreen(QStringLiteral("urejevalnik-spremenljivk.png"));
    FormOrodjeWatches->hide();
}

TEST_F(ToolWindowsOnDesktop, AWindowOpenedAgainComesBackWhereTheUserPutIt) {
    const TToolWindowKind& kind = ToolWindowTable[StackWindow];
    const auto reopen = [&] {
        kind.Form.Current()->close();
        EXPECT_TRUE(WaitUntil([&] { return kind.Form.Current() == nullptr; }));
        TToolWindow* window = Open(kind);
        EXPECT_TRUE(WaitFramed(window));
        return Managed(*window).Frame.topLeft();
    };
    ASSERT_TRUE(WaitFramed(Open(kind)));
    const QPoint firstPlace = Managed(*kind.Form.Current()).Frame.topLeft();
    EXPECT_EQ(reopen(), firstPlace);
    // Dragged to the left under the tool bar, as the window manager moves it.
    const QPoint place = OnScreen(Form->centralWidget()).topLeft() + QPoint(40, 60);
    kind.Form.Current()->move(place);
    ASSERT_TRUE(WaitUntil([&] { return Managed(*kind.Form.Current()).Frame.topLeft() == place; }));
    EXPECT_EQ(reopen(), place);
}

}  // namespace
}  // namespace VantrelSIM

int main(int argc, char** argv) {
    VantrelSIM::TOpenbox openbox;  // reaped after its display has gone
    return gui::RunQtTestsOnPrivateDisplay(argc, argv, QStringLiteral("VantrelSIM"),
                                           [&](QString* err) { return openbox.Start(err); });
}
