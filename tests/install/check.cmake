# Installs the build into a fresh prefix and runs the installed gramora from another folder: it
# must load its plug-in, name its shader, find an example, and build and render it.
#   -DBUILD=<build folder>  -DPREFIX=<install prefix, emptied first>
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${PREFIX}"
                OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc})")
endif()
file(MAKE_DIRECTORY "${PREFIX}/elsewhere")
foreach(args "plugins" "build;--example;hills;-o;${PREFIX}/elsewhere/hills.obj"
             "render;--example;hills;-o;${PREFIX}/elsewhere/hills.png;--width;8;--height;6;--spp;1")
  execute_process(COMMAND "${PREFIX}/bin/gramora" ${args} WORKING_DIRECTORY "${PREFIX}/elsewhere"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "installed gramora ${args} failed (${rc}): ${err}")
  endif()
endforeach()
if(NOT EXISTS "${PREFIX}/elsewhere/hills.obj" OR NOT EXISTS "${PREFIX}/elsewhere/hills.png")
  message(FATAL_ERROR "installed gramora wrote no hills.obj or hills.png")
endif()
file(REMOVE_RECURSE "${PREFIX}")
