# Installs the build into a scratch folder and checks that every file a desktop needs is there.
# cmake -DBUILD_DIR=... -DSTAGE=... -DICON_SIZES=... -DDATADIR=... -DBINDIR=... -DID=... [-DHELP=ON]
#       -P CheckInstall.cmake

file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
    ${BINDIR}/zentimo
    ${DATADIR}/applications/${ID}.desktop
    ${DATADIR}/metainfo/${ID}.metainfo.xml
    ${DATADIR}/doc/zentimo/copyright)
foreach(size ${ICON_SIZES})
  list(APPEND expected ${DATADIR}/icons/hicolor/${size}x${size}/apps/${ID}.png)
endforeach()
if(HELP)
  list(APPEND expected ${DATADIR}/zentimo/zm.html)
endif()

set(missing "")
foreach(path ${expected})
  if(NOT EXISTS ${STAGE}/${path})
    list(APPEND missing ${path})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "not installed: ${missing}")
endif()

# The installed AppStream data finds its desktop file and icon under their installed names.
execute_process(COMMAND appstreamcli validate-tree --no-net ${STAGE}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate-tree:\n${output}")
endif()

# Each icon is a PNG of its folder's size: the width and height sit at bytes 16..23 of the header.
foreach(size ${ICON_SIZES})
  file(READ ${STAGE}/${DATADIR}/icons/hicolor/${size}x${size}/apps/${ID}.png header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 magic)
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT magic STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
    message(FATAL_ERROR "icon ${size}x${size} is not a ${size} pixel PNG (${magic}, ${width}x${height})")
  endif()
endforeach()
file(REMOVE_RECURSE ${STAGE})
