# The layer check: which part of the program may include which.
#   cmake -P cmake/QZLayers.cmake [-DROOT=<source tree>]
# Reads every #include of the C++ sources under ROOT (default: this tree) and fails, listing
# each offence, when
#   - a file includes a file of a layer that its own layer may not include;
#   - a file outside the simulator and its tests includes a simulator header that is not
#     one of its public headers;
#   - a framework header reaches a Cairo, SDL or X11 header, directly or through other
#     headers of ours (the stand-ins under Platform/ keep them inside);
#   - a source file lies in no layer (add its folder to the table).
#
# The table: "<layer> | <folders or files> | <layers it may include besides itself>". A file
# belongs to the layer of the longest folder or file that holds it. The control base stands
# below the application-wide services (clipboard, file dialogs) and both below the widgets:
# it reaches the widgets it raises from the skin through the roles of
# ControlBase/ControlRoles.h. The renderer's backends never include one another; the generic
# font renderer includes no backend; the framework includes nothing of the device, the engine
# or the editor; the editor (Panel, UI) is included by nothing but tests and fuzz targets; the
# application and the editor read the names of the program's own pictures (the icon, the drag
# cursors) from the skin-art program.
cmake_minimum_required(VERSION 3.25)

set(QZ_LAYERS
  "platform | Platform | "
  "storage | QZFramework/ObjectBase QZFramework/Utilities/Storage QZFramework/Services/Sync | platform"
  "services | QZFramework/Services QZFramework/Notification | storage platform"
  "graphics | QZFramework/Renderer QZFramework/Utilities/Graphics | storage services platform"
  "fonts | QZFramework/Renderer/FontRenderer | graphics storage services platform"
  "gdi | QZFramework/Renderer/Gdi | graphics storage services platform"
  "opengl | QZFramework/Renderer/OpenGL | fonts graphics storage services platform"
  "d3d9 | QZFramework/Renderer/D3D9 | graphics storage services platform"
  "renderer-factory | QZFramework/Renderer/Renderer.cpp | gdi opengl d3d9 fonts graphics storage services platform"
  "control-base | QZFramework/ControlBase | gdi opengl d3d9 fonts graphics storage services platform"
  "system | QZFramework/System | control-base gdi opengl d3d9 fonts graphics storage services platform"
  "controls | QZFramework/Controls | system control-base gdi opengl d3d9 fonts graphics storage services platform"
  "application | QZFramework/Application
     | controls system control-base gdi opengl d3d9 fonts graphics storage services platform skin-art"
  "device | DeviceControl | storage services"
  "engine | Engine | device storage services"
  "simulator | Simulator | device storage services platform"
  "editor | Panel UI | simulator engine device application controls system control-base gdi opengl d3d9 fonts graphics
     storage services platform skin-art"
  "skin-art | Resources/SkinArt | "
  "tests | tests | editor simulator engine device application controls system control-base gdi opengl d3d9 fonts
     graphics storage services platform skin-art"
  "simulator-tests | tests/Simulator | tests simulator device storage services platform"
  "bench | bench | tests simulator engine device application controls system control-base gdi opengl d3d9 fonts
     graphics storage services platform"
  "fuzz | fuzz | editor graphics fonts storage services platform")
# What others may include of the simulator.
set(QZ_SIMULATOR_PUBLIC_HEADERS
  Simulator/Keyboard/VirtualKeyboard.h Simulator/Keyboard/KeyboardMemory.h Simulator/Keyboard/KeyboardSysEx.h
  Simulator/DeviceControlClient/DeviceControlClientProbe.h)
# Layers whose headers must not reach the window system or the drawing library.
set(QZ_SEALED_LAYERS storage services graphics fonts gdi opengl d3d9 control-base system controls application)
set(QZ_SEALED_SYSTEM_HEADERS "^(cairo[-a-z]*\\.h|SDL2?/.*|SDL[_.a-z]*\\.h|X11/.*)$")

