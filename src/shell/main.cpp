// Chengyu Shop: builds the application and its main window, then runs the
// event loop until the process ends.
#include <QApplication>
#include <QtGlobal>
#include <cstdio>
#include <string>

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
    // One program per run folder; the lock goes with the process. A lock
    // that cannot be taken for any other reason stops the start too: a
    // second copy would take the first one's live journal for a crashed
    // run's and store its sales twice.
    shop::storage::RunLock runLock;
    const std::string runDir = shop::app::runDirectory();
    const shop::storage::Status lock = runLock.acquire(runDir);
    if (lock.code() == shop::storage::Status::Code::Locked) {
        shop::app::showMessage(nullptr, QStringLiteral("本店铺系统已在运行"));
        return 1;
    }
    if (!lock.ok()) {
        std::fprintf(stderr, "澄屿店铺管理系统无法启动：无法锁定运行文件夹：%s（运行文件夹：%s）\n",
                     lock.message().c_str(), runDir.c_str());
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
