// The on-chip registers window: the 64 cells $1000-$103F by name, read-only.
#pragma once

#include "simulator/ui/ToolWindow.h"

namespace VantrelSIM {

class TextGrid;

class TFormRegistri : public TToolWindow {
    Q_OBJECT
public:
    explicit TFormRegistri(QWidget* owner);

    void RefreshView() override;

    TextGrid* StringGrid1 = nullptr;

private:
    void FormCreate();
};

extern TFormRegistri* FormRegistri;

}  // namespace VantrelSIM
