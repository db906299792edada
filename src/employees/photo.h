// Employee photos: reading the chosen file within the size the employee table
// holds. Showing them is ui/photo_box.h.
#pragma once

#include <QByteArray>
#include <QString>

namespace shop::employees {

struct PhotoFile {
    enum class Status { Cancelled, Unreadable, TooLarge, Loaded };
    Status status = Status::Cancelled;
    QByteArray bytes;  // the whole file, unchanged, when Loaded
};

// Reads the file the dialog returned. An empty name is a cancelled dialog; a
// file longer than `limit` bytes is refused rather than cut, since a cut
// picture no longer decodes.
PhotoFile readPhotoFile(const QString& path, qint64 limit);

}  // namespace shop::employees
