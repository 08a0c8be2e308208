// Shared by the tool windows' tests: a main window around real windows,
// message boxes recorded instead of shown, and small program helpers.
#pragma once

#include "gui/DialogAnswers.h"
#include "simulator/Hc11.h"
#include "simulator/ui/Main.h"

#include <QMessageBox>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

namespace VantrelSIM {

class TextGrid;

class ToolWindowTest : public ::testing::Test, public gui::TDialogAnswers {
protected:
    void SetUp() override;
    void TearDown() override;

    // Bytes into memory from `address`, PC there.
    static void LoadProgram(uint16_t address, std::initializer_list<uint8_t> bytes);
    static void SetCell(uint16_t address, const char* text) { WriteCell(address, text); }
    static std::string Cell(uint16_t address) { return MemoryImage[address].Str(); }
    // One step as the Step button runs it, window refresh included.
    void Step(int count = 1);

    // Keys into the grid's current cell, press and release each.
    static void Type(TextGrid* grid, const char* keys);
    static void Key(TextGrid* grid, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    static void Select(TextGrid* grid, int column, int row);

    TMainForm* Form = nullptr;
};

}  // namespace VantrelSIM
