# Third-party libraries, built for the target by tools/bootstrap.sh.
set(QUILLON_DEPS_DIR "${CMAKE_SOURCE_DIR}/.deps/${CMAKE_SYSTEM_PROCESSOR}"
    CACHE PATH "Folder with the libraries built by tools/bootstrap.sh")
if(NOT EXISTS "${QUILLON_DEPS_DIR}/lib/libcurl.a")
  message(FATAL_ERROR "Libraries missing in ${QUILLON_DEPS_DIR}: run tools/bootstrap.sh first")
endif()
set(_inc "${QUILLON_DEPS_DIR}/include")
set(_lib "${QUILLON_DEPS_DIR}/lib")

function(quillon_import name file)
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION "${_lib}/${file}"
    INTERFACE_INCLUDE_DIRECTORIES "${_inc}")
endfunction()

quillon_import(dep_zlib libz.a)
quillon_import(dep_curl libcurl.a)
set_property(TARGET dep_curl PROPERTY INTERFACE_COMPILE_DEFINITIONS CURL_STATICLIB)
set_property(TARGET dep_curl PROPERTY INTERFACE_LINK_LIBRARIES ws2_32 winmm advapi32 crypt32 bcrypt)
quillon_import(dep_tinyxml libtinyxml.a)
set_property(TARGET dep_tinyxml PROPERTY INTERFACE_COMPILE_DEFINITIONS TIXML_USE_STL)
quillon_import(dep_lzma7z liblzma7z.a)
set_property(TARGET dep_lzma7z PROPERTY INTERFACE_INCLUDE_DIRECTORIES "${_inc}/lzma")
set_property(TARGET dep_lzma7z PROPERTY INTERFACE_COMPILE_DEFINITIONS Z7_PPMD_SUPPORT)
add_library(dep_stb INTERFACE IMPORTED GLOBAL)
set_property(TARGET dep_stb PROPERTY INTERFACE_INCLUDE_DIRECTORIES "${_inc}/stb")

quillon_import(dep_gtest libgtest.a)
quillon_import(dep_gtest_main libgtest_main.a)
quillon_import(dep_gmock libgmock.a)
set_property(TARGET dep_gtest_main PROPERTY INTERFACE_LINK_LIBRARIES dep_gtest)
set_property(TARGET dep_gmock PROPERTY INTERFACE_LINK_LIBRARIES dep_gtest)

# A static library from every .cpp/.c of a folder but its program entry
# (main.cpp); an interface library while the folder has no sources yet.
function(quillon_library name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.c")
  list(FILTER _src EXCLUDE REGEX "/main\\.cpp$")
  if(_src)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
endfunction()

# Programs embed resources (their .rc files and the process manifest).
enable_language(RC)

# A GUI program from the folder's main.cpp (wWinMain), once that exists, with
# the given resource scripts. Every program embeds the process manifest made
# from cmake/program.manifest.in and is large-address-aware: the shipped
# programs are 32-bit, and without the flag they get 2 GB of address space
# instead of 4 GB on a 64-bit Windows.
function(quillon_program name)
  cmake_parse_arguments(ARG "" "" "LIBS;RESOURCES" ${ARGN})
  if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/main.cpp")
    add_executable(${name} WIN32 "${CMAKE_CURRENT_SOURCE_DIR}/main.cpp" ${ARG_RESOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -municode)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      # 64-bit images are large-address-aware by default.
      target_link_options(${name} PRIVATE -Wl,--large-address-aware)
    endif()
    quillon_embed_manifest(${name})
  endif()
endfunction()

# Embeds the process manifest (RT_MANIFEST, id 1) into a program.
function(quillon_embed_manifest name)
  set(QUILLON_MANIFEST_NAME ${name})
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(QUILLON_MANIFEST_ARCH amd64)
  else()
    set(QUILLON_MANIFEST_ARCH x86)
  endif()
  set(_manifest "${CMAKE_CURRENT_BINARY_DIR}/${name}.manifest")
  set(_rc "${CMAKE_CURRENT_BINARY_DIR}/${name}_manifest.rc")
  configure_file("${CMAKE_SOURCE_DIR}/cmake/program.manifest.in" "${_manifest}" @ONLY)
  file(CONFIGURE OUTPUT "${_rc}" CONTENT "1 24 \"${_manifest}\"\n" @ONLY)
  target_sources(${name} PRIVATE "${_rc}")
  set_property(SOURCE "${_rc}" APPEND PROPERTY OBJECT_DEPENDS "${_manifest}")
endfunction()
