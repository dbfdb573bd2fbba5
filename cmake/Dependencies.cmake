# Third-party code, built from source for each target so that every build
# (native, i386, later the cross builds) takes the same path.
set(KELVO_DEPS_DIR ${PROJECT_SOURCE_DIR}/.deps/src)

# pugixml from Debian's source package, linked statically into the add-in.
set(PUGIXML_SOURCE_DIR ${KELVO_DEPS_DIR}/pugixml/src)
if(NOT EXISTS ${PUGIXML_SOURCE_DIR}/pugixml.cpp)
  execute_process(
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/fetch-sources.sh pugixml
    RESULT_VARIABLE fetch_result)
  if(NOT fetch_result EQUAL 0 OR NOT EXISTS ${PUGIXML_SOURCE_DIR}/pugixml.cpp)
    message(FATAL_ERROR "pugixml sources are missing; run scripts/install-deps.sh first")
  endif()
endif()
add_library(pugixml STATIC ${PUGIXML_SOURCE_DIR}/pugixml.cpp)
target_include_directories(pugixml SYSTEM PUBLIC ${PUGIXML_SOURCE_DIR})
set_target_properties(pugixml PROPERTIES
  CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON POSITION_INDEPENDENT_CODE ON)

# RapidJSON is header-only, from Debian's package. A cross build for Windows
# must not see the build machine's other headers, so it gets a folder holding
# nothing but a link to RapidJSON's.
if(WIN32)
  set(header_only_dir ${CMAKE_BINARY_DIR}/header-only)
  file(MAKE_DIRECTORY ${header_only_dir})
  file(CREATE_LINK /usr/include/rapidjson ${header_only_dir}/rapidjson SYMBOLIC)
  set(KELVO_RAPIDJSON_INCLUDE_DIR ${header_only_dir})
endif()

# GoogleTest from Debian's sources, compiled by this build's toolchain.
if(KELVO_BUILD_TESTS)
  set(KELVO_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${KELVO_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
