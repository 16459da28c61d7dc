# The browser edition: hazardcab.js, .wasm and .data beside the page in www/, with the
# music beside them for the page to fetch once play has started.
set(HC_WEB_DIR ${CMAKE_BINARY_DIR}/www)
set(HC_WEB_SOURCE ${CMAKE_CURRENT_LIST_DIR})
add_executable(hazardcab ${PROJECT_SOURCE_DIR}/src/shell/main.cpp)
target_link_libraries(hazardcab PRIVATE hc_shell)
set_target_properties(hazardcab PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HC_WEB_DIR} SUFFIX .js)
target_link_options(hazardcab PRIVATE
  # Each present and each sleep of the game's loops hands the tab back to the browser.
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  -sINITIAL_MEMORY=96MB -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web
  -sFORCE_FILESYSTEM=1 -lidbfs.js -lopenal -sEXPORTED_RUNTIME_METHODS=FS
  --pre-js ${HC_WEB_SOURCE}/pre.js
  --preload-file ${HC_DATA_DIR}/graphics.pak@/data/graphics.pak)
set_property(TARGET hazardcab APPEND PROPERTY LINK_DEPENDS
  ${HC_WEB_SOURCE}/pre.js ${HC_DATA_DIR}/graphics.pak)
add_custom_command(TARGET hazardcab POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${HC_WEB_SOURCE}/index.html ${HC_WEB_DIR}/index.html
  COMMAND ${CMAKE_COMMAND} -E make_directory ${HC_WEB_DIR}/audio
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${HC_DATA_DIR}/audio/track1.ogg ${HC_DATA_DIR}/audio/track2.ogg
          ${HC_DATA_DIR}/audio/track3.ogg ${HC_DATA_DIR}/audio/track4.ogg ${HC_WEB_DIR}/audio/)
