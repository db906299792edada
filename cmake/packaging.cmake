# The release archive: `cmake --build build/release --target package` makes
# chengyu-shop-<version>-linux-x86_64.tar.gz, one folder holding a run folder
# ready to use: the program and the table tool, the five data folders with
# the shipped (empty) tables, the settings folder, a desktop entry with the
# program's icon, and a README naming the Debian packages it runs on.
# Qt and SQLite are the system's; nothing else is bundled.

install(TARGETS chengyu_shop shop_table RUNTIME DESTINATION .)
# The data folders and the shipped tables, made by the table tool itself in
# the staged folder (never the demo catalogue: a shop starts empty).
install(CODE "
  set(run_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  execute_process(COMMAND \"$<TARGET_FILE:shop_table>\" provision \"\${run_dir}\" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR \"shop_table provision \${run_dir} failed\")
  endif()
")
install(FILES ${CMAKE_SOURCE_DIR}/assets/logo.svg DESTINATION . RENAME chengyu-shop.svg)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/package/chengyu-shop.desktop ${CMAKE_CURRENT_LIST_DIR}/package/README
        DESTINATION .)
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/package/install-desktop-entry.sh DESTINATION .)
# The back office starts the shop server with it.
install(PROGRAMS ${CMAKE_SOURCE_DIR}/scripts/shop_server.sh DESTINATION .)

set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME chengyu-shop)
set(CPACK_PACKAGE_VENDOR "Chengyu Shop")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "澄屿店铺管理系统: checkout, receipts, products, performance, employees")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME chengyu-shop-${PROJECT_VERSION}-linux-x86_64)
set(CPACK_STRIP_FILES ON)   # the build keeps its debug information; the archive does not
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
