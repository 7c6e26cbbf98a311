# tovrik::warnings: the one set of compiler warnings of the tree.
#
# Every library and program of the tree links it: the loop at the end of this
# file runs once the whole tree is read and links it into every target, so a
# new target cannot miss it. With TOVRIK_WARNINGS_AS_ERRORS (the asan preset,
# which CI builds) any warning fails the build.

option(TOVRIK_WARNINGS_AS_ERRORS "Fail the build on any compiler warning" OFF)

add_library(tovrik_warnings INTERFACE)
add_library(tovrik::warnings ALIAS tovrik_warnings)

set(gnu $<CXX_COMPILER_ID:GNU>)
set(cxx $<COMPILE_LANGUAGE:CXX>)
target_compile_options(tovrik_warnings INTERFACE
  -Wall -Wextra -Wpedantic
  -Wcast-qual -Wundef -Wvla -Wdouble-promotion -Wformat-security
  $<${cxx}:-Wnon-virtual-dtor -Woverloaded-virtual -Wsuggest-override -Wextra-semi
           -Wold-style-cast -Wzero-as-null-pointer-constant>
  $<${gnu}:-Wduplicated-cond -Wduplicated-branches>
  $<$<BOOL:${TOVRIK_WARNINGS_AS_ERRORS}>:-Werror>)

# Left out, each for a reason:
# -Wconversion, -Wsign-conversion: the wire records, file readers and pixel
#   code narrow between sized integers and int on purpose, at hundreds of
#   places; a cast at each would bury the few narrowings that matter.
# -Wshadow: GCC also reports a parameter named as the member it sets
#   (CGame's `page`), the usual way to write such setters here.
# -Wuseless-cast: int64_t is long on this platform and long long on others;
#   casts that are only useless here keep the code portable.
# -Wlogical-op: `e == EAGAIN || e == EWOULDBLOCK` is the portable test and
#   reads as two equal operands on Linux.
# -Wmissing-declarations: the portal libraries define their entry points with
#   no prior declaration; callers find them by name at run time.
# -Wformat-nonliteral (part of -Wformat=2): the log and report helpers hand a
#   caller's format string on to vsnprintf.

# Links tovrik::warnings into every library and program defined in `dir`
# and the folders below it.
function(tovrik_link_warnings_everywhere dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      target_link_libraries(${target} PRIVATE tovrik::warnings)
    endif()
  endforeach()
  get_property(folders DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(folder IN LISTS folders)
    tovrik_link_warnings_everywhere(${folder})
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL tovrik_link_warnings_everywhere ${CMAKE_SOURCE_DIR})
