# The simulator's tool windows, included by this folder's CMakeLists.txt.
set(TOOL_WINDOW_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/TextGrid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitCPUreg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitRegistri.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitNaslovi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitSklad.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitVrata.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitViewSprem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitOrodjeWatches.cpp
)

vantrel_add_test(simulator_tool_windows_test OWN_MAIN
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ToolWindowsTestSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UnitCPUreg_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UnitNaslovi_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UnitRegistri_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UnitSklad_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UnitViewSprem_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UnitVrata_test.cpp
  LIBS simulator_ui Qt6::Test)

