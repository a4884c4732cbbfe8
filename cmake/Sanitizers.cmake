# CEILORA_SANITIZER=thread builds everything with ThreadSanitizer; =address with AddressSanitizer
# and UndefinedBehaviorSanitizer. The flags go on every target, JUCE included, so that races and
# memory faults inside framework calls made by our code are seen too.

set (CEILORA_SANITIZER "" CACHE STRING "Sanitizer for the whole build: empty, thread or address")
set_property (CACHE CEILORA_SANITIZER PROPERTY STRINGS "" thread address)

if (CEILORA_SANITIZER STREQUAL "thread")
    set (ceiloraSanitizerFlags -fsanitize=thread)
elseif (CEILORA_SANITIZER STREQUAL "address")
    # Undefined behaviour stays recoverable only so that the tests' suppressions file can name the
    # framework's own cases; the tests run with halt_on_error, so anything else still stops them.
    set (ceiloraSanitizerFlags -fsanitize=address,undefined)
elseif (CEILORA_SANITIZER)
    message (FATAL_ERROR "CEILORA_SANITIZER must be empty, thread or address, not '${CEILORA_SANITIZER}'")
endif()

if (ceiloraSanitizerFlags)
    # Line tables keep the reports readable without the cost of full debug information.
    add_compile_options (${ceiloraSanitizerFlags} -fno-omit-frame-pointer -g1)
    add_link_options (${ceiloraSanitizerFlags})
endif()
