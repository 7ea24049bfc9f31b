#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Widget tests run without a display, and no platform theme may bring native dialogs that could
// hang a run.
int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    unsetenv("QT_QPA_PLATFORMTHEME");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
