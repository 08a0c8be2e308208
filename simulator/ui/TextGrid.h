// A string grid for the tool windows: fixed title row and column shown as
// the table's headers, cells of plain text, and typing handled by the grid
// itself (no in-place editor widget), so that each window can filter every
// key and write the current cell back on every key release.
#pragma once

#include <QPointer>
#include <QTableWidget>

#include <functional>
#include <vector>

namespace VantrelSIM {

class TFramePacer;

// Writes a title into the top-left corner of a table view.
void SetCornerText(QTableView* view, const QString& text);

class TextGrid : public QTableWidget {
    Q_OBJECT
public:
    // Data rows and columns, without the title row and column.
    TextGrid(int columns, int rows, QWidget* parent = nullptr);

    // Pixel geometry of a fixed grid: the title column, each data column,
    // every row; the widget takes the size that shows `visibleRows` rows.
    void SetGeometry(int titleColumnWidth, const QList<int>& columnWidths, int rowHeight, int visibleRows,
                     bool scrollBar);

    void SetCornerText(const QString& text);
    void SetColumnTitles(const QStringList& titles);
    void SetRowTitle(int row, const QString& text);
    void SetColumnAlignment(int column, Qt::Alignment alignment);

    // Cell of data column `column` and data row `row`, both from 0.
    QString Cell(int column, int row) const;
    // A programmatic write; it ends typing in that cell and clears its edited
    // mark. A cell that already holds the text is left as it is, so a
    // refresh that finds nothing changed costs no repaint. While a run holds
    // its frames (PaceBy), the grid takes the text at once (Cell reads it)
    // but shows it at the frame.
    void SetCell(int column, int row, const QString& text);
    void SetCell(int column, int row, QLatin1StringView text);
    // Counts every change of a cell's text, whoever made it: a window whose
    // refresh finds the grid's count and its own data as they were has
    // nothing to write.
    uint64_t Generation() const { return generation_; }
    // Writes during a run wait for the pacer's frame.
    void PaceBy(TFramePacer* pacer);
    // Shows the texts written since the last frame.
    void ShowCells();
    // True when the user has typed into the cell since it was last set.
    bool Edited(int column, int row) const;

    // Decides whether a typed character (or '\b' for Backspace) reaches the
    // cell; `text` is the cell as the key would find it.
    using KeyFilter = std::function<bool(int column, int row, QChar key, const QString& text)>;
    void SetKeyFilter(KeyFilter filter) { keyFilter_ = std::move(filter); }
    // Upper-cases what is typed (hex fields).
    void SetUpperCaseTyping(bool on) { upperCase_ = on; }
    void SetReadOnly(bool on) { readOnly_ = on; }

signals:
    // Every key release while the grid has the focus, after the key acted.
    void KeyReleased(int key, Qt::KeyboardModifiers modifiers);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    QTableWidgetItem* ItemAt(int column, int row) const;
    // Index into texts_ and edited_; -1 outside the grid.
    int CellIndex(int column, int row) const;
    template <class Text>
    void WriteCell(int column, int row, const Text& text);
    void ItemChanged(QTableWidgetItem* item);

    int columns_ = 0;
    int rows_ = 0;
    // The cells' texts as the items hold them, kept beside the items so that
    // a refresh compares without going through the model.
    QList<QString> texts_;
    // Typed into since the cell was last set.
    std::vector<bool> edited_;
    uint64_t generation_ = 0;
    QPointer<TFramePacer> pacer_;
    // Cells whose text waits for the frame.
    std::vector<int> waiting_;
    std::vector<bool> isWaiting_;

    KeyFilter keyFilter_;
    bool upperCase_ = false;
    bool readOnly_ = false;
    // The cell being typed into: the first key replaces its text, later keys append.
    int typingColumn_ = -1;
    int typingRow_ = -1;
};

}  // namespace VantrelSIM
