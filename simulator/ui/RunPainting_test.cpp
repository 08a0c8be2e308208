// What a real X server shows of the simulator's windows after a continuous
// run: the screen must carry what the windows paint afresh. Runs on a
// private Xvfb (the offscreen platform keeps no screen to compare with).
#include "gui/DialogAnswers.h"
#include "simulator/Hc11.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/Main.h"
#include "simulator/ui/ToolWindow.h"
#include "simulator/ui/UnitSklad.h"
#include "tests/support/QtTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace VantrelSIM {
namespace {

// A subroutine called in a loop: the stack grows and shrinks all the time.
const QByteArray ListingBytes =
    "0001 0000 8E 00 FF     START   LDS   #$00FF\n"
    "0002 0003 BD 00 08     LOOP    JSR   SUB\n"
    "0003 0006 20 FB                BRA   LOOP\n"
    "0004 0008 36           SUB     PSHA\n"
    "0005 0009 4C                   INCA\n"
    "0006 000A 32                   PULA\n"
    "0007 000B 39                   RTS\n";
const QByteArray ObjectBytes = "S10F00008E00FFBD000820FB364C323953\nS9030000FC\n";

QImage Shown(QWidget* window) {
    return window->screen()->grabWindow(window->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}
QImage Fresh(QWidget* window) { return window->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// The window as the X server shows it equals the window painted afresh.
::testing::AssertionResult ScreenShowsCurrentContent(QWidget* window) {
    const QImage shown = Shown(window);
    const QImage fresh = Fresh(window);
    if (shown == fresh) return ::testing::AssertionSuccess();
    const QString base = QDir::temp().filePath(QStringLiteral("painting_") + window->objectName());
    shown.save(base + QStringLiteral("_shown.png"));
    fresh.save(base + QStringLiteral("_fresh.png"));
    return ::testing::AssertionFailure() << qPrintable(window->windowTitle())
                                         << ": the screen differs from the window's content (see " << qPrintable(base)
                                         << "_shown.png and _fresh.png)";
}

class RunPainting : public ::testing::Test, public gui::TDialogAnswers {
protected:
    void SetUp() override {
        for (const auto& [name, bytes] : {std::pair{"RUN.LST", ListingBytes}, std::pair{"RUN.S19", ObjectBytes}})
            ASSERT_TRUE(testsupport::WriteFileBytes(Folder / name, bytes.toStdString()));
        ChosenFile = QString::fromStdString(Folder.File("RUN.LST"));
        ClearModel();
        Form = CreateSimulatorForms();
        // Side by side: the X server grabs what lies on top.
        Form->setGeometry(0, 0, 600, 400);
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form));
        Form->FileOpen1Execute();
        ASSERT_NE(Form->ListingWindow(), nullptr);
        TMainForm& form = *Form;
        QPoint place(620, 0);
        int shelf = 0;
        for (const TToolWindowKind& kind : ToolWindowTable) {
            (form.*kind.OpenHandler)();
            QWidget* window = kind.Form.Current();
            const QSize size = window->frameGeometry().size();
            if (place.x() + size.width() > 1280) place = QPoint(0, std::max(shelf, 420));
            window->move(place);
            place.rx() += size.width() + 10;
            shelf = std::max(shelf, place.y() + size.height() + 10);
            ASSERT_TRUE(QTest::qWaitForWindowExposed(kind.Form.Current())) << kind.Caption;
            kind.Form.Current()->setObjectName(QString::fromLatin1(kind.MenuKey).replace(' ', '_'));
        }
        EveryToolWindowShown();  // the run starts from windows that stand
    }
    void TearDown() override {
        if (Form->ListingWindow()) Form->ListingWindow()->Modified = false;
        delete Form;
    }

    // The X server shows what was painted a moment later.
    static bool EveryToolWindowShown() {
        return testsupport::PumpUntil([] {
            for (const TToolWindowKind& kind : ToolWindowTable)
                if (Shown(kind.Form.Current()) != Fresh(kind.Form.Current())) return false;
            return true;
        });
    }
    void ExpectEveryToolWindowShown() {
        EveryToolWindowShown();
        for (const TToolWindowKind& kind : ToolWindowTable) EXPECT_TRUE(ScreenShowsCurrentContent(kind.Form.Current()));
    }

    testsupport::TTempFolder Folder;
    TMainForm* Form = nullptr;
};

TEST_F(RunPainting, ToolWindowsAreRepaintedAfterARunThatMovedTheStack) {
    Form->StartStop1Click();
    QTest::qWait(400);  // a run on the real timer, frames held and painted
    Form->StartStop1Click();
    ASSERT_FALSE(Form->Running());
    EXPECT_TRUE(Boxes.empty());
    ExpectEveryToolWindowShown();
    // Further steps keep the screen current; one round of the loop grows
    // and empties the stack.
    QList<int> rows;
    for (int step = 0; step < 6; ++step) {
        Form->ToolButton15Click();
        rows << FormSklad->Stack->rowCount();
        ExpectEveryToolWindowShown();
    }
    EXPECT_TRUE(rows.contains(0) && rows.contains(3)) << rows.size();
}

}  // namespace
}  // namespace VantrelSIM
