# The exact, locale-free "%f" / "%i" formatter of the OBJ frame writer.
add_library(quor_obj_format STATIC ${CMAKE_CURRENT_LIST_DIR}/obj_format.cpp)
target_include_directories(quor_obj_format PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quor_obj_format PRIVATE quor_plugin_flags)
set_target_properties(quor_obj_format PROPERTIES CXX_EXTENSIONS OFF)