if(NOT ROOT)
  get_filename_component(ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
endif()

# Parses the table into QZ_LAYER_OF_<folder>, QZ_ALLOWED_<layer> and QZ_LAYER_FOLDERS.
set(QZ_LAYER_FOLDERS)
foreach(row IN LISTS QZ_LAYERS)
  string(REPLACE "|" ";" cells "${row}")
  list(GET cells 0 layer)
  list(GET cells 1 folders)
  list(GET cells 2 allowed)
  string(STRIP "${layer}" layer)
  string(REGEX REPLACE "[ \t\n]+" ";" folders "${folders}")
  string(REGEX REPLACE "[ \t\n]+" ";" allowed "${allowed}")
  list(REMOVE_ITEM folders "")
  list(REMOVE_ITEM allowed "")
  foreach(folder IN LISTS folders)
    set(QZ_LAYER_OF_${folder} ${layer})
    list(APPEND QZ_LAYER_FOLDERS ${folder})
  endforeach()
  set(QZ_ALLOWED_${layer} ${layer} ${allowed})
endforeach()

# The layer of a path relative to ROOT (empty when none holds it), into `out`: that of the
# path itself or of the nearest folder above it in the table, which is the longest holding it.
function(qz_layer_of path out)
  set(holder "${path}")
  while(NOT holder STREQUAL "" AND NOT DEFINED QZ_LAYER_OF_${holder})
    get_filename_component(holder "${holder}" DIRECTORY)
  endwhile()
  if(NOT holder STREQUAL "")
    set(${out} ${QZ_LAYER_OF_${holder}} PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

# The included file as a path relative to ROOT, or the include as written when it is not
# in the tree: beside the including file first, then from the root, then (tests) from tests/.
function(qz_resolve_include file include out)
  get_filename_component(folder "${file}" DIRECTORY)
  set(candidates "${folder}/${include}" "${include}")
  if(file MATCHES "^tests/")
    list(APPEND candidates "tests/${include}")
  endif()
  foreach(candidate IN LISTS candidates)
    if(EXISTS "${ROOT}/${candidate}" AND NOT IS_DIRECTORY "${ROOT}/${candidate}")
      get_filename_component(absolute "${ROOT}/${candidate}" ABSOLUTE)
      file(RELATIVE_PATH relative "${ROOT}" "${absolute}")
      set(${out} "${relative}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} "${include}" PARENT_SCOPE)
endfunction()

set(sources)
foreach(top IN ITEMS Platform QZFramework DeviceControl Engine Simulator Panel UI Resources tests bench fuzz cmake
                     scripts docs)
  if(IS_DIRECTORY "${ROOT}/${top}")
    file(GLOB_RECURSE found RELATIVE "${ROOT}" "${ROOT}/${top}/*.h" "${ROOT}/${top}/*.hpp" "${ROOT}/${top}/*.cpp"
         "${ROOT}/${top}/*.cc" "${ROOT}/${top}/*.c")
    list(APPEND sources ${found})
  endif()
endforeach()
# Source folders not listed above are sources in no layer too.
file(GLOB tops RELATIVE "${ROOT}" "${ROOT}/*")
foreach(top IN LISTS tops)
  if(IS_DIRECTORY "${ROOT}/${top}" AND NOT top MATCHES "^(\\.|build)"
     AND NOT top MATCHES "^(Platform|QZFramework|DeviceControl|Engine|Simulator|Panel|UI|Resources|tests|bench|fuzz|cmake|scripts|docs)$")
    file(GLOB_RECURSE found RELATIVE "${ROOT}" "${ROOT}/${top}/*.h" "${ROOT}/${top}/*.cpp")
    list(APPEND sources ${found})
  endif()
endforeach()
list(SORT sources)

set(offences)
set(QZ_HEADERS_OF_INTEREST)
foreach(file IN LISTS sources)
  qz_layer_of("${file}" layer)
  if(NOT layer)
    list(APPEND offences "${file}: in no layer (add its folder to the table in cmake/QZLayers.cmake)")
    continue()
  endif()
  file(STRINGS "${ROOT}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  set(ours)
  set(sealed "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(include "${CMAKE_MATCH_1}")
      qz_resolve_include("${file}" "${include}" target)
      list(APPEND ours "${target}")
      qz_layer_of("${target}" target_layer)
      if(NOT target_layer OR target_layer STREQUAL layer)
        continue()
      endif()
      if(NOT target_layer IN_LIST QZ_ALLOWED_${layer})
        list(APPEND offences "${file}: ${layer} must not include \"${include}\" (${target_layer})")
      elseif(target_layer STREQUAL "simulator" AND NOT layer STREQUAL "simulator-tests"
             AND NOT target IN_LIST QZ_SIMULATOR_PUBLIC_HEADERS)
        list(APPEND offences "${file}: \"${include}\" is not one of the simulator's public headers")
      endif()
    elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>")
      set(header "${CMAKE_MATCH_1}")
      if(sealed STREQUAL "" AND header MATCHES "${QZ_SEALED_SYSTEM_HEADERS}")
        set(sealed "${header}")
      endif()
    endif()
  endforeach()
  set(QZ_SCANNED_${file} TRUE)
  set(QZ_INCLUDES_${file} "${ours}")
  set(QZ_SEALED_${file} ${sealed}) # the first sealed system header it includes, if any
  if(layer IN_LIST QZ_SEALED_LAYERS AND file MATCHES "\\.h$")
    list(APPEND QZ_HEADERS_OF_INTEREST ${file})
  endif()
endforeach()

# The first sealed system header that `start` reaches, breadth first, and the chain of our
# headers to it, into `out` ("<header> via a -> b"); empty when none.
function(qz_reach start out)
  set(queue "${start}")
  set(parent_${start} "") # a header is seen once it has a parent
  while(queue)
    list(POP_FRONT queue file)
    foreach(header IN LISTS QZ_SEALED_${file})
      set(chain "${file}")
      while(parent_${file})
        set(file "${parent_${file}}")
        set(chain "${file} -> ${chain}")
      endwhile()
      set(${out} "<${header}> via ${chain}" PARENT_SCOPE)
      return()
    endforeach()
    foreach(included IN LISTS QZ_INCLUDES_${file})
      if(QZ_SCANNED_${included} AND NOT DEFINED parent_${included})
        list(APPEND queue "${included}")
        set(parent_${included} "${file}")
      endif()
    endforeach()
  endwhile()
  set(${out} "" PARENT_SCOPE)
endfunction()

foreach(header IN LISTS QZ_HEADERS_OF_INTEREST)
  qz_reach("${header}" reached)
  if(reached)
    list(APPEND offences "${header}: a framework header reaches ${reached}")
  endif()
endforeach()

list(LENGTH sources checked)
if(offences)
  list(LENGTH offences count)
  list(JOIN offences "\n" text)
  message(FATAL_ERROR "Layer check: ${count} offence(s) in ${checked} files:\n${text}")
endif()
message(STATUS "Layer check: ${checked} files, every include within its layers")
