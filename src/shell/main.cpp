// Chengyu Shop: builds the application and its main window, then runs the
// event loop until the process ends.
#include <QApplication>
#include <QtGlobal>

#include "app/localisation.h"
#include "app/platform.h"
#include "app/run_directory.h"
#include "app/session_end.h"
#include "app/style.h"
#include "checkout/main_window.h"
#include "display_check.h"
#include "navigation.h"
#include "storage/run_lock.h"

int main(int argc, char** argv) {
    if (!shop::shell::haveDisplay(argc, argv)) return 1;
    QApplication app(argc, argv);
    shop::storage::setFailureLog(
        [](const shop::storage::Status& s) { qWarning("%s", s.message().c_str()); });
    shop::app::useChinese(app);
    // The look first: even the refusal below is a box in the program's font.
    shop::app::style::apply(app);
    // One program per run folder; the lock goes with the process.
    shop::storage::RunLock runLock;
    if (runLock.acquire(shop::app::runDirectory()).code() == shop::storage::Status::Code::Locked) {
        shop::app::showMessage(nullptr, QStringLiteral("本店铺系统已在运行"));
        return 1;
    }
    shop::checkout::MainWindow window(shop::shell::buildNavigation());
    // Logout, shutdown and signals record the run's sales like the close button.
    shop::app::SessionEnd sessionEnd(app, [&window] { window.endSession(); });
    window.show();
    app.exec();
    // The window ends the process itself; reaching here ends it the same way.
    shop::app::exitProcess(0);
    return 0;
}
