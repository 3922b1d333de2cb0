# gramora: the exporters on hand-made meshes, and the real binary on scene files.
gramora_test(app_export_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/app_export_test.cpp
  LIBS gramora_export)
gramora_test(app_cli_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/app_cli_test.cpp
  LIBS nlohmann_json::nlohmann_json)
# The CLI tests run the binary and the plug-ins beside it.
add_dependencies(app_cli_tests gramora)
foreach(module grass verdigo)
  if(TARGET ${module})
    add_dependencies(app_cli_tests ${module})
  endif()
endforeach()
gramora_test(app_scene_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/app_scene_test.cpp
  LIBS gramora_host)
