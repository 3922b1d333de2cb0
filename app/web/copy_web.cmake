# Copies the page (SRC) and the three.js files it imports to DST, writing only what changed.
file(GLOB page RELATIVE ${SRC} ${SRC}/*.html ${SRC}/*.js ${SRC}/*.css)
foreach(f IN LISTS page)
  configure_file(${SRC}/${f} ${DST}/${f} COPYONLY)
endforeach()

set(three ${SRC}/node_modules/three)
if(NOT EXISTS ${three}/build/three.module.js)
  message(WARNING "three.js is not installed in ${three} (run `make deps`): gramora serve will not start")
  return()
endif()
foreach(pair
    "build/three.module.js=three.module.js"
    "build/three.core.js=three.core.js"
    "LICENSE=LICENSE"
    "examples/jsm/controls/OrbitControls.js=addons/controls/OrbitControls.js"
    "examples/jsm/loaders/GLTFLoader.js=addons/loaders/GLTFLoader.js"
    "examples/jsm/utils/BufferGeometryUtils.js=addons/utils/BufferGeometryUtils.js"
    "examples/jsm/utils/SkeletonUtils.js=addons/utils/SkeletonUtils.js")
  string(REPLACE "=" ";" parts "${pair}")
  list(GET parts 0 from)
  list(GET parts 1 to)
  configure_file(${three}/${from} ${DST}/three/${to} COPYONLY)
endforeach()
