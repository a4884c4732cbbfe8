#pragma once

/** A window's size as the X server has it. */
struct NativeWindowSize
{
    int width = 0, height = 0;
};

/**
    The size of the largest window mapped anywhere inside the given X window (a JUCE peer's native
    handle), asked of the X server on a connection of its own: the window a hosted plug-in created
    in its host's window. Zero when there is none.
*/
NativeWindowSize largestMappedWindowInside (void* nativeHandle);

/**
    Sets Xlib up as a host does before it loads plug-ins: thread support on, and X errors ignored
    instead of ending the process (JUCE installs its own handler only in standalone apps).
*/
void setUpXlibLikeAHost();
