#include "photo.h"

#include <QFile>

namespace shop::employees {

PhotoFile readPhotoFile(const QString& path, qint64 limit) {
    PhotoFile result;
    if (path.isEmpty()) return result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = PhotoFile::Status::Unreadable;
        return result;
    }
    // One byte past the limit tells a file that is too long without reading
    // all of a huge one.
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit) {
        result.status = PhotoFile::Status::TooLarge;
        return result;
    }
    if (file.error() != QFileDevice::NoError) {
        result.status = PhotoFile::Status::Unreadable;
        return result;
    }
    result.status = PhotoFile::Status::Loaded;
    result.bytes = std::move(bytes);
    return result;
}

}  // namespace shop::employees
