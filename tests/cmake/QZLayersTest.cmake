# The layer check's own test: on a scratch copy of the sources it passes, and each wrong
# include below, added to one file at a time, makes it fail naming the offence.
#   cmake -DCHECK=<cmake/QZLayers.cmake> -DSOURCE=<source tree> -DSCRATCH=<folder> -P QZLayersTest.cmake
cmake_minimum_required(VERSION 3.25)

# "<file> | <line added to it> | <text the check must report>"
set(cases
  "Platform/Registry/RegistryFile.h | #include \"QZFramework/ObjectBase/RCPtr.h\" | platform must not include"
  "QZFramework/Renderer/FontRenderer/FontRenderer.h | #include \"QZFramework/Renderer/OpenGL/GLTexture.h\"
     | fonts must not include"
  "QZFramework/Renderer/OpenGL/GLRenderer.h | #include \"QZFramework/Renderer/Gdi/GDIRenderer.h\"
     | opengl must not include"
  "QZFramework/Notification/Notification.h | #include \"QZFramework/Renderer/Renderer.h\"
     | services must not include"
  "QZFramework/Controls/Label.h | #include \"DeviceControl/ParamCache.h\" | controls must not include"
  "QZFramework/ControlBase/StringTable.h | #include \"UI/DriverCommon/MainControl.h\" | control-base must not include"
  "QZFramework/ControlBase/Control.h | #include \"QZFramework/Controls/MenuDescriptor.h\"
     | control-base must not include"
  "QZFramework/ControlBase/RootWindow.cpp | #include \"QZFramework/Controls/Dialog.h\" | control-base must not include"
  "QZFramework/ControlBase/ControlDescriptorApply.cpp | #include \"QZFramework/Controls/PopupMenu.h\"
     | control-base must not include"
  "QZFramework/ControlBase/ControlDescriptorApply.cpp | #include \"QZFramework/Controls/ToolTip.h\"
     | control-base must not include"
  "QZFramework/ControlBase/RootWindow.h | #include \"QZFramework/System/GlobalHotKeyManager.h\"
     | control-base must not include"
  "QZFramework/ControlBase/OSWindowMessages.cpp | #include \"QZFramework/System/Clipboard.h\"
     | control-base must not include"
  "QZFramework/System/Clipboard.cpp | #include \"QZFramework/Controls/TextBox.h\" | system must not include"
  "DeviceControl/ParamCache.h | #include \"QZFramework/Utilities/Graphics/Bitmap.h\" | device must not include"
  "Engine/PresetEditorCommon/MidiManager.h | #include \"Simulator/Keyboard/VirtualKeyboard.h\"
     | engine must not include"
  "tests/Engine/PresetEditorCommon/MidiManagerTestSupport.h
     | #include \"Simulator/DeviceControlClient/VirtualDeviceControl.h\"
     | is not one of the simulator's public headers"
  "QZFramework/Utilities/Graphics/Color.h | #include <SDL2/SDL.h>
     | QZFramework/Utilities/Graphics/Color.h: a framework header reaches <SDL2/SDL.h>"
  "Platform/Graphics/GraphicsTypes.h | #include <cairo.h>
     | QZFramework/Renderer/Gdi/GDIRendererSupport.h: a framework header reaches <cairo.h> via"
  "Tools/Generator.cpp | #include <cstdio> | Tools/Generator.cpp: in no layer")

set(tree "${SCRATCH}/tree")
file(REMOVE_RECURSE "${tree}")
foreach(top IN ITEMS Platform QZFramework DeviceControl Engine Simulator tests bench fuzz)
  file(COPY "${SOURCE}/${top}" DESTINATION "${tree}" FILES_MATCHING PATTERN "*.h" PATTERN "*.cpp")
endforeach()

function(run_check out_result out_text)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DROOT=${tree} -P "${CHECK}" RESULT_VARIABLE result
                  OUTPUT_VARIABLE output ERROR_VARIABLE output)
  string(REGEX REPLACE "[ \t\n]+" " " output "${output}") # the message wraps its lines
  set(${out_result} ${result} PARENT_SCOPE)
  set(${out_text} "${output}" PARENT_SCOPE)
endfunction()

set(failures)
run_check(result text)
if(NOT result EQUAL 0)
  list(APPEND failures "the untouched copy fails: ${text}")
endif()

foreach(case IN LISTS cases)
  string(REPLACE "|" ";" cells "${case}")
  list(GET cells 0 file)
  list(GET cells 1 line)
  list(GET cells 2 expected)
  string(STRIP "${file}" file)
  string(STRIP "${line}" line)
  string(REGEX REPLACE "[ \t\n]+" " " expected "${expected}")
  string(STRIP "${expected}" expected)
  set(path "${tree}/${file}")
  set(original "")
  set(existed FALSE)
  if(EXISTS "${path}")
    set(existed TRUE)
    file(READ "${path}" original)
  endif()
  file(WRITE "${path}" "${original}\n${line}\n")
  run_check(result text)
  string(FIND "${text}" "${expected}" at)
  if(result EQUAL 0 OR at EQUAL -1)
    list(APPEND failures "${file} + ${line}: expected a failure reporting \"${expected}\", got (${result}) ${text}")
  else()
    message(STATUS "caught: ${file} + ${line}")
  endif()
  if(existed)
    file(WRITE "${path}" "${original}")
  else()
    file(REMOVE "${path}")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
