#include "gui/DialogAnswers.h"

int main(int argc, char** argv) { return gui::RunQtTests(argc, argv, QStringLiteral("HC11")); }
