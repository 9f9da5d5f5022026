# Warnings are on for every target of the project and kept at zero.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
                    -Wcast-align -Woverloaded-virtual -Wformat=2)

if(TORVANE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# A library of one layer: every .cpp of its folder, public include root at src/.
function(torvane_layer name)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
  else() # a layer not written yet
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_LINKS})
  endif()
endfunction()

# Qt's moc for the layers that hold QObject classes.
set(CMAKE_AUTOMOC ON)

# One test program per folder of tests/, discovered by ctest.
# QT_APPLICATION: the program gets an application object for its whole run.
function(torvane_test name)
  cmake_parse_arguments(ARG "QT_APPLICATION" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  if(ARG_QT_APPLICATION)
    list(APPEND sources ${PROJECT_SOURCE_DIR}/tests/support/QtTestApplication.cpp)
    list(APPEND ARG_LINKS Qt6::Widgets)
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LINKS} torvane_testsupport GTest::gtest)
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" DISCOVERY_TIMEOUT 60)
endfunction()
