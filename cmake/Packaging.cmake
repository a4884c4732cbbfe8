# Installs Ceilora.vst3 where Linux hosts look for VST3 plug-ins, and packages it for Debian.
#
#   cmake --install build                    /usr/local/lib/vst3/Ceilora.vst3 (for every user)
#   cmake --install build --prefix /usr      /usr/lib/vst3/Ceilora.vst3
#   cmake --install build --prefix ~/.vst3   ~/.vst3/Ceilora.vst3 (for you alone)
#   cpack --config build/CPackConfig.cmake   ceilora_0.1.0_<arch>.deb, installing /usr/lib/vst3/Ceilora.vst3
#
# A prefix that is itself a VST3 folder (its name ends in .vst3) takes the bundle directly; any
# other prefix gets it in <prefix>/lib/vst3, the folder hosts search under /usr and /usr/local.
# The choice is made when installing, so one build serves all three.

install (CODE "
    set (ceiloraVst3Folder \"\${CMAKE_INSTALL_PREFIX}/lib/vst3\")
    if (CMAKE_INSTALL_PREFIX MATCHES \"\\\\.vst3/?\$\")
        set (ceiloraVst3Folder \"\${CMAKE_INSTALL_PREFIX}\")
    endif()
    file (INSTALL \"$<GENEX_EVAL:$<TARGET_PROPERTY:Ceilora_VST3,JUCE_PLUGIN_ARTEFACT_FILE>>\"
          DESTINATION \"\${ceiloraVst3Folder}\" USE_SOURCE_PERMISSIONS)
")

set (CPACK_GENERATOR DEB)
set (CPACK_PACKAGE_NAME ceilora)
set (CPACK_PACKAGE_VENDOR Pelmar)
set (CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set (CPACK_PACKAGE_CONTACT Pelmar)
set (CPACK_PACKAGE_DESCRIPTION_SUMMARY "Ceilora look-ahead peak limiter (VST3 plug-in)")
set (CPACK_PACKAGE_DESCRIPTION "A per-channel look-ahead peak limiter with soft clipping, output trim and level meters, as a VST3 plug-in for Linux hosts.")
set (CPACK_PACKAGING_INSTALL_PREFIX /usr)
set (CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set (CPACK_DEBIAN_PACKAGE_SECTION sound)
# The libraries the bundle links (FreeType, FLAC, ...) become the package's dependencies.
set (CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include (CPack)
