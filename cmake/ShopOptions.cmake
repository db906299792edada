# shop_options: the compile and link options every target of the project
# builds with. Each library, program, test, benchmark and fuzz target links
# it; nothing is set globally, so third-party code keeps its own flags.
add_library(shop_options INTERFACE)
target_compile_features(shop_options INTERFACE cxx_std_20)
target_compile_options(shop_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wformat=2)
if(SHOP_WERROR)
  target_compile_options(shop_options INTERFACE -Werror)
endif()

# Qt strictness: no bare signal/slot keywords (they clash with other
# libraries' names), nothing deprecated in Qt 6, no silent narrowing in
# connections, no implicit QString <-> const char* in the conversions that
# lose the encoding.
target_compile_definitions(shop_options INTERFACE
  QT_NO_KEYWORDS
  QT_DISABLE_DEPRECATED_BEFORE=0x060000
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING)

if(SHOP_SANITIZE STREQUAL "address")
  target_compile_options(shop_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(shop_options INTERFACE -fsanitize=address,undefined)
elseif(SHOP_SANITIZE STREQUAL "thread")
  target_compile_options(shop_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(shop_options INTERFACE -fsanitize=thread)
elseif(NOT SHOP_SANITIZE STREQUAL "")
  message(FATAL_ERROR "SHOP_SANITIZE must be empty, address or thread, not '${SHOP_SANITIZE}'")
endif()

