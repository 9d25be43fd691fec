# The program: the core on a real serial port, a Qt window or a console, and Qt timers.
find_package(Qt6 REQUIRED COMPONENTS Core Widgets SerialPort)

set(MORVANE_QT_SOURCES)
foreach(dir ${MORVANE_CORE_DIRS})
  file(GLOB dir_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${dir}/qt_*.cpp)
  list(APPEND MORVANE_QT_SOURCES ${dir_sources})
endforeach()

# A library of its own so that the Qt tests link exactly what the program runs.
add_library(morvane_qt STATIC ${MORVANE_QT_SOURCES})
set_target_properties(morvane_qt PROPERTIES AUTOMOC ON)
target_link_libraries(morvane_qt PUBLIC morvane_core Qt6::Widgets Qt6::SerialPort)

add_executable(rdsmorvane ${CMAKE_SOURCE_DIR}/src/app/main.cpp)
target_link_libraries(rdsmorvane PRIVATE morvane_qt)
