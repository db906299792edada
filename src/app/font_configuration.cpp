#include "font_configuration.h"

#include <fontconfig/fontconfig.h>

#include <QtGlobal>

namespace shop::app {

namespace {

// The folders and caches of the system's own configuration, and nothing else.
constexpr char kConfiguration[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/local/share/fonts</dir>
  <dir prefix="xdg">fonts</dir>
  <cachedir>/var/cache/fontconfig</cachedir>
  <cachedir prefix="xdg">fontconfig</cachedir>
</fontconfig>
)";

}  // namespace

bool useOwnFontConfiguration() {
    if (qEnvironmentVariableIsSet("FONTCONFIG_FILE") ||
        qEnvironmentVariableIsSet("FONTCONFIG_PATH"))
        return false;
    FcConfig* config = FcConfigCreate();
    if (config == nullptr) return false;
    const bool ready = FcConfigParseAndLoadFromMemory(
                           config, reinterpret_cast<const FcChar8*>(kConfiguration), FcFalse) &&
                       FcConfigBuildFonts(config) && FcConfigSetCurrent(config);
    // Made current, the library holds its own reference; otherwise the
    // system's configuration is loaded as usual on first use.
    FcConfigDestroy(config);
    return ready;
}

}  // namespace shop::app
