// Chengyu Shop: builds the application and its main window, then runs the
// event loop until the process ends.
#include <QApplication>

#include "checkout/main_window.h"
#include "app/platform.h"
#include "app/style.h"
#include "display_check.h"
#include "navigation.h"

int main(int argc, char** argv) {
    if (!shop::shell::haveDisplay(argc, argv)) return 1;
    QApplication app(argc, argv);
    shop::app::style::apply(app);
    shop::checkout::MainWindow window(shop::shell::buildNavigation());
    window.show();
    app.exec();
    // The window ends the process itself; reaching here ends it the same way.
    shop::app::exitProcess(0);
    return 0;
}
