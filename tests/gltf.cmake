# glTF conformance: gramora exports scenes to .glb and the Khronos glTF validator (an npm
# package pinned in tests/gltf, installed by `make deps-test`) must find no errors in them.
# The sanitizer builds skip these checks: they run the same exporter as the normal build, and
# the validator's own run would only slow the sanitizer suite down.
if(GRAMORA_SANITIZE OR GRAMORA_TSAN)
  message(STATUS "glTF validator checks skipped in the sanitizer build")
  return()
endif()

set(gltf_dir ${CMAKE_CURRENT_SOURCE_DIR}/gltf)
find_program(GRAMORA_NODE NAMES node nodejs)
if(NOT GRAMORA_NODE)
  message(WARNING "node not found: the gltf_* tests will fail until `make deps-test` installs it")
  set(GRAMORA_NODE "")
endif()

# gramora_gltf_check(NAME SCENE [FRAME]): build SCENE ("" for the default scene) at FRAME and
# validate the .glb it writes.
function(gramora_gltf_check name scene)
  set(frame "${ARGN}")
  add_test(NAME gltf_${name}
    COMMAND ${CMAKE_COMMAND}
      -DGRAMORA=${CMAKE_BINARY_DIR}/bin/gramora
      -DNODE=${GRAMORA_NODE}
      -DCHECK_DIR=${gltf_dir}
      -DOUT=${CMAKE_CURRENT_BINARY_DIR}/gltf/${name}.glb
      -DSCENE=${scene}
      -DFRAME=${frame}
      -P ${gltf_dir}/check_glb.cmake)
  set_tests_properties(gltf_${name} PROPERTIES LABELS gltf TIMEOUT 300)
endfunction()

gramora_gltf_check(default_scene "")                           # the mown 40 x 40 lawn, frame 30
gramora_gltf_check(single_blade ${gltf_dir}/scenes/blade.json)
gramora_gltf_check(nested_groups ${gltf_dir}/scenes/groups.json)
gramora_gltf_check(bare_lawns ${gltf_dir}/scenes/empty_lawn.json)  # lawns with no faces at all
gramora_gltf_check(no_nodes ${gltf_dir}/scenes/no_nodes.json)
gramora_gltf_check(mown_strip_frame_20 ${gltf_dir}/scenes/mown_strip.json 20)
gramora_gltf_check(default_scene_frame_12 "" 12)               # the mower halfway across
