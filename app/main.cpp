#include "CTerminalApp.h"
#include "DialogBuilder.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QIcon icon;
    icon.addPixmap(DialogBuilder::AppIconPixmap(32));
    icon.addPixmap(DialogBuilder::AppIconPixmap(16));
    QApplication::setWindowIcon(icon);

    CTerminalApp terminal;
    // The program ends when the main window closes: no message loop of our own follows.
    (void)terminal.InitInstance();
    return 0;
}
