#include "simulator/ui/ToolWindowsTestSupport.h"

#include "gui/Guard.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/TextGrid.h"
#include "simulator/ui/UnitOrodjeWatches.h"

#include <QApplication>

namespace VantrelSIM {

void ToolWindowTest::SetUp() {
    Form = new TMainForm;
    if (!FormOrodjeWatches) new TFormOrodjeWatches(Form);
    ClearModel();
}

void ToolWindowTest::TearDown() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != Form && window->parentWidget() == Form && window->isVisible()) window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    FormOrodjeWatches = nullptr;
    delete Form;
}

void ToolWindowTest::LoadProgram(uint16_t address, std::initializer_list<uint8_t> bytes) {
    uint16_t at = address;
    for (uint8_t byte : bytes) StoreByte(at++, byte);
    CpuRegs.PC = address;
}

void ToolWindowTest::Step(int count) {
    for (int i = 0; i < count; ++i) Form->ToolButton15Click();
}

void ToolWindowTest::Type(TextGrid* grid, const char* keys) {
    for (const char* c = keys; *c; ++c) QTest::keyClick(grid, *c);
}

void ToolWindowTest::Key(TextGrid* grid, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(grid, key, modifiers);
}

void ToolWindowTest::Select(TextGrid* grid, int column, int row) {
    grid->setFocus();
    grid->setCurrentCell(row, column);
}

}  // namespace VantrelSIM
