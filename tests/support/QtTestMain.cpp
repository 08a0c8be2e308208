// main() of a Qt test program, chosen by vantrel_add_test's QT_MAIN: an
// application named as the program under test (a widget one with
// VANTREL_TEST_APPLICATION, on a private X server with
// VANTREL_TEST_PRIVATE_DISPLAY), else a core application for the tests whose
// code posts events but opens no window.
#include <gmock/gmock.h>

#ifdef VANTREL_TEST_APPLICATION
#include "gui/DialogAnswers.h"
#include "gui/PrivateDisplay.h"
#else
#include <QCoreApplication>
#endif

int main(int argc, char** argv) {
#if defined(VANTREL_TEST_PRIVATE_DISPLAY)
    return gui::RunQtTestsOnPrivateDisplay(argc, argv, QStringLiteral(VANTREL_TEST_APPLICATION));
#elif defined(VANTREL_TEST_APPLICATION)
    return gui::RunQtTests(argc, argv, QStringLiteral(VANTREL_TEST_APPLICATION));
#else
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
#endif
}
