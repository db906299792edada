// Which window each of the main window's openers shows.
#pragma once

#include "app/navigation.h"

namespace shop::shell {

shop::app::Navigation buildNavigation();

}  // namespace shop::shell
