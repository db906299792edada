// Employee photos: reading the chosen file within the size the employee table
// holds, and showing photo bytes in a picture box.
#pragma once

#include <QByteArray>
#include <QString>

class QLabel;

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

// Shows the bytes in the box, scaled to fit it with the aspect kept and
// centred. Bytes that are not a picture (or none) leave the box empty.
void showPhoto(QLabel* box, const QByteArray& bytes);

}  // namespace shop::employees
