#include "run_paths.h"

#include "app/run_directory.h"

namespace shop::ui {

storage::DataPaths dataPaths() { return storage::DataPaths{app::runDirectory()}; }

}  // namespace shop::ui
