# The layers' includes run one way: nothing in engine/ or ui/ includes app/,
# the forms and the model include no toolkit, and ui/ has no include circles.
if(NOT CMAKE_CROSSCOMPILING)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_test(NAME warstwy COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/warstwy.py ${CMAKE_SOURCE_DIR})
endif()
