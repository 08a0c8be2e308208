// The stack window: every byte from the one above SP up to StackTop, top of
// the stack first, read-only.
#pragma once

#include <QAbstractTableModel>
#include "simulator/ui/ToolWindow.h"

class QTableView;

// Reads the stack straight from the model state; a refresh only tells the
// view, which asks for the rows it shows, so a deep stack costs nothing.

namespace VantrelSIM {

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
    int depth_ = 0;
    int top_ = 0;
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
