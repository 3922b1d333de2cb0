# verdigo: R250 unit tests against the library's code, and the shader as the renderer loads it
# (dlopen) against scripted fake renderer modules.
foreach(id a b)
  add_library(fake_renderer_${id} MODULE ${CMAKE_CURRENT_SOURCE_DIR}/fake_renderer/fake_renderer.cpp)
  set_target_properties(fake_renderer_${id} PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden)
  target_include_directories(fake_renderer_${id} PRIVATE ${PROJECT_SOURCE_DIR})
endforeach()
target_compile_definitions(fake_renderer_a PRIVATE FAKE_RENDERER_ID=1)
target_compile_definitions(fake_renderer_b PRIVATE FAKE_RENDERER_ID=2)

gramora_test(shader_r250_test SOURCES shader_r250_test.cpp LIBS verdigo_core Threads::Threads)
gramora_test(shader_verdigo_test SOURCES shader_verdigo_test.cpp LIBS verdigo_core ${CMAKE_DL_LIBS})
add_dependencies(shader_verdigo_test verdigo fake_renderer_a fake_renderer_b)
