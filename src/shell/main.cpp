// Chengyu Shop: builds the application and its main window, then runs the
// event loop until the process ends.
#include <QApplication>

#include "app/localisation.h"
#include "app/platform.h"
#include "app/session_end.h"
#include "app/style.h"
#include "checkout/main_window.h"
#include "navigation.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    shop::app::useChinese(app);
    shop::app::style::apply(app);
    shop::checkout::MainWindow window(shop::shell::buildNavigation());
    // Logout, shutdown and signals record the run's sales like the close button.
    shop::app::SessionEnd sessionEnd(app, [&window] { window.endSession(); });
    window.show();
    app.exec();
    // The window ends the process itself; reaching here ends it the same way.
    shop::app::exitProcess(0);
    return 0;
}
