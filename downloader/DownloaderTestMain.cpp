#include "gui/DialogAnswers.h"

// The lamp and the window are widgets, and the port's hand-over posts to the
// application.
int main(int argc, char** argv) { return gui::RunQtTests(argc, argv, QStringLiteral("Tolvex")); }
