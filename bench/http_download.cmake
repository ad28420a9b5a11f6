# Download benchmark of the updater's HTTP transfer (Windows tree, run under
# Wine by scripts/bench-download, which compares it with curl).
if(WIN32 AND TARGET tollwren_core AND NOT TARGET http_download_bench)
  add_executable(http_download_bench "${CMAKE_CURRENT_LIST_DIR}/http_download_bench_win.cpp")
  target_link_libraries(http_download_bench PRIVATE tollwren_core)
  target_link_options(http_download_bench PRIVATE -municode)
endif()
