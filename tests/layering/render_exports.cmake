# The renderer library exports its public interface only: every symbol it defines for others is one
# of the mi_* functions shaders bind, a function of renderer.h or render_json.h, or an instantiation
# the standard library's headers export themselves.
#   cmake -DLIBRARY=<libgramora_render.so> -P render_exports.cmake
execute_process(COMMAND nm -D --defined-only -C ${LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "nm cannot read ${LIBRARY}")
endif()
string(REPLACE "\n" ";" symbols "${symbols}")
set(public "^(mi_[a-z_]+$|gramora::render::(Renderer::|(Render|EncodePng|FrameBox|SunLight|SkyLight|ParseRenderSection|Settings::GrassFor)[[(]))")
# The standard library's headers give their own template instantiations default visibility (a
# function template's demangled name starts with its return type).
set(standard "^(([^:(]+ )?(std::|__gnu_cxx::)|_init$|_fini$|_edata$|_end$|__bss_start$)")
set(exported 0)
set(internal "")
foreach(line IN LISTS symbols)
  if(NOT line MATCHES "^[0-9a-f]+ [A-Za-z] (.*)$")
    continue()
  endif()
  set(name "${CMAKE_MATCH_1}")
  math(EXPR exported "${exported} + 1")
  if(NOT name MATCHES "${public}" AND NOT name MATCHES "${standard}")
    list(APPEND internal "${name}")
  endif()
endforeach()
if(internal)
  list(JOIN internal "\n  " text)
  message(FATAL_ERROR "${LIBRARY} exports internals:\n  ${text}")
endif()
message("${exported} exported symbols, all of the public interface")
