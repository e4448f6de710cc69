# The program's version information, defined once. qz_version_resource(<target>) compiles
# it into the target as the program's version resource (QZFramework/Application/
# VersionResource.h), which QZ::Version reads.
set(QZ_COMPANY_NAME "Vandrel")
set(QZ_PRODUCT_NAME "Quorin ZTR Preset Editor")
set(QZ_PRODUCT_VERSION "1.0.1")
set(QZ_LEGAL_COPYRIGHT "Copyright © Vandrel. All rights reserved.")
# The one string table's language and code page (language neutral, UTF-16).
set(QZ_VERSION_LANGUAGE "0x0000")
set(QZ_VERSION_CODE_PAGE "0x04B0")

function(qz_version_resource target)
  set(output "${CMAKE_CURRENT_BINARY_DIR}/generated/${target}/ProgramVersionResource.cpp")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/QZVersionResource.cpp.in" "${output}" @ONLY)
  target_sources(${target} PRIVATE "${output}")
endfunction()
