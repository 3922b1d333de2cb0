# The renderer: known-answer scenes, grass through verdigo.so, reproducibility, PNG output and the
# "render" section reader through the shared library; the exported mi_* functions on a prepared
# world through the renderer's own code; and what the shared library exports.
gramora_test(render_renderer_test SOURCES render_renderer_test.cpp LIBS gramora_render)
add_dependencies(render_renderer_test verdigo)
gramora_test(render_world_test SOURCES render_world_test.cpp LIBS gramora_render_objects)
gramora_test(render_output_test SOURCES render_output_test.cpp LIBS gramora_render PNG::PNG)
add_test(NAME render_exports_public_interface_only
  COMMAND ${CMAKE_COMMAND} -DLIBRARY=$<TARGET_FILE:gramora_render> -P ${CMAKE_CURRENT_SOURCE_DIR}/layering/render_exports.cmake)
