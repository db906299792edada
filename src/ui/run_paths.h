// Small conversions every feature window needs: the data paths of this run
// and texts between the storage layer (UTF-8) and the widgets.
#pragma once

#include <QString>
#include <string>

#include "storage/data_paths.h"

namespace shop::ui {

// The data paths under the program's run directory.
storage::DataPaths dataPaths();

inline QString fromStd(const std::string& text) { return QString::fromStdString(text); }

}  // namespace shop::ui
