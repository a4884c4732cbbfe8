# Finds JUCE 8: a checkout named by CEILORA_JUCE_DIR, else the system's package (Debian 13 and
# later), else the copy that scripts/setup.sh unpacked into .deps/juce.

set (CEILORA_JUCE_DIR "" CACHE PATH "A JUCE 8 source checkout to build against")

set (ceiloraJuceModules
     juce_audio_basics juce_audio_formats juce_audio_plugin_client juce_audio_processors
     juce_core juce_data_structures juce_dsp juce_events juce_graphics juce_gui_basics juce_gui_extra)

set (ceiloraLocalJuce "${PROJECT_SOURCE_DIR}/.deps/juce")

if (CEILORA_JUCE_DIR)
    add_subdirectory ("${CEILORA_JUCE_DIR}" "${PROJECT_BINARY_DIR}/juce" EXCLUDE_FROM_ALL)
    set (ceiloraJuceUsesSystemLibraries OFF)
else()
    find_package (JUCE 8 CONFIG QUIET)

    if (JUCE_FOUND)
        message (STATUS "Using the system's JUCE ${JUCE_VERSION}")
    elseif (EXISTS "${ceiloraLocalJuce}/cmake/JUCEUtils.cmake")
        # The unpacked package's own config names /usr paths, so load its modules from here instead.
        file (READ "${ceiloraLocalJuce}/VERSION" ceiloraJuceVersion)
        string (STRIP "${ceiloraJuceVersion}" ceiloraJuceVersion)
        message (STATUS "Using JUCE ${ceiloraJuceVersion} from ${ceiloraLocalJuce}")
        set (JUCE_MODULES_DIR "${ceiloraLocalJuce}/modules" CACHE INTERNAL "The path to JUCE modules")
        include ("${ceiloraLocalJuce}/cmake/JUCEModuleSupport.cmake")
        include ("${ceiloraLocalJuce}/cmake/JUCEUtils.cmake")

        foreach (module IN LISTS ceiloraJuceModules)
            juce_add_module ("${JUCE_MODULES_DIR}/${module}" ALIAS_NAMESPACE juce)
        endforeach()
    else()
        message (FATAL_ERROR "JUCE 8 not found. Run scripts/setup.sh, or pass -DCEILORA_JUCE_DIR=<JUCE 8 checkout>.")
    endif()

    # Debian's JUCE leaves out its bundled codecs and image libraries and uses the system's.
    set (ceiloraJuceUsesSystemLibraries ON)
endif()

# Links what Debian's JUCE modules expect from the system (a no-op for a JUCE checkout, which
# compiles its own copies).
function (ceilora_link_juce_system_libraries target)
    if (NOT ceiloraJuceUsesSystemLibraries)
        return()
    endif()

    find_package (PkgConfig REQUIRED)
    pkg_check_modules (CeiloraCodecs REQUIRED IMPORTED_TARGET zlib libpng libjpeg flac ogg vorbis vorbisenc vorbisfile)
    target_link_libraries (${target} PUBLIC PkgConfig::CeiloraCodecs)
endfunction()
