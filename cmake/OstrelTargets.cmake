include(GenerateExportHeader)

# Compiler warnings for the project's own code; dependencies come in as
# system headers and are not affected.
function(ostrel_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()

# ostrel_add_library(<name> AREA <area> SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
#
# Builds libostrel_<name>.so.14 with hidden symbols, exported as ostrel::<name>.
# Public headers live in <folder>/include/ostrel/<area>/; the generated export
# macro header is <ostrel/<area>/export.h>, macro OSTREL_<NAME>_EXPORT.
function(ostrel_add_library name)
  cmake_parse_arguments(ARG "" "AREA" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  if(NOT ARG_AREA)
    message(FATAL_ERROR "ostrel_add_library(${name}): AREA is required")
  endif()
  set(target ostrel_${name})
  add_library(${target} SHARED ${ARG_SOURCES})
  add_library(ostrel::${name} ALIAS ${target})

  set_target_properties(
    ${target}
    PROPERTIES EXPORT_NAME ${name}
               VERSION ${PROJECT_VERSION}
               SOVERSION ${PROJECT_VERSION_MAJOR}
               CXX_VISIBILITY_PRESET hidden
               VISIBILITY_INLINES_HIDDEN ON)
  target_compile_features(${target} PUBLIC cxx_std_17)
  target_compile_definitions(${target} PUBLIC ${OSTREL_BOOST_DEFINITIONS})

  set(generated ${CMAKE_CURRENT_BINARY_DIR}/generated)
  generate_export_header(${target} BASE_NAME ostrel_${name} EXPORT_FILE_NAME
                         ${generated}/ostrel/${ARG_AREA}/export.h)
  target_include_directories(
    ${target}
    PUBLIC $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
           $<BUILD_INTERFACE:${generated}>
           $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_link_libraries(${target} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  ostrel_set_warnings(${target})

  if(OSTREL_INSTALL)
    install(
      TARGETS ${target}
      EXPORT ostrelTargets
      LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
      ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
      RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
    install(FILES ${generated}/ostrel/${ARG_AREA}/export.h
            DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ostrel/${ARG_AREA})
  endif()
endfunction()

# ostrel_add_header_library(<name> [LIBS ...])
#
# A header-only target exported as ostrel::<name>.
function(ostrel_add_header_library name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  set(target ostrel_${name})
  add_library(${target} INTERFACE)
  add_library(ostrel::${name} ALIAS ${target})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
  target_compile_features(${target} INTERFACE cxx_std_17)
  target_include_directories(
    ${target} INTERFACE $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
                        $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_link_libraries(${target} INTERFACE ${ARG_LIBS})
  if(OSTREL_INSTALL)
    install(TARGETS ${target} EXPORT ostrelTargets)
    install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  endif()
endfunction()

# ostrel_add_executable(<name> SOURCES ... [LIBS ...]): an installed program.
function(ostrel_add_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  ostrel_set_warnings(${name})
  if(OSTREL_INSTALL)
    install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endfunction()
