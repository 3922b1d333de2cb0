# The renderer: known-answer scenes, the exported mi_* functions, grass through verdigo.so,
# reproducibility, PNG output and the "render" section reader.
gramora_test(render_renderer_test SOURCES render_renderer_test.cpp LIBS gramora_render)
add_dependencies(render_renderer_test verdigo)
gramora_test(render_output_test SOURCES render_output_test.cpp LIBS gramora_render PNG::PNG)
