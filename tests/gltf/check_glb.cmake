# One glTF conformance check, run by CTest as `cmake -P`: builds a scene with gramora into a
# fresh .glb and runs the Khronos validator on it (tests/gltf/validate.js). A missing node or
# validator fails the check with the command that installs it, so it is never passed unseen.
#   -DGRAMORA=<gramora>  -DNODE=<node or empty>  -DCHECK_DIR=<tests/gltf>  -DOUT=<file.glb>
#   -DSCENE=<scene.json or empty for the default scene>  -DFRAME=<frame or empty>
foreach(var GRAMORA CHECK_DIR OUT)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "check_glb.cmake: ${var} is not set")
  endif()
endforeach()
if(NOT NODE OR NOT EXISTS "${NODE}")
  message(FATAL_ERROR "node (Node.js) was not found, so the glTF validator cannot run: "
                      "run `make deps-test` (it installs Debian's nodejs and npm), then reconfigure")
endif()
if(NOT EXISTS "${CHECK_DIR}/node_modules/gltf-validator/package.json")
  message(FATAL_ERROR "the glTF validator is not installed in ${CHECK_DIR}/node_modules: "
                      "run `make deps-test` or `npm ci --prefix ${CHECK_DIR} --no-audit --no-fund`")
endif()

get_filename_component(out_dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${out_dir}")
file(REMOVE "${OUT}")  # a file left from an earlier run must not be validated in place of this one
set(build_cmd "${GRAMORA}" build)
if(SCENE)
  list(APPEND build_cmd "${SCENE}")
endif()
list(APPEND build_cmd -o "${OUT}" --quiet)
if(NOT "${FRAME}" STREQUAL "")
  list(APPEND build_cmd --frame "${FRAME}")
endif()
execute_process(COMMAND ${build_cmd} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT EXISTS "${OUT}")
  message(FATAL_ERROR "gramora build failed (${rc}): ${build_cmd}")
endif()

execute_process(COMMAND "${NODE}" "${CHECK_DIR}/validate.js" "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the glTF validator found errors in ${OUT} (kept for inspection)")
endif()
file(REMOVE "${OUT}")
