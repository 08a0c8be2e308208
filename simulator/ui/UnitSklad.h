// The stack window: every byte from the one above SP up to StackTop, top of
// the stack first, read-only.
#pragma once

#include "simulator/Hc11.h"
#include "simulator/ui/ToolWindow.h"

#include <QAbstractTableModel>

#include <vector>

class QTableView;

namespace VantrelSIM {

// Reads the stack straight from the model state; a refresh only tells the
// view which rows changed, and the view asks for the rows it shows.
class TStackModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Takes StackDepth and StackTop as they are now.
    void Refresh();

private:
    void TakeShown(uint16_t first);

    int depth_ = 0;
    int top_ = 0;
    // The cells the first rows showed at the last refresh.
    std::vector<TMemoryCell> shown_;
};

class TFormSklad : public TToolWindow {
    Q_OBJECT
public:
    explicit TFormSklad(QWidget* owner);

    void RefreshView() override;

    QTableView* StringGrid1 = nullptr;
    TStackModel* Stack = nullptr;

private:
    void FormCreate();
};

extern TFormSklad* FormSklad;

}  // namespace VantrelSIM
