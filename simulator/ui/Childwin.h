// The listing window: the assembler's listing, read-only, with the line of
// PC and the breakpoints marked by colour and selection.
#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <vector>

class QPlainTextEdit;

// The key of a listing line: its first four characters (the whole line if it
// is shorter). Breakpoints are keys.

namespace VantrelSIM {

QString ListingKey(const QString& line);
// The address in characters 6-9 when they are four hex digits (either case),
// else -1: such a line never matches PC.
int ListingAddress(const QString& line);
// The address run-from-cursor reads from characters 6-9; a missing or
// non-hex character counts as a zero digit.
uint16_t CursorAddress(const QString& line);
// Whether key is among the breakpoint keys, letter case ignored.
bool IsBreakpointKey(const QStringList& breakpoints, const QString& key);

class TMDIChild : public QWidget {
    Q_OBJECT

public:
    explicit TMDIChild(QWidget* parent = nullptr);

    QPlainTextEdit* RichEdit1 = nullptr;

    // Shows the text of the listing file; false with err filled when the
    // file cannot be read.
    bool LoadFile(const QString& name, QString* err);

    int LineCount() const { return static_cast<int>(Keys.size()); }
    // 1-based line number; an empty text outside the listing.
    QString LineText(int line) const;
    QString LineKey(int line) const;
    // Lines whose address field holds address, first to last.
    std::vector<int> LinesAt(uint16_t address) const;

    // Selects line whole and gives it colour. Counts as a change of the
    // listing: marks it modified and reports the caret.
    void ColourLine(int line, const QColor& colour);

    bool Modified = false;

signals:
    // The caret or the selection may have moved, or the text changed.
    void CaretChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QStringList Keys;
    std::vector<int> Addresses;
};

}  // namespace VantrelSIM
