# libcurl from Debian's source package, built by curl's own CMake files for
# the current target: a static, position-independent library that speaks plain
# HTTP only (no TLS, no compression, no other protocols), IPv6 on, with every
# symbol hidden so that nothing of it is exported from the add-in. Consumers
# link kelvo::curl.
set(KELVO_CURL_SOURCE_DIR ${KELVO_DEPS_DIR}/curl)
if(NOT EXISTS ${KELVO_CURL_SOURCE_DIR}/.unpacked)
  execute_process(
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/fetch-sources.sh curl
    RESULT_VARIABLE fetch_result)
  if(NOT fetch_result EQUAL 0 OR NOT EXISTS ${KELVO_CURL_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "curl sources are missing; run scripts/install-deps.sh first")
  endif()
endif()

# curl's options are given as plain variables inside this block (its CMake
# files honour them over their option() defaults), so they stay out of the
# rest of the build. The few it reads from the cache are forced there.
block(SCOPE_FOR VARIABLES)
  set(BUILD_SHARED_LIBS OFF)
  set(BUILD_CURL_EXE OFF)
  set(BUILD_TESTING OFF)
  set(CURL_DISABLE_TESTS ON)
  set(ENABLE_MANUAL OFF)
  set(CURL_ENABLE_EXPORT_TARGET OFF)
  set(PICKY_COMPILER OFF)
  set(CURL_WERROR OFF)
  set(CURL_LTO OFF)

  # Plain HTTP over IPv4 and IPv6. The threaded resolver lets a name lookup
  # time out with signals off.
  set(HTTP_ONLY ON)
  set(ENABLE_IPV6 ON)
  set(ENABLE_THREADED_RESOLVER ON)
  set(ENABLE_ARES OFF)
  set(ENABLE_UNIX_SOCKETS OFF)
  set(ENABLE_WEBSOCKETS OFF)

  # No third-party libraries at all.
  set(CURL_ENABLE_SSL OFF)
  set(CURL_USE_OPENSSL OFF)
  set(CURL_USE_LIBPSL OFF)
  set(CURL_USE_LIBSSH2 OFF)
  set(CURL_USE_LIBSSH OFF)
  set(CURL_USE_GSSAPI OFF)
  set(CURL_BROTLI OFF)
  set(CURL_ZSTD OFF)
  set(USE_LIBIDN2 OFF)
  set(USE_NGHTTP2 OFF)
  set(USE_NGTCP2 OFF)
  set(USE_QUICHE OFF)
  set(USE_MSH3 OFF)
  set(CURL_ZLIB OFF CACHE STRING "" FORCE)
  set(CURL_CA_BUNDLE none CACHE STRING "" FORCE)
  set(CURL_CA_PATH none CACHE STRING "" FORCE)

  # No wake-up socket pair in every multi handle: the transport never wakes
  # a waiting poll from another thread, and each request would pay for the
  # pair's two descriptors and five system calls. (A name lookup on the
  # resolver thread is then checked for at short intervals instead.)
  set(CURL_DISABLE_SOCKETPAIR ON)

  # Features the transport never uses.
  foreach(feature ALTSVC COOKIES CRYPTO_AUTH DOH GETOPTIONS HSTS LIBCURL_OPTION MIME NETRC NTLM
                  PROGRESS_METER)
    set(CURL_DISABLE_${feature} ON)
  endforeach()

  # glibc's poll() is sound; curl only probes it by running a program, which
  # a cross build cannot, and would fall back to select() with its limit on
  # descriptor numbers (a host process may well have more than 1024 open).
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(HAVE_POLL_FINE 1)
  endif()

  # Hidden visibility for all of libcurl, its API included: CURL_HIDDEN_SYMBOLS
  # would mark the API as default visibility.
  set(CURL_HIDDEN_SYMBOLS OFF)
  set(CMAKE_C_VISIBILITY_PRESET hidden)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)

  add_subdirectory(${KELVO_CURL_SOURCE_DIR} ${CMAKE_BINARY_DIR}/curl EXCLUDE_FROM_ALL SYSTEM)
endblock()

add_library(kelvo::curl ALIAS libcurl)
