// The listing window: the assembler's listing, read-only, with the line of
// PC and the breakpoints marked by colour and selection.
#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <span>
#include <vector>

class QPlainTextEdit;
class QTextCursor;

namespace VantrelSIM {

// The line fields of ListingFields.h on the window's text.
QString ListingKey(const QString& line);
int ListingAddress(const QString& line);
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

    int LineCount() const { return static_cast<int>(keys_.size()); }
    // 1-based line number; an empty text outside the listing.
    QString LineText(int line) const;
    QString LineKey(int line) const;
    // Lines whose address field holds address, first to last.
    std::span<const int> LinesAt(uint16_t address) const;

    // Selects line whole and gives it colour. Counts as a change of the
    // listing: marks it modified and reports the caret. A line that has the
    // colour already keeps its text untouched.
    // During a run (`deferred`) the colour is set at once but the selection
    // waits for ShowSelection, which the run calls once a frame: moving the
    // edit's selection costs more than the step itself. SelectionStart and
    // the caret report count the waiting selection as made.
    void ColourLine(int line, const QColor& colour, bool deferred = false);
    // Makes a waiting selection; a line out of view is scrolled to a quarter
    // of the way down, so that a program running through its lines moves
    // the view a page at a time.
    void ShowSelection();
    // Where the selection starts, a waiting one included.
    int SelectionStart() const;

    bool Modified = false;

signals:
    // The caret or the selection may have moved, or the text changed.
    void CaretChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The user's input reaches the edit only after a waiting selection.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildAddressIndex();
    void ScrollIntoViewAhead(int line);
    void Select(const QTextCursor& cursor);

    QStringList keys_;
    std::vector<int> addresses_;
    // The lines of address a are linesByAddress_[lineStart_[a]] up to
    // linesByAddress_[lineStart_[a + 1]]: the step finds the PC's lines
    // without a search through the listing.
    std::vector<uint32_t> lineStart_;
    std::vector<int> linesByAddress_;
    // ColourLine reports the caret once, not at every signal of the edit.
    bool colouring_ = false;
    // The line whose selection waits for ShowSelection; 0 for none.
    int waitingLine_ = 0;
};

}  // namespace VantrelSIM
