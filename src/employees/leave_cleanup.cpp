#include "leave_cleanup.h"

#include <QDir>
#include <QFileInfo>

#include "app/event_services.h"
#include "storage/table.h"

namespace shop::employees {

void deleteLeaveTable(const storage::DataPaths& paths, const std::string& name) {
    const auto table = paths.leaveTable(name);
    if (!table) return;
    const QString own = QFileInfo(QString::fromStdString(*table)).fileName();
    const QDir folder(QString::fromStdString(paths.leaveFolder()));
    for (const QString& entry : app::listFolder(folder.path(), QStringLiteral("*")))
        if (entry == own) storage::removeTable(folder.filePath(entry).toStdString());
}

}  // namespace shop::employees
