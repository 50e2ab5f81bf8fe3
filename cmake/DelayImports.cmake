# Libraries the desk needs only for some gestures (dropped files, the file
# dialog, tooltips, the CD player and MIDI devices) are bound at their first
# call instead of at the start: each one loaded, with the libraries it pulls
# in, cost start-up time and private memory before the desk was shown.
# The calls the host makes are listed per library in cmake/delayload/*.def,
# with the 32-bit decorations; a call missing there fails the link.
function(knt_delay_import_libraries out_var)
  set(made "")
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/delayload)
  foreach(dll IN LISTS ARGN)
    set(def ${CMAKE_SOURCE_DIR}/cmake/delayload/${dll}.def)
    set(lib ${CMAKE_BINARY_DIR}/delayload/lib${dll}_delay.a)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      # 64-bit exports carry no decoration.
      file(READ ${def} text)
      string(REGEX REPLACE "@[0-9]+" "" text "${text}")
      set(plain ${CMAKE_BINARY_DIR}/delayload/${dll}.def)
      file(CONFIGURE OUTPUT ${plain} CONTENT "${text}")
      set(command ${CMAKE_DLLTOOL} --input-def ${plain} --output-delaylib ${lib})
    else()
      set(command ${CMAKE_DLLTOOL} --kill-at --input-def ${def} --output-delaylib ${lib})
    endif()
    add_custom_command(OUTPUT ${lib} COMMAND ${command} DEPENDS ${def}
                       COMMENT "Delay-load library for ${dll}.dll")
    list(APPEND made ${lib})
  endforeach()
  add_custom_target(delay_import_libraries DEPENDS ${made})
  set(${out_var} ${made} PARENT_SCOPE)
endfunction()
